#pragma once
// qvTableModificationImplementation<T>: the modification side over the
// shared list: add appends a copy, remove erases every equal entry.

#include <orvane/views/qvTableModificationInterface.hpp>

#include "views/qvTableImplementationCore.hpp"

template <class T>
class qvTableModificationImplementation : public virtual qvTableImplementationCore<T>,
                                          public virtual qvTableModificationInterface<T> {
public:
    void add(T const& item) override { this->entries_.push_back(item); }
    void remove(T const& item) override {
        // The item may be one of the entries: compare against a copy.
        const T gone = item;
        this->entries_.remove(gone);
    }
};
