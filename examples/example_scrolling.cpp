// Scrolling: two views and a scroll bar of one axis, coupled by a mapping
// dimension. An operation on any of them is replayed on the others, each
// within its own window and limits, and the bar's thumb follows.

#include <orvane/views/qvMappingDimension.hpp>
#include <orvane/views/qvScrollBar.hpp>
#include <orvane/views/qvScrollerObject.hpp>

#include <iostream>

namespace {

// The host's scroll bar: here a fixed device range of 200 units.
class HostScrollBar : public qvScrollBarObject {
public:
    qvRangeOf<double> device_range() const override { return {0, 200}; }
};

// A view sizes its own window: committed with the dimension as origin, the
// resize is not passed on to the other views.
void size_window(qvScroller const& view, qvMappingDimension const& axis, double length) {
    view->do_resize({0, length});
    view->update(true, axis.get());
}

void show(char const* step, qvScroller const& a, qvScroller const& b,
          qvMappingDimension const& axis, qvScrollBar const& bar) {
    std::cout << "  " << step << ": view a at " << a->position() << ", view b at "
              << b->position() << ", dimension at " << axis->position() << ", bar thumb at "
              << bar->mod2dev(bar->position()) << '\n';
}

}  // namespace

void example_scrolling() {
    std::cout << "Scrolling\n";
    qvMappingDimension axis(0, true);
    axis->limits(0, 1000);

    qvScroller a = qvScrollerObject::create();
    qvScroller b = qvScrollerObject::create();
    qvScrollBar bar(new HostScrollBar);
    axis->add(a);
    axis->add(b);
    axis->add(bar);
    size_window(a, axis, 100);
    size_window(b, axis, 250);
    std::cout << "  model 0..1000; view a shows 100 units, view b 250, the bar is 200 long\n";
    show("linked", a, b, axis, bar);

    a->scroll(30);
    show("a scrolls by 30", a, b, axis, bar);
    a->page_add();
    show("a pages forward (its window, 100)", a, b, axis, bar);
    a->zoom(2, 500);
    show("a zooms by 2 about 500", a, b, axis, bar);
    std::cout << "  model value 500 stays at device " << a->A() * 500 + a->B()
              << " in view a\n";
}
