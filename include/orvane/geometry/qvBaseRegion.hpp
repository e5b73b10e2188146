#pragma once
// qvBaseRegion: the region interface. A region is a set of area of the
// plane, given as a union of axis-parallel rectangles in double coordinates.
//
// Keeps true, in every implementation:
//  - a void rectangle (inverted, or with a NaN coordinate) is the empty set:
//    union and difference ignore it, intersection with it empties the region;
//    a degenerate rectangle (zero width or height) is a real rectangle;
//  - a point argument stands for its degenerate rectangle (p, p): the point
//    forms are set operations, they never move or scale a region;
//  - bbox() is the smallest rectangle holding every rectangle, and the empty
//    marker (1, 1, 0, 0) exactly while the region is empty;
//  - an empty region equals every void rectangle and every empty region,
//    lies inside every rectangle and every region, and enumerates nothing;
//    every region contains every void rectangle; a non-empty region lies
//    neither inside an empty region nor inside a void rectangle;
//  - a region operation given the region itself as its other operand (also
//    through a handle whose query_interface leads here) is well defined:
//    `+=`, `*=` and `=` change nothing, `-=` empties the region;
//  - iterators read the region's storage: changing a region while one of
//    its iterators is alive is unsupported.
// Operations returning a region reference return the region they were
// called on. clone() and create() return new regions the caller owns.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRectIterator.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

#include <concepts>

class qvBaseRegion : public qvDynamicInterface {
public:
    using Rect = qvMathRectOf<double>;
    using Point = qvCrdOf<double>;

    ~qvBaseRegion() override = default;

    // The region itself for its own implementation's identity, else null.
    void* query_interface(qvInterfaceInfo const& info) override;

    virtual qvBaseRegion& assign(Rect const& rect) = 0;
    virtual qvBaseRegion& operator=(qvBaseRegion const& other) = 0;
    virtual qvBaseRegion& operator=(Rect const& rect) = 0;
    virtual qvBaseRegion& operator=(Point const& point) = 0;

    virtual qvBaseRegion& add(Rect const& rect) = 0;
    virtual qvBaseRegion& operator+=(qvBaseRegion const& other) = 0;
    virtual qvBaseRegion& operator+=(Rect const& rect) = 0;
    virtual qvBaseRegion& operator+=(Point const& point) = 0;

    virtual qvBaseRegion& subtract(Rect const& rect) = 0;
    virtual qvBaseRegion& operator-=(qvBaseRegion const& other) = 0;
    virtual qvBaseRegion& operator-=(Rect const& rect) = 0;
    virtual qvBaseRegion& operator-=(Point const& point) = 0;

    virtual qvBaseRegion& intersect(Rect const& rect) = 0;
    virtual qvBaseRegion& operator*=(qvBaseRegion const& other) = 0;
    virtual qvBaseRegion& operator*=(Rect const& rect) = 0;
    virtual qvBaseRegion& operator*=(Point const& point) = 0;

    virtual qvIndirectRectIterator enumerate() const = 0;
    virtual bool empty() const = 0;
    virtual Rect const& bbox() const = 0;
    // True when the region is empty or the single rectangle bbox(); callers
    // use it only as a shortcut.
    virtual bool simple() const = 0;
    virtual qvBaseRegion& erase() = 0;
    // Maps every rectangle through `rt`, corners re-ordered; rectangles
    // whose image holds NaN are dropped.
    virtual qvBaseRegion& translate(qvRestrictedTransformation const& rt) = 0;
    virtual qvBaseRegion& normalize() = 0;
    virtual qvBaseRegion* clone() const = 0;
    virtual qvBaseRegion* create() const = 0;

    virtual bool operator==(Rect const& rect) const = 0;
    virtual bool operator==(qvBaseRegion const& other) const = 0;
    virtual bool operator!=(Rect const& rect) const = 0;
    virtual bool operator!=(qvBaseRegion const& other) const = 0;
    // The region lies inside the rectangle / the other region.
    virtual bool operator<(Rect const& rect) const = 0;
    virtual bool operator<(qvBaseRegion const& other) const = 0;
    // The rectangle / the other region lies inside the region.
    virtual bool operator>(Rect const& rect) const = 0;
    virtual bool operator>(qvBaseRegion const& other) const = 0;

    // Two regions of different concrete classes would otherwise compare
    // ambiguously (each side's own override against the other's, reversed);
    // these take the left region's virtual operator.
    template <class L, class R>
        requires std::derived_from<L, qvBaseRegion> && std::derived_from<R, qvBaseRegion>
    friend bool operator==(L const& a, R const& b) {
        return static_cast<qvBaseRegion const&>(a).operator==(static_cast<qvBaseRegion const&>(b));
    }
    template <class L, class R>
        requires std::derived_from<L, qvBaseRegion> && std::derived_from<R, qvBaseRegion>
    friend bool operator!=(L const& a, R const& b) {
        return static_cast<qvBaseRegion const&>(a).operator!=(static_cast<qvBaseRegion const&>(b));
    }

protected:
    qvBaseRegion() noexcept = default;
    // A region copies no state of this base.
    qvBaseRegion(qvBaseRegion const&) noexcept : qvDynamicInterface() {}
};
