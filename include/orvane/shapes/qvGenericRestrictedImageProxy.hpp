#pragma once
// qvGenericRestrictedImageProxy<B>: the restricted image's own operations
// on its record: alignment, the two resolutions (the image's width and
// height in model units), their fit to a view, and the box.
//
// Keeps true:
//  - resolutions are stored as absolute values, each finite and within the
//    float range (the box is kept in floats); any other is refused
//    (qvShapeCoordinates) before anything changes;
//  - adjust_extent(t) gives each resolution |72 x pixels / (scale x dpi)|,
//    scale 1 for a null t and a header resolution of 0 dpi counted as the
//    bitmap default 72; a zero scale on either axis raises
//    qvErrorFrom<qvGenericRestrictedImageProxy> "Degenerate transformation
//    matrix", a scale that is not finite the coordinate error, before
//    anything changes; a resolution computed beyond the float range (a
//    tiny scale) is refused before it is written;
//  - bbox() extends a whole extent on both sides of the anchor on an axis
//    unless the alignment centres the image on it (alignment AND 12 == 12
//    across, AND 3 == 3 up), then half of it; (1, 1, 0, 0) without a record.
//    It is computed from the record at each call.

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvGenericImageProxy.hpp>
#include <orvane/shapes/qvShapeCoordinates.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>

#include <cmath>

template <class B>
class qvGenericRestrictedImageProxy : public qvGenericImageProxy<B, qvRestrictedImageData> {
    using Generic = qvGenericImageProxy<B, qvRestrictedImageData>;

public:
    // Device units per inch: the image keeps its printed size at any zoom.
    static constexpr double points_per_inch = 72.0;

    int alignment() override {
        const typename B::ReadLock lock(*this, true);
        return this->data().alignment;
    }
    void alignment(int a) override {
        const typename B::WriteLock lock(*this, true, true);
        this->data().alignment = a;
    }

    void resolution(double x, double y) override {
        check_resolution(x, y);
        const typename B::WriteLock lock(*this, true, true);
        this->data().x_resolution = std::fabs(x);
        this->data().y_resolution = std::fabs(y);
    }
    double x_resolution() override {
        const typename B::ReadLock lock(*this, true);
        return this->data().x_resolution;
    }
    double y_resolution() override {
        const typename B::ReadLock lock(*this, true);
        return this->data().y_resolution;
    }

    void adjust_extent(qvRestrictedTransformation* t) override {
        check_scales(t);
        const typename B::WriteLock lock(*this, true, true);
        qvRestrictedImageData& d = this->data();
        qvBitmapHeader const& h = d.image.header;
        const double x = std::fabs(points_per_inch * h.width / (x_scale(t) * dpi(h.dpi_x)));
        const double y = std::fabs(points_per_inch * h.height / (y_scale(t) * dpi(h.dpi_y)));
        check_resolution(x, y);
        d.x_resolution = x;
        d.y_resolution = y;
    }

    qvMathRectOf<double> bbox() override {
        if (this->record_ == nullptr)
            return qvMathRectOf<double>::make_empty();
        qvRestrictedImageData& d = this->data();
        const unsigned a = static_cast<unsigned>(d.alignment);
        const double hx = qvTextAlignment::horizontal(a) == qvTextAlignment::horizontal_centre ? d.x_resolution / 2
                                                                                       : d.x_resolution;
        const double hy = qvTextAlignment::vertical(a) == qvTextAlignment::vertical_centre ? d.y_resolution / 2
                                                                                     : d.y_resolution;
        const qvCrdOf<double> p = d.image.anchor;
        return qvMathRectOf<double>(qvRectOf<double>(p.x - hx, p.y - hy, p.x + hx, p.y + hy));
    }

protected:
    // Refuses a transformation that collapses an axis, before any guard opens.
    static void check_scales(qvRestrictedTransformation const* t) {
        if (x_scale(t) == 0.0 || y_scale(t) == 0.0)
            qvRaise(qvErrorFrom<qvGenericRestrictedImageProxy>("Degenerate transformation matrix"));
        if (!qvIsFinite(x_scale(t)) || !qvIsFinite(y_scale(t)))
            qvShapeCoordinates::raise_out_of_range();
    }
    static void check_resolution(double x, double y) {
        qvShapeCoordinates::require(x);
        qvShapeCoordinates::require(y);
    }

private:
    static double x_scale(qvRestrictedTransformation const* t) noexcept { return t == nullptr ? 1.0 : t->m0(); }
    static double y_scale(qvRestrictedTransformation const* t) noexcept { return t == nullptr ? 1.0 : t->m3(); }
    // A header without a resolution is at the bitmap default.
    static double dpi(std::int32_t v) noexcept { return v == 0 ? points_per_inch : static_cast<double>(v); }
};
