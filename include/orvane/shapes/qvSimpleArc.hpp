#pragma once
// qvSimpleArc: a stand-alone arc (kind -3, 56-byte record, angles 0 and 360
// when created).

#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvGenericArcProxy.hpp>
#include <orvane/shapes/qvSimpleArcProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleArc = qvSimpleShape<qvSimpleShapeProxy<qvGenericArcProxy<qvSimpleArcProxyBase>, qvArcData>>;
