#pragma once
// qvTableInterface<T>: a table read and changed through one object. Both
// sides are virtual bases, so an implementation that builds each side on
// its own still forms one table.

#include <orvane/views/qvTableModificationInterface.hpp>
#include <orvane/views/qvTableQueryInterface.hpp>

template <class T>
class qvTableInterface : public virtual qvTableQueryInterface<T>, public virtual qvTableModificationInterface<T> {
public:
    ~qvTableInterface() override = default;

protected:
    qvTableInterface() noexcept = default;
    qvTableInterface(qvTableInterface const&) noexcept = default;
    qvTableInterface& operator=(qvTableInterface const&) noexcept = default;
};
