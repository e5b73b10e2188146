#pragma once
// qvSimpleCompactBezier: a stand-alone compact Bezier curve (kind -7,
// 48 + 8n bytes for n points, the frame of its points in its header box;
// bbox() is that box).

#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvRelativeBezierProxy.hpp>
#include <orvane/shapes/qvSimpleBezierProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleCompactBezier =
    qvSimpleShape<qvSimpleShapeProxy<qvRelativeBezierProxy<qvSimpleBezierProxyBase>, qvCompactBezierData>>;
