#pragma once
// qvRestrictedTextDataAccess: a text sized in device units, whose extent in
// model units is measured again for each view transformation.

#include <orvane/shapes/qvTextDataAccess.hpp>

class qvRestrictedTransformation;

class qvRestrictedTextDataAccess : public virtual qvTextDataAccess {
public:
    virtual void adjust_extent(qvRestrictedTransformation* t) = 0;

protected:
    qvRestrictedTextDataAccess() noexcept = default;
    qvRestrictedTextDataAccess(qvRestrictedTextDataAccess const&) noexcept = default;
    qvRestrictedTextDataAccess& operator=(qvRestrictedTextDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvRestrictedTextDataAccess);
