#pragma once
// qvTableQueryImplementation<T, S>: the query side over the shared list of
// entries S, handed out as T; and qvTQI_InternalIterator<T, S>, its walk.
//
// The walk holds a position, the list's end and a reference to the filter:
// at construction and on every next() it moves to the first entry at or
// after (next: strictly after) its position that the filter keeps, or to
// the end, where it stays.

#include <orvane/core/qvIterator.hpp>
#include <orvane/views/qvTableQueryInterface.hpp>

#include "views/qvTableImplementationCore.hpp"

template <class T, class S>
class qvTQI_InternalIterator : public qvIterator<T> {
public:
    using Position = typename std::list<S>::iterator;

    qvTQI_InternalIterator(Position first, Position end, qvTableQueryFilter<T> const& filter)
        : position_(first), end_(end), filter_(filter) {
        if (position_ != end_ && !filter_.accept(*position_)) next();
    }
    // At the end: null, and next() stays there (the list's end is no entry,
    // and stepping past it would start the walk over).
    T* get() override { return position_ != end_ ? &*position_ : nullptr; }
    void next() override {
        if (position_ == end_) return;
        do {
            ++position_;
        } while (position_ != end_ && !filter_.accept(*position_));
    }
    bool at_end() const override { return position_ == end_; }

private:
    Position position_;
    Position end_;
    qvTableQueryFilter<T> const& filter_;
};

template <class T, class S>
class qvTableQueryImplementation : public virtual qvTableImplementationCore<S>, public virtual qvTableQueryInterface<T> {
public:
    qvIndirectIterator<T> query(qvTableQueryFilter<T> const& filter) override {
        return qvIndirectIterator<T>(
            new qvTQI_InternalIterator<T, S>(this->entries_.begin(), this->entries_.end(), filter));
    }
};
