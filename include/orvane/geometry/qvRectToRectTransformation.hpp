#pragma once
// qvRectToRectTransformation: the per-axis scale and offset that map `src`
// onto `dst`, first corner onto first corner. On an axis where both
// rectangles have size exactly 0 the scale is 1; where only `src` has size 0
// it raises qvErrorFrom<qvRectToRectTransformation>
// "Degenerate rectangles cannot define transformation".

#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>

class qvRectToRectTransformation : public qvRestrictedTransformation {
public:
    qvRectToRectTransformation(qvMathRectOf<double> const& src, qvMathRectOf<double> const& dst);
};
