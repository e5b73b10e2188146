#pragma once
// qvSimplePolyline: a stand-alone exact polyline (kind -14, 48 + 16n bytes
// for n points, a header box these layers leave alone: bbox() reads the
// points).

#include <orvane/shapes/qvAbsoluteNodeSetProxy.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvSimplePointSetProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimplePolyline = qvSimpleShape<qvSimpleShapeProxy<
    qvAbsoluteNodeSetProxy<qvSimplePointSetProxyBase, qvPointSetData>,
    qvPolylineData>>;
