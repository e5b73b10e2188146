#pragma once
// qvSimpleScaledTextProxyBase: the stand-alone base of scaled texts: the
// stand-alone proxy base plus the scaled text (and so text, anchor and
// bounding-box) data access. Its adjust_extent does nothing: a stand-alone
// text gets its extent set by its owner.

#include <orvane/shapes/qvScaledTextDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimpleScaledTextProxyBase : public qvSimpleShapeProxyBase, public virtual qvScaledTextDataAccess {
public:
    void adjust_extent() override {}
};
