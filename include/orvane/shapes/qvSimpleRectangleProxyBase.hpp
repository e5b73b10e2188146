#pragma once
// qvSimpleRectangleProxyBase: the stand-alone base of rectangles: the
// stand-alone proxy base plus the rectangle data access.

#include <orvane/shapes/qvRectangleDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleRectangleProxyBase : public qvSimpleShapeProxyBase, public virtual qvRectangleDataAccess {};
