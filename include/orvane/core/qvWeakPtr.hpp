#pragma once
// Weak counted pointers: qvIWeakPtr<T> (T carries its own qvRefBase) and
// qvWeakPtr<T> (a separate counter record).
//
// Keeps true: a non-null weak pointer is listed exactly once in its counter's
// weak list; it never changes a count and never deletes the object. When the
// counter dies (the object's last strong release) the weak pointer is
// cleared and reads as null. A separate record that a qvWeakPtr made from a
// raw pointer is freed by the last of its users, strong or weak; the object
// is left alone.
//
// As with the strong pointers, adopting a raw intrusive object converts
// implicitly and a raw non-intrusive one only explicitly.

#include <orvane/core/qvRefPtrBase.hpp>

template <class T>
class qvWeakPtrCommon : public qvRefPtrBase {
public:
    using element_type = T;

    qvWeakPtrCommon() noexcept = default;
    qvWeakPtrCommon(qvWeakPtrCommon const& other) : qvRefPtrBase(other) { take_weak(); }
    template <qvRefPtrTo<T> P>
    qvWeakPtrCommon(P const& other) : qvRefPtrBase(static_cast<qvRefPtrBase const&>(other)) {
        take_weak();
    }
    qvWeakPtrCommon(qvRefPtrBase const& other, T* object) : qvRefPtrBase(other, object) {
        take_weak();
    }
    ~qvWeakPtrCommon() { release_weak_in_destructor(); }

    qvWeakPtrCommon& operator=(qvWeakPtrCommon const& other) {
        assign_weak(other);
        return *this;
    }
    template <qvRefPtrTo<T> P>
    qvWeakPtrCommon& operator=(P const& other) {
        assign_weak(other);
        return *this;
    }

    T* get() const noexcept { return static_cast<T*>(object()); }
    T* operator->() const noexcept { return get(); }
    T& operator*() const noexcept { return *get(); }

protected:
    explicit qvWeakPtrCommon(void* object) : qvRefPtrBase(object) { take_weak(); }
    qvWeakPtrCommon(qvRefBase* counter, void* object) : qvRefPtrBase(counter, object) {
        take_weak();
    }
};

template <class T>
class qvIWeakPtr : public qvWeakPtrCommon<T> {
public:
    using qvWeakPtrCommon<T>::qvWeakPtrCommon;
    using qvWeakPtrCommon<T>::operator=;
    qvIWeakPtr() noexcept = default;
    qvIWeakPtr(T* object) : qvWeakPtrCommon<T>(qvRefPtrBase::own_counter(object), object) {}
};

template <class T>
class qvWeakPtr : public qvWeakPtrCommon<T> {
public:
    using qvWeakPtrCommon<T>::qvWeakPtrCommon;
    using qvWeakPtrCommon<T>::operator=;
    qvWeakPtr() noexcept = default;
    explicit qvWeakPtr(T* object) : qvWeakPtrCommon<T>(static_cast<void*>(object)) {}
};
