#pragma once
// qvSimpleScaledImageProxyBase: the stand-alone base of scaled images: the
// stand-alone proxy base plus the scaled image (and so image, anchor and
// bounding-box) data access.

#include <orvane/shapes/qvScaledImageDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleScaledImageProxyBase : public qvSimpleShapeProxyBase, public virtual qvScaledImageDataAccess {};
