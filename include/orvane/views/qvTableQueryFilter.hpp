#pragma once
// qvTableQueryFilter<T>: the test a table query walks with. A query keeps a
// reference to its filter, never a copy: the filter must outlive the walk.

template <class T>
class qvTableQueryFilter {
public:
    virtual ~qvTableQueryFilter() = default;
    // True keeps the entry.
    virtual bool accept(T const& entry) const = 0;

protected:
    qvTableQueryFilter() noexcept = default;
    qvTableQueryFilter(qvTableQueryFilter const&) noexcept = default;
    qvTableQueryFilter& operator=(qvTableQueryFilter const&) noexcept = default;
};
