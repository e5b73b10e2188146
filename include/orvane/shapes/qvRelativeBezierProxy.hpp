#pragma once
// qvRelativeBezierProxy<B>: the compact Bezier curve over base B
// (qvRelativeBezierProxyBase in a scene, qvSimpleBezierProxyBase
// stand-alone): the tag layer over the compact node-set layer over the
// rectangle layer, 8-byte nodes (point word, tag). Its box is its frame and
// its rectangle, so bbox() is the rectangle ("Attempt to query
// uninitialized shape" without a record). In a scene every edit reports
// through its own guard, the whole box before and after: the curve has no
// narrower area of its own.

#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvGenericBezierProxy.hpp>
#include <orvane/shapes/qvGenericRectangleProxy.hpp>
#include <orvane/shapes/qvRelativeNodeSetProxy.hpp>

template <class B>
class qvRelativeBezierProxy
    : public qvGenericBezierProxy<qvCompactBezierData,
                                  qvRelativeNodeSetProxy<qvGenericRectangleProxy<B>, qvCompactBezierData>> {
public:
    qvMathRectOf<double> bbox() override { return this->rectangle(); }
};
