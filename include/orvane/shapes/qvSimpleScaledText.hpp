#pragma once
// qvSimpleScaledText: a stand-alone scaled text (kind -10, a 120-byte record
// plus the text and its zero).

#include <orvane/shapes/qvGenericScaledTextProxy.hpp>
#include <orvane/shapes/qvGenericTextProxy.hpp>
#include <orvane/shapes/qvSimpleScaledTextProxyBase.hpp>
#include <orvane/shapes/qvSimpleShape.hpp>
#include <orvane/shapes/qvSimpleShapeProxy.hpp>
#include <orvane/shapes/qvTextData.hpp>

using qvSimpleScaledText = qvSimpleShape<
    qvSimpleShapeProxy<qvGenericScaledTextProxy<qvGenericTextProxy<qvSimpleScaledTextProxyBase>>, qvScaledTextData>>;
