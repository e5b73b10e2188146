#pragma once
// qvGenericRegion: every derived region operation built from a few
// primitives, so a concrete region needs to supply only its storage.
//
// The concrete class supplies: add, subtract, intersect, enumerate, empty,
// bbox, simple, erase, clone and create, each following the rules of
// qvBaseRegion (void rectangles ignored by add and subtract, empty on
// intersect). Everything else here reaches both regions only through the
// virtual interface, so any two implementations combine; the region-with-
// region operations and comparisons cost O(N*M) by design, and concrete
// classes replace them where they know a faster way.
//
// Keeps true: temporaries (the clones of comparisons, the new region of a
// translation, the copied rectangles of an intersection) are released on
// every path, also when an exception passes. A region given itself as the
// other operand is recognised by address or through query_interface of the
// region identities (a handle passed to its own implementation).

#include <orvane/geometry/qvBaseRegion.hpp>

class qvGenericRegion : public qvBaseRegion {
public:
    qvGenericRegion& operator=(qvGenericRegion const& other);

    qvBaseRegion& assign(Rect const& rect) override;
    qvBaseRegion& operator=(qvBaseRegion const& other) override;
    qvBaseRegion& operator=(Rect const& rect) override;
    qvBaseRegion& operator=(Point const& point) override;

    qvBaseRegion& operator+=(qvBaseRegion const& other) override;
    qvBaseRegion& operator+=(Rect const& rect) override;
    qvBaseRegion& operator+=(Point const& point) override;

    qvBaseRegion& operator-=(qvBaseRegion const& other) override;
    qvBaseRegion& operator-=(Rect const& rect) override;
    qvBaseRegion& operator-=(Point const& point) override;

    qvBaseRegion& operator*=(qvBaseRegion const& other) override;
    qvBaseRegion& operator*=(Rect const& rect) override;
    qvBaseRegion& operator*=(Point const& point) override;

    qvBaseRegion& translate(qvRestrictedTransformation const& rt) override;
    qvBaseRegion& normalize() override;

    bool operator==(Rect const& rect) const override;
    bool operator==(qvBaseRegion const& other) const override;
    bool operator!=(Rect const& rect) const override;
    bool operator!=(qvBaseRegion const& other) const override;
    bool operator<(Rect const& rect) const override;
    bool operator<(qvBaseRegion const& other) const override;
    bool operator>(Rect const& rect) const override;
    bool operator>(qvBaseRegion const& other) const override;

protected:
    qvGenericRegion() noexcept = default;
    qvGenericRegion(qvGenericRegion const&) noexcept = default;

    // `other` is this region, directly or through query_interface.
    bool is_same_region(qvBaseRegion const& other) const;

    // The generic answers, without any shortcut a derived class adds.
    bool generic_equal(Rect const& rect) const;
    bool generic_equal(qvBaseRegion const& other) const;
    bool generic_inside(qvBaseRegion const& other) const;
    bool generic_contains(Rect const& rect) const;

    static Rect point_rect(Point const& point) noexcept { return Rect(point, point); }
};
