#pragma once
// qvCustomBrushDataAccess: the common root of every custom fill object (the
// linear, radial and conical gradients). It carries the object's own
// reference count, so any number of brushes and handles can adopt the same
// raw object; the concrete kind is found with query_interface.
//
// The bases are virtual: a fill object that offers several interfaces still
// has exactly one count and one query_interface.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>

class qvCustomBrushDataAccess : public virtual qvDynamicInterface, public virtual qvRefBase {
protected:
    qvCustomBrushDataAccess() noexcept = default;
    qvCustomBrushDataAccess(qvCustomBrushDataAccess const&) noexcept = default;
    qvCustomBrushDataAccess& operator=(qvCustomBrushDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvCustomBrushDataAccess);
