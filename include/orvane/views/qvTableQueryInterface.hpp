#pragma once
// qvTableQueryInterface<T>: the reading side of a table. A query hands out
// the entries its filter keeps, in table order, in place: a caller may
// change an entry through the iterator. The iterator refers to the filter
// and to the table's entries, so neither may go, and no entry may be
// erased, while it is in use.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/views/qvTableQueryFilter.hpp>

template <class T>
class qvTableQueryInterface {
public:
    virtual ~qvTableQueryInterface() = default;
    virtual qvIndirectIterator<T> query(qvTableQueryFilter<T> const& filter) = 0;

protected:
    qvTableQueryInterface() noexcept = default;
    qvTableQueryInterface(qvTableQueryInterface const&) noexcept = default;
    qvTableQueryInterface& operator=(qvTableQueryInterface const&) noexcept = default;
};
