#pragma once
// qvSimplePointSetProxyBase: the stand-alone base of the point sets of both
// forms: the stand-alone proxy base plus the point-set (and so bounding-box)
// data access. The compact stand-alone form keeps its frame in the header
// box like the in-scene one; the exact one leaves the header box alone and
// computes bbox() from its points.

#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

class qvSimplePointSetProxyBase : public qvSimpleShapeProxyBase, public virtual qvPointSetDataAccess {};
