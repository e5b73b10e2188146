#pragma once
// qvSimpleScaledImage: a stand-alone scaled image (kind -12, a 144-byte
// record plus its colour map and pixels).

#include <orvane/shapes/qvGenericScaledImageProxy.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvSimpleScaledImageProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleScaledImage =
    qvSimpleShape<qvSimpleShapeProxy<qvGenericScaledImageProxy<qvSimpleScaledImageProxyBase>, qvScaledImageData>>;
