#pragma once
// qvSenderImpl: the bookkeeping of a sender, reached only through this
// interface (qvSenderImpl::create makes the one implementation).
//
// A sender files its receivers in two lists: the ordered list, in descending
// priority (among equal priorities the latest filing first), which broadcasts
// walk; and the plain list, newest filing first, whose receivers are only
// told when the sender dies. One cursor walks them, in one of the states
//   all       the ordered list, then the plain list     begin()
//   list      one list                                  begin(ordered)
//   priority  the entries of one priority of one list   begin(p, ordered)
//   single    the one entry found                       find(r, p, ordered)
//   idle      no walk
// Keeps true: the entry under a walking cursor is never freed or moved while
// the cursor stands on it. Removing it, or re-filing it (priority(p),
// toggle_list()), is recorded as the pending action and applied when the
// cursor steps away, ends, or a new walk starts. Receivers are identities
// only: the bookkeeping never calls them.

#include <orvane/core/qvNotifierImplLifetime.hpp>

class qvReceiverBase;

class qvSenderImpl : public qvNotifierImplLifetime {
public:
    static qvSenderImpl* create();

    ~qvSenderImpl() override = default;

    // Files r: in the ordered list before the first entry whose priority is
    // not above p, or at the front of the plain list. Never looks for an
    // existing filing of r.
    virtual void insert(qvReceiverBase* r, int priority, bool ordered) = 0;
    // Frees every entry and leaves the cursor idle.
    virtual void clear() = 0;
    // Unlinks the first filing (r, p) of the named list, or defers that when
    // the cursor stands on it.
    virtual void remove(qvReceiverBase* r, int priority, bool ordered) = 0;
    virtual bool empty(bool ordered) const = 0;
    // Stands the cursor on filing (r, p) in state single; the ordered list is
    // searched no further than the first entry of a lower priority.
    virtual bool find(qvReceiverBase* r, int priority, bool ordered) = 0;
    virtual bool begin() = 0;
    virtual bool begin(bool ordered) = 0;
    virtual bool begin(int priority, bool ordered) = 0;
    // Steps on; false once the walk is over.
    virtual bool next() = 0;
    virtual void end() = 0;
    // The entry under the cursor: null receiver, priority 0 and false when idle.
    virtual qvReceiverBase* receiver() const = 0;
    virtual void priority(int p) = 0;
    virtual int priority() const = 0;
    virtual bool ordered() const = 0;
    virtual void toggle_list() = 0;
    // Moves filing (r, p) from the named list into the other one, keeping its
    // priority: deferred as toggle_list() when the cursor stands on it, else
    // at once without touching the cursor. A receiver changing its option
    // calls this for every sender it is connected to.
    virtual void toggle_list(qvReceiverBase* r, int priority, bool ordered) = 0;
};

// One walk over the ordered list of a sender: holds the cursor (and keeps the
// implementation alive) from construction to destruction, which ends the
// cursor and so applies an action deferred during the walk. Walks on one
// sender nest: an inner walk restarts the shared cursor, and the outer one
// ends at its next step.
class qvSenderWalk {
public:
    explicit qvSenderWalk(qvSenderImpl& impl) noexcept;
    qvSenderWalk(qvSenderWalk const&) = delete;
    qvSenderWalk& operator=(qvSenderWalk const&) = delete;
    ~qvSenderWalk();

    qvReceiverBase* receiver() const noexcept { return walking_ ? impl_->receiver() : nullptr; }
    void next() noexcept { walking_ = walking_ && impl_->next(); }
    bool at_end() const noexcept { return !walking_; }

private:
    qvSenderImpl* impl_;
    bool walking_;
};
