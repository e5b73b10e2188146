#pragma once
// qvSimpleBezier: a stand-alone exact Bezier curve (kind -16, 48 + 24n
// bytes for n points; its header box is kept the tight box of the points,
// as in a scene).

#include <orvane/shapes/qvAbsoluteBezierProxy.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvSimpleBezierProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleBezier =
    qvSimpleShape<qvSimpleShapeProxy<qvAbsoluteBezierProxy<qvSimpleBezierProxyBase>, qvBezierData>>;
