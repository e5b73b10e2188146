#pragma once
// qvRTComponent: one axis of a restricted transformation, v -> scale*v + offset.
// A plain value; a product a * b applies b first. Inverting a zero scale is
// not guarded and gives IEEE infinities or NaN: callers test first.

class qvRTComponent {
public:
    double scale = 1;
    double offset = 0;

    constexpr qvRTComponent() noexcept = default;
    constexpr qvRTComponent(double scale_, double offset_) noexcept
        : scale(scale_), offset(offset_) {}

    static qvRTComponent const& identity() noexcept;

    constexpr double operator*(double v) const noexcept { return scale * v + offset; }
    constexpr qvRTComponent operator*(qvRTComponent const& o) const noexcept {
        return {scale * o.scale, scale * o.offset + offset};
    }

    constexpr qvRTComponent invert() const noexcept { return {1 / scale, -(offset / scale)}; }
    constexpr qvRTComponent operator~() const noexcept { return invert(); }

    constexpr bool is_identity() const noexcept { return scale == 1 && offset == 0; }
    constexpr bool is_scroll() const noexcept { return scale == 1; }
    constexpr void erase() noexcept { *this = qvRTComponent(); }
};
