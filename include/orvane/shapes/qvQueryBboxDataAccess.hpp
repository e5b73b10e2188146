#pragma once
// The data-access interfaces: small abstract interfaces through which the
// geometry of a shape is read and changed, one per aspect. Manipulators and
// adapters find them by query_interface after query_interaction named one.
// Within the family inheritance is virtual, so a proxy offering several
// interfaces has one sub-object per interface; the virtual destructor sits
// here, in the common root, and nowhere else in the family.
//
// qvQueryBboxDataAccess: the root: a shape's bounding box.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvQueryBboxDataAccess {
public:
    virtual ~qvQueryBboxDataAccess() = default;
    virtual qvMathRectOf<double> bbox() = 0;

protected:
    qvQueryBboxDataAccess() noexcept = default;
    qvQueryBboxDataAccess(qvQueryBboxDataAccess const&) noexcept = default;
    qvQueryBboxDataAccess& operator=(qvQueryBboxDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvQueryBboxDataAccess);
