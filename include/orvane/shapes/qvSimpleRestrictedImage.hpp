#pragma once
// qvSimpleRestrictedImage: a stand-alone restricted image (kind -11, a
// 136-byte record plus its colour map and pixels). Rendering maps in-scene
// images through such copies of their records; the copy keeps its parts
// because their offsets are relative.

#include <orvane/shapes/qvGenericRestrictedImageProxy.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvSimpleRestrictedImageProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>

using qvSimpleRestrictedImage = qvSimpleShape<
    qvSimpleShapeProxy<qvGenericRestrictedImageProxy<qvSimpleRestrictedImageProxyBase>, qvRestrictedImageData>>;
