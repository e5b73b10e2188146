#pragma once
// qvGraphicListDataAccess: the members of a graphic list. It stands apart
// from the shapes' data-access family: no base, and a public non-virtual
// destructor (lists are never deleted through it).

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/shapes/qvGraphic.hpp>

class qvGraphicListDataAccess {
public:
    ~qvGraphicListDataAccess() = default;

    virtual void add(qvGraphicListDataAccess const& list) = 0;
    virtual void add(qvGraphic const& graphic) = 0;
    // Removes the members the iterator yields; the iterator is consumed.
    virtual void remove(qvIndirectIterator<qvGraphic> members) = 0;
    virtual void remove_all() = 0;
    virtual qvIndirectIterator<qvGraphic> enumerate() = 0;
    virtual int size() const = 0;

protected:
    qvGraphicListDataAccess() noexcept = default;
    qvGraphicListDataAccess(qvGraphicListDataAccess const&) noexcept = default;
    qvGraphicListDataAccess& operator=(qvGraphicListDataAccess const&) noexcept = default;
};

QV_INTERFACE_NAME(qvGraphicListDataAccess);
