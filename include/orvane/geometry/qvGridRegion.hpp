#pragma once
// qvGridRegion: the default region, kept in a qvIRGrid (horizontal bands of
// disjoint x-intervals) with the cached box of qvGenericBBoxRegion and a
// cached simple flag.
//
// Keeps true:
//  - the grid is in its canonical form (see qvIRGrid), so a set of area has
//    exactly one representation and grid equality is set equality; grid
//    regions hold area only: zero-area and void input never reaches the
//    grid or the box, and neither ever holds NaN;
//  - between public calls the cached box and simple flag are either current
//    or marked stale; a stale cache is rebuilt from the grid (update_bbox)
//    by the first query that needs it. add keeps a current cache current
//    (the box grows by the rectangle; a canonical grid is simple exactly
//    when it has two rows and one interval); every other grid change only
//    marks it stale, so runs of changes cost no walk over the whole grid.
//    Constructors leave the cache current, so a region defined const is
//    never stale;
//  - current means: box = the grid's bounding rectangle, or (1, 1, 0, 0)
//    when empty; simple = the grid holds at most one interval in all its
//    rows. One exception, kept on purpose: a region as the default
//    constructor leaves it (and any copy or grid assignment of one, and the
//    result of translating a region whose image holds no area, which is
//    assigned from a new region) is empty with simple() false, until its
//    grid changes or it is erased or normalized;
//  - a region given itself as operand (also through a handle whose
//    query_interface answers with this region) is well defined: `+=`, `*=`
//    and `=` change nothing, `-=` empties it.
//
// Another region is recognised as a grid region through query_interface
// with the "qvGridRegion" identity, and then combined grid with grid. A
// foreign non-simple region is first collected into a temporary grid, so
// every region-with-region operation costs about the size of both grids.
// translate maps the grid's keys and interval ends directly: a plain move
// (both scales 1) shifts them in place and moves the cached box with them;
// other maps rebuild the grid. A copy shares the grid's intervals until
// either region changes (see qvIRGrid). enumerate() hands out a
// qvGridRegionInternalIterator, which the holder steps inline.

#include <orvane/geometry/qvGenericBBoxRegion.hpp>
#include <orvane/geometry/qvGridRegionInternalIterator.hpp>
#include <orvane/geometry/qvIRGrid.hpp>
#include <orvane/geometry/qvRegionIdentities.hpp>

class qvGridRegion : public qvGenericBBoxRegion {
public:
    // Empty, with simple() false until the first change (see above).
    qvGridRegion() = default;
    explicit qvGridRegion(Rect const& rect);
    explicit qvGridRegion(qvBaseRegion const& other);
    qvGridRegion(qvGridRegion const& other);
    // Takes the other's storage; the other is left empty, erased.
    qvGridRegion(qvGridRegion&& other) noexcept;
    ~qvGridRegion() override = default;

    // Box, grid and simple flag copied.
    qvGridRegion& operator=(qvGridRegion const& other);
    // Takes the other's storage; the other is left empty, erased.
    qvGridRegion& operator=(qvGridRegion&& other) noexcept;

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

    qvIndirectRectIterator enumerate() const override;
    bool empty() const override { return grid_.empty(); }
    Rect const& bbox() const override;
    bool simple() const override;
    qvBaseRegion& erase() override;
    qvBaseRegion& translate(qvRestrictedTransformation const& rt) override;
    qvBaseRegion& normalize() override;
    qvBaseRegion* clone() const override;
    qvBaseRegion* create() const override;

    bool operator==(Rect const& rect) const override;
    bool operator==(qvBaseRegion const& other) const override;
    bool operator==(qvGridRegion const& other) const;
    using qvGenericBBoxRegion::operator!=;
    bool operator!=(qvBaseRegion const& other) const override;
    bool operator!=(qvGridRegion const& other) const { return !(*this == other); }
    bool operator<(Rect const& rect) const override;
    bool operator<(qvBaseRegion const& other) const override;
    using qvGenericBBoxRegion::operator>;
    bool operator>(Rect const& rect) const override;

protected:
    // Rebuilds the box and the simple flag from the grid, walking every row.
    void update_bbox() override;

private:
    friend class qvGridRegionInternalIterator;

    // The other region as a grid region, when it is one.
    static qvGridRegion const* as_grid(qvBaseRegion const& other);

    // The box as stored, current or not.
    Rect const& cached_box() const noexcept { return qvGenericBBoxRegion::bbox(); }
    // The current box and `other_box` do not overlap.
    bool surely_apart(Rect const* other_box) const noexcept;
    void settle() const;
    void copy_state(qvGridRegion const& other);
    void take_state(qvGridRegion& other) noexcept;
    bool grid_is_one_rectangle() const noexcept;

    // The grid-with-grid operations; `other_box` is the other grid's box
    // when known (it only allows shortcuts), else null.
    void unite(qvIRGrid const& other, Rect const* other_box);
    void unite(qvIRGrid&& other);
    void cut(qvIRGrid const& other, Rect const* other_box);
    void meet(qvIRGrid const& other, Rect const* other_box);

    bool simple_ = false;
    mutable bool stale_ = false;
    qvIRGrid grid_;
};
