#pragma once
// qvSenderBase: the sending side of notification, untyped.
//
// A sender owns its bookkeeping (qvSenderImpl) and lists every receiver that
// connected to it. Connecting and disconnecting are done from the receiver
// side (qvReceiverBase), which keeps both sides' lists in step.
// Keeps true: a receiver is listed here exactly as often as this sender is
// listed by the receiver; once the sender is destroyed no receiver lists it,
// and each receiver was told once per filing through partner_destroyed.
// A sender may be destroyed from inside its own broadcast: the walk then in
// progress holds the bookkeeping until it ends (qvNotifierImplLifetime).
//
// The bool given at construction is kept for the scene publisher, which
// switches it with its notification; broadcasting itself never reads it.

#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvSenderImpl.hpp>

class qvReceiverBase;

class qvSenderBase {
public:
    explicit qvSenderBase(bool enabled = true);
    qvSenderBase(qvSenderBase const&) = delete;
    qvSenderBase& operator=(qvSenderBase const&) = delete;
    // Detaches every receiver, ordered list first, then the plain list, and
    // calls each one's partner_destroyed after it no longer lists this sender.
    virtual ~qvSenderBase();

    // The event interface a typed sender implements, as the exact sub-object
    // of that interface; null here.
    virtual void* event_interface();

    bool enabled() const noexcept { return enabled_; }
    void enabled(bool on) noexcept { enabled_ = on; }

    // Whether no receiver is filed in the named list (broadcasts walk the
    // ordered one).
    bool empty(bool ordered = true) const { return impl_->empty(ordered); }

    // A walk over the receivers of the ordered list, in walk order. Only one
    // walk per sender is meaningful at a time (the cursor is shared); changes
    // to the lists made meanwhile wait for the cursor.
    class InternalIterator : public qvIterator<qvReceiverBase> {
    public:
        explicit InternalIterator(qvSenderBase& sender) : walk_(*sender.impl_) {}
        qvReceiverBase* get() override { return walk_.receiver(); }
        void next() override { walk_.next(); }
        bool at_end() const override { return walk_.at_end(); }

    private:
        qvSenderWalk walk_;
    };

protected:
    // Called when a connected receiver is destroyed, once per filing, after
    // this sender stopped listing it. The receiver's derived parts are gone:
    // use it only as an identity.
    virtual void partner_destroyed(qvReceiverBase* receiver);

    qvSenderImpl& implementation() const noexcept { return *impl_; }

private:
    friend class qvReceiverBase;

    qvReceiverBase* detach_first() noexcept;

    qvSenderImpl* impl_;
    bool owner_ = true;
    bool enabled_;
};
