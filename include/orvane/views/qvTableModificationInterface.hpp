#pragma once
// qvTableModificationInterface<T>: the changing side of a table. add appends
// a copy without looking for duplicates; remove erases every entry equal
// to the item, not only the first.

template <class T>
class qvTableModificationInterface {
public:
    virtual ~qvTableModificationInterface() = default;
    virtual void add(T const& item) = 0;
    virtual void remove(T const& item) = 0;

protected:
    qvTableModificationInterface() noexcept = default;
    qvTableModificationInterface(qvTableModificationInterface const&) noexcept = default;
    qvTableModificationInterface& operator=(qvTableModificationInterface const&) noexcept = default;
};
