#pragma once
// qvAutoHandle<H>: a system handle and an owner flag.
//
// Keeps true: a handle is released (qvDeleteHandle(H), found beside the
// handle's type) exactly once, by the holder whose owner flag is set when it
// is overwritten or destroyed. Copying moves ownership as orvane::auto_ptr
// does: the source keeps its handle but no longer owns it. Assigning from a
// holder of the same handle releases nothing; the target then owns when
// either side owned.

template <class H>
class qvAutoHandle {
public:
    // A holder made from a handle owns it.
    explicit qvAutoHandle(H handle) noexcept : handle_(handle), owner_(true) {}

    qvAutoHandle(qvAutoHandle& other) noexcept : handle_(other.handle_), owner_(other.owner_) {
        other.owner_ = false;
    }
    qvAutoHandle(qvAutoHandle&& other) noexcept : handle_(other.handle_), owner_(other.owner_) {
        other.owner_ = false;
    }

    qvAutoHandle& operator=(qvAutoHandle& other) noexcept {
        take(other);
        return *this;
    }
    qvAutoHandle& operator=(qvAutoHandle&& other) noexcept {
        take(other);
        return *this;
    }

    ~qvAutoHandle() { drop(); }

    H get() const noexcept { return handle_; }
    bool owner() const noexcept { return owner_; }

    // Gives up ownership; the holder keeps the handle.
    H release() noexcept {
        owner_ = false;
        return handle_;
    }

private:
    void take(qvAutoHandle& other) noexcept {
        if (this == &other) return;
        if (handle_ != other.handle_) {
            drop();
            owner_ = other.owner_;
        } else {
            owner_ = owner_ || other.owner_;
        }
        handle_ = other.handle_;
        other.owner_ = false;
    }

    void drop() noexcept {
        if (owner_ && handle_) qvDeleteHandle(handle_);
    }

    H handle_;
    bool owner_;
};
