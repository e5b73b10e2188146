#pragma once
// qvTableImplementationCore<T>: the one list of entries a table's query and
// modification sides share (a virtual base of both), so an entry added
// through one side is seen at once through the other.
//
// Keeps true: entries keep their list order; copying copies the entries
// in order, and assigning reuses the existing nodes in order (assigns into
// them, erases the surplus, appends the rest).

#include <list>

template <class T>
class qvTableImplementationCore {
public:
    qvTableImplementationCore() = default;
    qvTableImplementationCore(qvTableImplementationCore const&) = default;
    qvTableImplementationCore& operator=(qvTableImplementationCore const& other) {
        if (this == &other) return *this;
        auto into = entries_.begin();
        auto from = other.entries_.begin();
        for (; into != entries_.end() && from != other.entries_.end(); ++into, ++from) *into = *from;
        entries_.erase(into, entries_.end());
        entries_.insert(entries_.end(), from, other.entries_.end());
        return *this;
    }
    virtual ~qvTableImplementationCore() = default;

protected:
    std::list<T> entries_;
};
