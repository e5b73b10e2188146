#pragma once
// qvMappingTransformation: a uniform scale s on x and s or -s on y (when
// `flip` is set), placed so that an anchor point lands on a target point.
//
// `align` picks the anchors: bits 2-3 (align & 12) choose x1 (4), x2 (8) or
// the centre (anything else); bits 0-1 (align & 3) choose y2 (1), y1 (2) or
// the centre. `fit` takes the smaller of the two axis scales (the whole
// rectangle shows), otherwise the larger (the area is filled); ties take
// the x scale.
//
// A rectangle or area that is not strictly positive in both sizes (zero,
// negative or NaN) raises qvErrorFrom<qvMappingTransformation>
// "Rectangles that define mapping should not be empty".

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvMappingTransformation : public qvRestrictedTransformation {
public:
    // Maps `from` onto `to` with scale s.
    qvMappingTransformation(qvCrdOf<double> const& from, qvCrdOf<double> const& to, double s,
                            bool flip) noexcept;
    // Maps the anchor of `rect` onto the origin of a width x height area.
    qvMappingTransformation(qvMathRectOf<double> const& rect, double width, double height,
                            bool flip, int align, bool fit);
    // Maps the anchor of `src` onto the matching anchor of `dst`; with
    // `flip`, src's top is matched with dst's bottom.
    qvMappingTransformation(qvMathRectOf<double> const& src, qvMathRectOf<double> const& dst,
                            bool flip, int align, bool fit);
};
