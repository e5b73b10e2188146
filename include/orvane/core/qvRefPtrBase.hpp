#pragma once
// qvRefPtrBase: the common part of the four counted pointers
// (qvISafePtr, qvSafePtr, qvIWeakPtr, qvWeakPtr); qvSafePtrBase: the common
// base of the strong ones, which handle classes accept to mean "any strong
// pointer".
//
// Keeps true: a pointer is null exactly when `object` is null, and then
// `counter` is null and `invasive` false. `counter` is the object's own
// qvRefBase when `invasive`, else a separate record on the heap. Two pointers
// name the same object when they share one counter, whatever interface each
// sees the object through, so equality compares counters only.
//
// Ownership: a strong pointer holds one count; the release that brings the
// count to 0 frees a separate record (which clears the watching weak
// pointers) and hands the object back to the typed pointer for deletion. A
// weak pointer holds no count and is listed in its counter's weak list. A
// separate record that a weak pointer made from a raw pointer lives while a
// strong or weak pointer still uses it; the object is never the weak side's
// to delete.
//
// Counting is done only by the typed pointers; the field-copying members here
// are protected so that no caller can leave a stale weak-list entry or an
// unbalanced count behind.

#include <orvane/core/qvRefBase.hpp>

#include <concepts>

class qvRefPtrBase {
public:
    qvRefBase* counter() const noexcept { return counter_; }
    void* object() const noexcept { return object_; }
    bool invasive() const noexcept { return invasive_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

    friend bool operator==(qvRefPtrBase const& a, qvRefPtrBase const& b) noexcept {
        return a.counter_ == b.counter_;
    }

protected:
    qvRefPtrBase() noexcept = default;
    qvRefPtrBase(qvRefPtrBase const&) noexcept = default;
    // Converting form: the same counted object seen through another type.
    qvRefPtrBase(qvRefPtrBase const& other, void* object) noexcept;
    // Intrusive form: `counter` is the object's own record.
    qvRefPtrBase(qvRefBase* counter, void* object) noexcept;
    // Non-intrusive form: a separate record (count 0) for a non-null object.
    explicit qvRefPtrBase(void* object);
    ~qvRefPtrBase() = default;

    // The counter record an intrusive object carries (null for null).
    template <class T>
    static qvRefBase* own_counter(T* object) noexcept {
        return object ? static_cast<qvRefBase const*>(object)->ref_base() : nullptr;
    }

    qvRefPtrBase& operator=(qvRefPtrBase const&) noexcept = default;
    void reset() noexcept;
    void reset(qvRefPtrBase const& other) noexcept;

    // Strong side. Both return the object the caller must delete (its last
    // use is gone), or null.
    void take_strong() const noexcept;
    void* release_strong() const noexcept;
    void* assign_strong(qvRefPtrBase const& other) noexcept;

    // Weak side.
    void take_weak() const;
    void release_weak() const;
    void release_weak_in_destructor() const noexcept;
    void assign_weak(qvRefPtrBase const& other);

private:
    friend class qvRefBase;
    void clear() noexcept { reset(); }   // the counter's way to clear a watcher

    qvRefBase* counter_ = nullptr;
    void* object_ = nullptr;
    bool invasive_ = false;
};

class qvSafePtrBase : public qvRefPtrBase {
protected:
    qvSafePtrBase() noexcept = default;
    qvSafePtrBase(qvSafePtrBase const&) noexcept = default;
    explicit qvSafePtrBase(qvRefPtrBase const& other) noexcept : qvRefPtrBase(other) {}
    qvSafePtrBase(qvRefPtrBase const& other, void* object) noexcept
        : qvRefPtrBase(other, object) {}
    qvSafePtrBase(qvRefBase* counter, void* object) noexcept : qvRefPtrBase(counter, object) {}
    explicit qvSafePtrBase(void* object) : qvRefPtrBase(object) {}
    ~qvSafePtrBase() = default;
    qvSafePtrBase& operator=(qvSafePtrBase const&) noexcept = default;
};

// P is one of the four counted pointers (or a handle derived from one) to T.
template <class P, class T>
concept qvRefPtrTo = std::derived_from<P, qvRefPtrBase> &&
                     std::same_as<typename P::element_type, T>;
