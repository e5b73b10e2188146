#pragma once
// qvSimpleEllipse: a stand-alone ellipse (kind -2, 48-byte record).

#include <orvane/shapes/qvEllipseData.hpp>
#include <orvane/shapes/qvGenericEllipseProxy.hpp>
#include <orvane/shapes/qvSimpleEllipseProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleEllipse =
    qvSimpleShape<qvSimpleShapeProxy<qvGenericEllipseProxy<qvSimpleEllipseProxyBase>, qvEllipseData>>;
