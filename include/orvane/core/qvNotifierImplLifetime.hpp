#pragma once
// qvNotifierImplLifetime: when the bookkeeping of a sender or receiver dies.
//
// A sender or receiver owns its implementation, but a walk over the lists
// (an InternalIterator) may still be using the implementation's cursor when
// the owner is destroyed: a receiver may destroy its sender from inside a
// broadcast. Keeps true: the implementation is deleted exactly once, by the
// last of (its owner letting go, the last walk that holds it ending). Until
// then an orphaned implementation has empty lists, so the walk that still
// holds it stops at its next step without reaching a freed partner.

class qvNotifierImplLifetime {
public:
    qvNotifierImplLifetime() noexcept = default;
    qvNotifierImplLifetime(qvNotifierImplLifetime const&) = delete;
    qvNotifierImplLifetime& operator=(qvNotifierImplLifetime const&) = delete;
    virtual ~qvNotifierImplLifetime() = default;

    // A walk starts or stops using the implementation.
    void hold() noexcept { ++holds_; }
    void release() noexcept;

    // The owner lets go: deletes now, or when the last walk releases.
    void orphan() noexcept;

private:
    int holds_ = 0;
    bool orphaned_ = false;
};
