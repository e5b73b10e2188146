// A program outside the source tree that uses the installed library: it
// catches the library's error, and derives a layer of its own from the
// installed layer base, which a view manager then holds and invalidates.
#include <orvane/orvane.hpp>

#include <cstdio>

namespace {

class ConsumerLayer : public qvViewLayerImplementation {
public:
    bool render(qvViewVBuf&, qvCrdOf<double> const&) override { return true; }
    qvViewBaseLayer clone() override {
        auto* const twin = new ConsumerLayer;
        const qvViewBaseLayer held(static_cast<qvViewBaseLayerObject*>(twin));
        twin->copy(*this);
        return held;
    }
};

}  // namespace

int main() {
    const qvViewLayer layer(static_cast<qvViewBaseLayerObject*>(new ConsumerLayer));
    layer->invalidate(qvMathRectOf<double>(0, 0, 10, 10), false);
    if (layer->redraw_area(false).empty())
        return 1;
    const qvViewManager view = qvViewCreator::create();
    if (!view->add(layer, qvOrderLast) || layer->view() != view.get())
        return 1;
    try {
        qvRaise(qvErrorFrom<qvError>("installed library works"));
    } catch (qvError const& e) {
        std::printf("%s\n", static_cast<char const*>(e));
        return 0;
    }
    return 1;
}
