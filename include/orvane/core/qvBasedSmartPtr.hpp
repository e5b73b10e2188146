#pragma once
// Smart-pointer interfaces: an object that hands out a T through a virtual
// get() (a record pointer of a paged scene, an adapter, the current element
// of an iterator), and the pointer-like operators layered over such an
// interface.
//
// The interfaces hold no data; copying one copies nothing. What `get()`
// returns, and how long it stays valid, belongs to the implementation.

template <class T>
class qvSmartPtrInterface {
public:
    virtual T* get() = 0;
    virtual ~qvSmartPtrInterface() = default;

protected:
    qvSmartPtrInterface() noexcept = default;
    qvSmartPtrInterface(qvSmartPtrInterface const&) noexcept = default;
    qvSmartPtrInterface& operator=(qvSmartPtrInterface const&) noexcept = default;
};

// The interface I with pointer-like access to its T.
template <class T, class I>
class qvBasedSmartPtr : public I {
public:
    T* operator->() { return this->get(); }
    T& operator*() { return *this->get(); }
    explicit operator bool() { return this->get() != nullptr; }
};

// The base of a plain smart-pointer implementation over T.
template <class T>
class qvSmartPtr : public qvBasedSmartPtr<T, qvSmartPtrInterface<T>> {};
