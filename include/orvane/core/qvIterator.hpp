#pragma once
// Polymorphic iterators: one small interface (get, next, at_end), one
// implementation class per container, handed to callers in an owning
// qvIndirectIterator.
//
// Calling order: test, read the element, advance; repeat until the test
// fails. What get() returns once at_end() holds is the implementation's
// business, and callers never read it.

#include <orvane/core/qvBasedSmartPtr.hpp>

template <class T>
class qvIteratorInterface : public qvSmartPtrInterface<T> {
public:
    virtual void next() = 0;
    virtual bool at_end() const = 0;
};

// The interface I with pointer-like access and iteration operators.
template <class T, class I>
class qvBasedIterator : public qvBasedSmartPtr<T, I> {
public:
    qvBasedIterator& operator++() {
        this->next();
        return *this;
    }
    // An iterator tests true while it has an element.
    explicit operator bool() const { return !this->at_end(); }
};

// The base class of every iterator implementation.
template <class T>
class qvIterator : public qvBasedIterator<T, qvIteratorInterface<T>> {};
