#pragma once
// qvSimpleEllipseProxyBase: the stand-alone base of ellipses: the
// stand-alone proxy base plus the ellipse (and so rectangle) data access.

#include <orvane/shapes/qvEllipseDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleEllipseProxyBase : public qvSimpleShapeProxyBase, public virtual qvEllipseDataAccess {};
