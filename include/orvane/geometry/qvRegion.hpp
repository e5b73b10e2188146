#pragma once
// qvRegion: the region value that applications and the other subsystems
// hold. A handle that owns one grid region and forwards every region
// operation to it.
//
// Keeps true:
//  - a handle always owns exactly one implementation, a qvGridRegion made
//    by static_create before anything else happens, deleted by the handle's
//    destructor; it is never shared, swapped or replaced, so object() keeps
//    its address for the handle's whole life. A handle made from any other
//    region holds a grid region with the same area;
//  - copying a handle makes a new implementation with the content;
//    assignment and move change the content of the existing one (a move may
//    take the other's grid storage and leaves the other handle holding its
//    own implementation, emptied);
//  - the forwarded operations return what the implementation returns: the
//    implementation for region results, grid regions from clone() and
//    create(), the implementation from query_interface for "qvGridRegion"
//    (so the implementation recognises the handle as itself); operator=
//    returns the handle.
// The conversions to a region pointer are explicit: an implicit one would let
// `delete handle` compile and free the implementation under the handle.

#include <orvane/geometry/qvBaseRegion.hpp>

class qvGridRegion;

class qvRegion : public qvBaseRegion {
public:
    qvRegion();
    explicit qvRegion(Point const& point);
    explicit qvRegion(Rect const& rect);
    explicit qvRegion(qvBaseRegion const& other);
    qvRegion(qvRegion const& other);
    qvRegion(qvRegion&& other);
    ~qvRegion() override;

    qvRegion& operator=(qvRegion const& other);
    qvRegion& operator=(qvRegion&& other) noexcept;

    // New grid regions the caller owns: empty, holding the rectangle (the
    // point's degenerate rectangle, which holds no area), or holding a copy
    // of the other region's area.
    static qvBaseRegion* static_create();
    static qvBaseRegion* static_create(Rect const& rect);
    static qvBaseRegion* static_create(qvBaseRegion const& other);
    static qvBaseRegion* static_create(Point const& point);

    explicit operator qvBaseRegion*() noexcept;
    explicit operator qvBaseRegion const*() const noexcept;
    qvBaseRegion& object() noexcept;
    qvBaseRegion const& object() const noexcept;

    void* query_interface(qvInterfaceInfo const& info) override;

    qvBaseRegion& assign(Rect const& rect) override;
    qvBaseRegion& operator=(qvBaseRegion const& other) override;
    qvBaseRegion& operator=(Rect const& rect) override;
    qvBaseRegion& operator=(Point const& point) override;

    qvBaseRegion& add(Rect const& rect) override;
    qvBaseRegion& operator+=(qvBaseRegion const& other) override;
    qvBaseRegion& operator+=(Rect const& rect) override;
    qvBaseRegion& operator+=(Point const& point) override;

    qvBaseRegion& subtract(Rect const& rect) override;
    qvBaseRegion& operator-=(qvBaseRegion const& other) override;
    qvBaseRegion& operator-=(Rect const& rect) override;
    qvBaseRegion& operator-=(Point const& point) override;

    qvBaseRegion& intersect(Rect const& rect) override;
    qvBaseRegion& operator*=(qvBaseRegion const& other) override;
    qvBaseRegion& operator*=(Rect const& rect) override;
    qvBaseRegion& operator*=(Point const& point) override;

    qvIndirectRectIterator enumerate() const override;
    bool empty() const override;
    Rect const& bbox() const override;
    bool simple() const override;
    qvBaseRegion& erase() override;
    qvBaseRegion& translate(qvRestrictedTransformation const& rt) override;
    qvBaseRegion& normalize() override;
    qvBaseRegion* clone() const override;
    qvBaseRegion* create() const override;

    bool operator==(Rect const& rect) const override;
    bool operator==(qvBaseRegion const& other) const override;
    bool operator!=(Rect const& rect) const override;
    bool operator!=(qvBaseRegion const& other) const override;
    bool operator<(Rect const& rect) const override;
    bool operator<(qvBaseRegion const& other) const override;
    bool operator>(Rect const& rect) const override;
    bool operator>(qvBaseRegion const& other) const override;

private:
    qvGridRegion* impl_;
};
