#pragma once
// qvSimpleBezierProxyBase: the stand-alone base of the Bezier curves of
// both forms: the stand-alone proxy base plus the Bezier (and so point-set
// and bounding-box) data access.

#include <orvane/shapes/qvBezierDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleBezierProxyBase : public virtual qvBezierDataAccess, public qvSimpleShapeProxyBase {};
