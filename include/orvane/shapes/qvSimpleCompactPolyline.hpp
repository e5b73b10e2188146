#pragma once
// qvSimpleCompactPolyline: a stand-alone compact polyline (kind -5, 48 + 4n
// bytes for n points, the frame of its points in its header box).

#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRelativeNodeSetProxy.hpp>
#include <orvane/shapes/qvSimplePointSetProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleCompactPolyline = qvSimpleShape<qvSimpleShapeProxy<
    qvRelativeNodeSetProxy<qvGenericRectangleProxy<qvSimplePointSetProxyBase>, qvCompactPointSetData>,
    qvCompactPolylineData>>;
