#pragma once
// qvListRegion: a region kept as an ordered list of rectangles whose union
// is the region, with the cached box of qvGenericBBoxRegion.
//
// Keeps true after every public operation:
//  - the list holds no void rectangle (inverted or NaN); rectangles may
//    overlap and may be degenerate; nothing is ever merged or sorted;
//  - the region is empty exactly when the list is; simple() exactly when
//    the list has fewer than two rectangles;
//  - the box is the union of the list's rectangles, or (1, 1, 0, 0).
// The list's order is observable (enumeration, printing): add and the other
// front-inserting operations put their newest rectangle first, and
// differences and intersections re-insert pieces at the front.
//
// Regions are sets of area. A list region keeps degenerate rectangles (a
// point, a line) as given, but they enclose no area: they never overlap
// anything, so differences and intersections with them are empty or leave
// the other side unchanged, and a list region holding only degenerate
// rectangles is not empty yet equals no grid region (grid regions cannot
// hold zero-area sets), nor even another list region holding the same point.
//
// Storage: one array holding the list back to front, so that putting a
// rectangle at the front is an append, and an operation that rebuilds the
// list writes one new array instead of allocating a node per rectangle.
// erase() keeps the array's capacity, so a region that is filled and
// emptied again (a layer's pending area) grows in place.
//
// Costs: add is O(1) amortised with at most three containment tests; difference and
// intersection with a rectangle walk the list; the difference of two
// regions is O(n*m), and repeated overlapping differences grow the list.
// The intersection of two regions files one side in a grid of cells about
// one average rectangle in size: linear in n + m, the pairs sharing a cell
// and the pieces returned (quadratic only when many far larger than
// average rectangles overlap one another, as the result then is).

#include <orvane/geometry/qvGenericBBoxRegion.hpp>
#include <orvane/geometry/qvListRegionInternalIterator.hpp>

#include <vector>

class qvListRegion : public qvGenericBBoxRegion {
public:
    // Walks the rectangles front to back.
    using InternalIterator = qvListRegionInternalIterator;

    qvListRegion() = default;
    explicit qvListRegion(Rect const& rect);
    explicit qvListRegion(qvBaseRegion const& other);
    qvListRegion(qvListRegion const& other);
    ~qvListRegion() override = default;

    // Box and rectangles copied, order kept.
    qvListRegion& operator=(qvListRegion const& other);

    void* query_interface(qvInterfaceInfo const& info) override;

    using qvGenericBBoxRegion::operator=;
    using qvGenericBBoxRegion::operator+=;
    using qvGenericBBoxRegion::operator-=;
    using qvGenericBBoxRegion::operator*=;

    qvBaseRegion& add(Rect const& rect) override;
    qvBaseRegion& subtract(Rect const& rect) override;
    qvBaseRegion& intersect(Rect const& rect) override;

    qvBaseRegion& operator=(qvBaseRegion const& other) override;
    qvBaseRegion& operator+=(qvBaseRegion const& other) override;
    qvBaseRegion& operator-=(qvBaseRegion const& other) override;
    qvBaseRegion& operator*=(qvBaseRegion const& other) override;

    // The same operations on another list region, reading its list directly.
    qvListRegion& operator+=(qvListRegion const& other);
    qvListRegion& operator-=(qvListRegion const& other);
    qvListRegion& operator*=(qvListRegion const& other);

    qvIndirectRectIterator enumerate() const override;
    bool empty() const override { return rects_.empty(); }
    bool simple() const override { return rects_.size() < 2; }
    qvBaseRegion& erase() override;
    qvBaseRegion& translate(qvRestrictedTransformation const& rt) override;
    qvBaseRegion* clone() const override;
    qvBaseRegion* create() const override;

protected:
    void update_bbox() override;

private:
    friend class qvListRegionInternalIterator;
    using List = qvListRegionInternalIterator::List;

    // The other region as a list region, when it is one.
    static qvListRegion const* as_list(qvBaseRegion const& other);

    void copy_from(qvListRegion const& other);
    template <class ForEachRect>
    void append_all(ForEachRect for_each);
    void prepend_all(List const& others);
    template <class ForEachRect>
    void subtract_each(ForEachRect for_each);
    void intersect_with(std::vector<Rect> const& others);
    void cut_out(Rect const& b, List& scratch);

    // The list back to front: rects_.back() is the front (the newest).
    List rects_;
};
