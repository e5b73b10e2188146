#pragma once
// qvSimplePieSlice: a stand-alone pie slice (kind -17, 56-byte record laid
// out as an arc's, angles 0 and 360 when created).

#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvGenericArcProxy.hpp>
#include <orvane/shapes/qvSimpleArcProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimplePieSlice =
    qvSimpleShape<qvSimpleShapeProxy<qvGenericArcProxy<qvSimpleArcProxyBase>, qvPieSliceData>>;
