#pragma once
// qvShapeCoordinates: the one gate every coordinate passes before a shape
// stores it. A shape record keeps its box as floats, and a compact record
// keeps every point as a fraction of that box, so a coordinate is storable
// only when it is finite and within the float range (qvFitsFloat); anything
// else would leave an infinity or a NaN in the record, and in a compact
// record a NaN frame turns every point into NaN for good. The one exception
// is an exact point set outside any scene: it keeps no box, so any finite
// double is storable there (the transforming port carries device points
// beyond the float range in such sets).
//
// Keeps true: the setters call require before they change anything (before
// their write guard opens where no earlier check must come first), so a
// refused value leaves the record exactly as it was. Every refusal is qvErrorFrom<qvShapeCoordinates>
// "Coordinate is not finite or out of range", raised from raise_out_of_range
// alone.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRect.hpp>
#include <orvane/shapes/qvExtent.hpp>

class qvShapeCoordinates {
public:
    static void require(double v);
    static void require(qvCrdOf<double> const& p);
    static void require(qvRectOf<double> const& r);
    // The first n points; a null array stands for points (0, 0).
    static void require(qvCrdOf<double> const* points, int n);
    // For values computed in float inside a record (moved or resized boxes).
    static void require(qvRectOf<float> const& r);
    // A text's extent: the box around its anchor is built from these.
    static void require(qvExtent const& e);
    // Finite alone: for the exact points of a stand-alone record, which
    // keeps no box and holds any double.
    static void require_finite(qvCrdOf<double> const& p);
    static void require_finite(qvCrdOf<double> const* points, int n);

    [[noreturn]] static void raise_out_of_range();
};
