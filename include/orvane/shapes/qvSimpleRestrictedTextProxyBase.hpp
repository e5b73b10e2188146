#pragma once
// qvSimpleRestrictedTextProxyBase: the stand-alone base of restricted
// texts: the stand-alone proxy base plus the restricted text (and so text,
// anchor and bounding-box) data access. A stand-alone text has no view to
// fit: its adjust_extent does nothing.

#include <orvane/shapes/qvRestrictedTextDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleRestrictedTextProxyBase : public qvSimpleShapeProxyBase, public virtual qvRestrictedTextDataAccess {
public:
    void adjust_extent(qvRestrictedTransformation* /*t*/) override {}
};
