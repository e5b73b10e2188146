#pragma once
// qvSimpleRectangle: a stand-alone rectangle (kind -1, 48-byte record).

#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvSimpleRectangleProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleRectangle =
    qvSimpleShape<qvSimpleShapeProxy<qvGenericRectangleProxy<qvSimpleRectangleProxyBase>, qvRectangleData>>;
