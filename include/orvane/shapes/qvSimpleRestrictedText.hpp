#pragma once
// qvSimpleRestrictedText: a stand-alone restricted text (kind -9, a 120-byte
// record plus the text and its zero). Rendering measures with its
// compute_extent and prepares copies of in-scene records in it.

#include <orvane/shapes/qvGenericTextProxy.hpp>
#include <orvane/shapes/qvSimpleRestrictedTextProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>
#include <orvane/shapes/qvTextData.hpp>

using qvSimpleRestrictedText =
    qvSimpleShape<qvSimpleShapeProxy<qvGenericTextProxy<qvSimpleRestrictedTextProxyBase>, qvRestrictedTextData>>;
