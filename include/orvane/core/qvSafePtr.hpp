#pragma once
// Strong counted pointers: qvISafePtr<T> (T derives from qvRefBase and carries
// its own count) and qvSafePtr<T> (any T; a separate counter record).
//
// Keeps true: every non-null strong pointer holds exactly one count of its
// counter. The release that brings the count to 0 deletes the object as a T
// (through its virtual destructor where T has one). Strong and weak pointers
// of the same T convert into one another in every direction; a strong pointer
// made from a cleared weak pointer is null. Assigning a pointer that shares
// the counter (itself included) counts nothing.
//
// The two differ only in how a raw pointer is adopted. Adopting an intrusive
// object is safe from any number of raw pointers (the count travels with the
// object), so qvISafePtr converts implicitly; a second qvSafePtr made from the
// same raw pointer would make a second counter, so that form is explicit.

#include <orvane/core/qvRefPtrBase.hpp>

// What both strong pointers share: counting, typed access, conversions.
template <class T>
class qvStrongPtrCommon : public qvSafePtrBase {
public:
    using element_type = T;

    qvStrongPtrCommon() noexcept = default;
    qvStrongPtrCommon(qvStrongPtrCommon const& other) noexcept : qvSafePtrBase(other) {
        take_strong();
    }
    // From any of the four pointer kinds of the same T (or a handle derived
    // from one).
    template <qvRefPtrTo<T> P>
    qvStrongPtrCommon(P const& other) noexcept
        : qvSafePtrBase(static_cast<qvRefPtrBase const&>(other)) {
        take_strong();
    }
    // The same counted object seen through T: shares other's counter.
    qvStrongPtrCommon(qvRefPtrBase const& other, T* object) noexcept
        : qvSafePtrBase(other, object) {
        take_strong();
    }
    ~qvStrongPtrCommon() { destroy(release_strong()); }

    qvStrongPtrCommon& operator=(qvStrongPtrCommon const& other) noexcept {
        destroy(assign_strong(other));
        return *this;
    }
    template <qvRefPtrTo<T> P>
    qvStrongPtrCommon& operator=(P const& other) noexcept {
        destroy(assign_strong(other));
        return *this;
    }

    T* get() const noexcept { return static_cast<T*>(object()); }
    T* operator->() const noexcept { return get(); }
    T& operator*() const noexcept { return *get(); }

protected:
    explicit qvStrongPtrCommon(void* object) : qvSafePtrBase(object) { take_strong(); }
    qvStrongPtrCommon(qvRefBase* counter, void* object) noexcept
        : qvSafePtrBase(counter, object) {
        take_strong();
    }

private:
    static void destroy(void* dead) noexcept { delete static_cast<T*>(dead); }
};

template <class T>
class qvISafePtr : public qvStrongPtrCommon<T> {
public:
    using qvStrongPtrCommon<T>::qvStrongPtrCommon;
    using qvStrongPtrCommon<T>::operator=;
    qvISafePtr() noexcept = default;
    qvISafePtr(T* object) noexcept
        : qvStrongPtrCommon<T>(qvRefPtrBase::own_counter(object), object) {}
};

template <class T>
class qvSafePtr : public qvStrongPtrCommon<T> {
public:
    using qvStrongPtrCommon<T>::qvStrongPtrCommon;
    using qvStrongPtrCommon<T>::operator=;
    qvSafePtr() noexcept = default;
    explicit qvSafePtr(T* object) : qvStrongPtrCommon<T>(static_cast<void*>(object)) {}
};
