#pragma once
// qvIndirectIterator<T>: the owning handle that enumerate and query
// operations return.
//
// Keeps true: at most one handle owns a given implementation, and the owner
// deletes it exactly once (through its virtual destructor). Copying moves
// ownership: the copy takes the pointer and the owner flag, the source keeps
// the pointer but no longer owns it (so it must not outlive the copy).
// Assigning a handle that holds the same implementation deletes nothing: the
// target owns when either side owned, and the source gives ownership up.
//
// A handle without implementation tests false and ignores ++; reading
// through it raises "_object.get()".

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvIterator.hpp>

template <class T>
class qvIndirectIterator {
public:
    qvIndirectIterator() noexcept = default;
    explicit qvIndirectIterator(qvIteratorInterface<T>* implementation) noexcept
        : implementation_(implementation) {}
    qvIndirectIterator(qvIndirectIterator const& other) noexcept
        : implementation_(other.implementation_), owner_(other.owner_) {
        other.owner_ = false;
    }
    qvIndirectIterator& operator=(qvIndirectIterator const& other) noexcept {
        if (this == &other)
            return *this;
        if (implementation_ != other.implementation_) {
            delete_owned();
            implementation_ = other.implementation_;
            owner_ = false;
        }
        owner_ = owner_ || other.owner_;
        other.owner_ = false;
        return *this;
    }
    ~qvIndirectIterator() { delete_owned(); }

    T* operator->() const { return checked().get(); }
    T& operator*() const { return *checked().get(); }

    qvIndirectIterator& operator++() {
        if (implementation_ != nullptr)
            implementation_->next();
        return *this;
    }

    explicit operator bool() const {
        return implementation_ != nullptr && !implementation_->at_end();
    }

private:
    qvIteratorInterface<T>& checked() const {
        QV_ASSERT_TEXT(implementation_ != nullptr, "_object.get()");
        return *implementation_;
    }
    void delete_owned() noexcept {
        if (owner_)
            delete implementation_;
    }

    qvIteratorInterface<T>* implementation_ = nullptr;
    mutable bool owner_ = true;
};
