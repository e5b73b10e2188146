#pragma once
// qvSimpleArcProxyBase: the stand-alone base of arcs and pie slices: the
// stand-alone proxy base plus the arc (and so ellipse and rectangle) data
// access.

#include <orvane/shapes/qvArcDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleArcProxyBase : public qvSimpleShapeProxyBase, public virtual qvArcDataAccess {};
