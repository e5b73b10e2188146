#pragma once
// orvane::auto_ptr<T>: a pointer with an owner flag.
//
// Keeps true: the object is deleted exactly once, by the holder whose owner
// flag is set when that holder is destroyed or overwritten. Copying and
// assigning transfer ownership: the target takes the pointer and the flag,
// the source keeps its pointer but no longer owns it (the flag is mutable so
// that a copy from a const holder, or a by-value argument, can take it over).
// Moves do the same transfer and are noexcept, so vectors of holders move
// their elements instead of copying. Never sort such a vector: a sort's
// temporaries would take ownership away from the elements.
//
// Same-pointer assignment deletes nothing: the target owns when either side
// owned, and the source gives its ownership up.

namespace orvane {

template <class T>
class auto_ptr {
public:
    auto_ptr() noexcept = default;
    explicit auto_ptr(T* pointer) noexcept : pointer_(pointer) {}

    auto_ptr(auto_ptr const& other) noexcept : pointer_(other.pointer_), owner_(other.take_ownership()) {}
    auto_ptr(auto_ptr&& other) noexcept : pointer_(other.pointer_), owner_(other.take_ownership()) {}

    template <class U>
    auto_ptr(auto_ptr<U> const& other) noexcept : pointer_(other.pointer_), owner_(other.take_ownership()) {}
    template <class U>
    auto_ptr(auto_ptr<U>&& other) noexcept : pointer_(other.pointer_), owner_(other.take_ownership()) {}

    ~auto_ptr() {
        if (owner_) delete pointer_;
    }

    auto_ptr& operator=(auto_ptr const& other) noexcept { return assign(other); }
    auto_ptr& operator=(auto_ptr&& other) noexcept { return assign(other); }
    template <class U>
    auto_ptr& operator=(auto_ptr<U> const& other) noexcept { return assign(other); }

    T* get() const noexcept { return pointer_; }
    T& operator*() const noexcept { return *pointer_; }
    T* operator->() const noexcept { return pointer_; }

    // Gives up ownership; the holder keeps the pointer.
    T* release() noexcept {
        owner_ = false;
        return pointer_;
    }

    bool owner() const noexcept { return owner_; }

private:
    template <class U>
    friend class auto_ptr;

    bool take_ownership() const noexcept {
        const bool owned = owner_;
        owner_ = false;
        return owned;
    }

    template <class U>
    auto_ptr& assign(auto_ptr<U> const& other) noexcept {
        if (static_cast<void const*>(&other) == static_cast<void const*>(this)) return *this;
        if (other.pointer_ == pointer_) {
            owner_ = other.take_ownership() || owner_;
            return *this;
        }
        // Take the new state before deleting: the old object may own `other`.
        T* const old_pointer = pointer_;
        const bool old_owner = owner_;
        pointer_ = other.pointer_;
        owner_ = other.take_ownership();
        if (old_owner) delete old_pointer;
        return *this;
    }

    T* pointer_ = nullptr;
    mutable bool owner_ = true;
};

}  // namespace orvane
