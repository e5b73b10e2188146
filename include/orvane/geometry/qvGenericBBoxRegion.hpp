#pragma once
// qvGenericBBoxRegion: a generic region with a cached bounding box, and the
// comparison shortcuts that look at the box first.
//
// Keeps true after every public operation of a concrete class: the box is
// the empty marker (1, 1, 0, 0) while the region is empty, otherwise the
// smallest rectangle holding every rectangle of the region; it never holds
// NaN. empty() and the shortcuts trust the box without looking at the
// rectangles. The concrete class keeps it current through the protected
// operations below; the constructors create no rectangles.
//
// update_bbox() rebuilds the box from enumerate(); a concrete class whose
// enumerate() reads bbox() (a simple region enumerates its box) must
// override it.

#include <orvane/geometry/qvGenericRegion.hpp>

class qvGenericBBoxRegion : public qvGenericRegion {
public:
    qvGenericBBoxRegion& operator=(qvGenericBBoxRegion const& other);

    qvBaseRegion& operator=(qvBaseRegion const& other) override;
    qvBaseRegion& operator=(Rect const& rect) override;
    qvBaseRegion& operator=(Point const& point) override;

    bool empty() const override;
    Rect const& bbox() const override { return box_; }

    using qvGenericRegion::operator>;
    bool operator==(Rect const& rect) const override;
    bool operator==(qvBaseRegion const& other) const override;
    bool operator<(Rect const& rect) const override;
    bool operator<(qvBaseRegion const& other) const override;
    bool operator>(Rect const& rect) const override;

protected:
    qvGenericBBoxRegion() noexcept : box_(Rect::make_empty()) {}
    explicit qvGenericBBoxRegion(Rect const& box) noexcept : box_(box) {}
    explicit qvGenericBBoxRegion(qvBaseRegion const& other) : box_(other.bbox()) {}
    qvGenericBBoxRegion(qvGenericBBoxRegion const& other) noexcept
        : qvGenericRegion(other), box_(other.box_) {}

    void assign_bbox(Rect const& rect) noexcept { box_ = rect; }
    void erase_bbox() noexcept { box_ = Rect::make_empty(); }
    // Grows the box by `rect`; an empty box is replaced, never grown.
    void add_bbox(Rect const& rect) noexcept;
    // The box's intersection with `rect` when they overlap (strictly), else
    // the empty marker.
    void intersect_bbox(Rect const& rect) noexcept;
    virtual void update_bbox();

private:
    Rect box_;
};
