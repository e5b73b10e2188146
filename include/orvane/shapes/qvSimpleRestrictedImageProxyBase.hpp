#pragma once
// qvSimpleRestrictedImageProxyBase: the stand-alone base of restricted images: the
// stand-alone proxy base plus the restricted image (and so image, anchor and
// bounding-box) data access.

#include <orvane/shapes/qvRestrictedImageDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleRestrictedImageProxyBase : public qvSimpleShapeProxyBase, public virtual qvRestrictedImageDataAccess {};
