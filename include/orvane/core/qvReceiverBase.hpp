#pragma once
// qvReceiverBase: the receiving side of notification, untyped.
//
// A receiver owns its bookkeeping (qvReceiverImpl), lists every sender it is
// connected to with the priority of the connection, and does both sides'
// filing: connect records the sender here, then files this receiver with the
// sender in the list its `ordered` option names (only the ordered list gets
// broadcasts; the plain one only hears of the sender's destruction).
// Keeps true: each filing here has exactly one filing with the sender, with
// the same priority and, once the sender's cursor moves on, in the list
// `ordered()` names.
//
// A receiver may be destroyed, disconnect, or change its option from inside
// a broadcast: the sender defers what concerns the receiver it is calling.
// A derived receiver that can die while broadcasts may reach it should
// disconnect_all() in its own destructor, because its event operations are
// gone before this base disconnects.

#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvReceiverImpl.hpp>

class qvSenderBase;

class qvReceiverBase {
public:
    explicit qvReceiverBase(bool ordered = true);
    qvReceiverBase(qvReceiverBase const&) = delete;
    qvReceiverBase& operator=(qvReceiverBase const&) = delete;
    // Disconnects from every sender, calling each sender's partner_destroyed
    // after it no longer lists this receiver.
    virtual ~qvReceiverBase();

    // The event interface a typed receiver implements, as the exact
    // sub-object of that interface; null here.
    virtual void* event_interface();

    // Undoes one connection to `sender`; nothing when there is none. This,
    // disconnect_all() and ordered(bool) use the receiver's cursor, so they
    // end a walk of this receiver over its senders.
    void disconnect(qvSenderBase& sender);
    void disconnect_all();

    // Whether no sender is connected.
    bool empty() const { return impl_->empty(); }

    bool ordered() const noexcept { return ordered_; }
    // A new value re-files this receiver with every connected sender into
    // the other list; a sender whose broadcast is calling this receiver
    // moves it when its cursor steps on. The same value does nothing.
    void ordered(bool on);

    // A walk over the senders, newest connection first; see
    // qvSenderBase::InternalIterator.
    class InternalIterator : public qvIterator<qvSenderBase> {
    public:
        explicit InternalIterator(qvReceiverBase& receiver) : walk_(*receiver.impl_) {}
        qvSenderBase* get() override { return walk_.sender(); }
        void next() override { walk_.next(); }
        bool at_end() const override { return walk_.at_end(); }

    private:
        qvReceiverWalk walk_;
    };

protected:
    // Connects to `sender` with a priority (higher is called earlier); the
    // same pair connected twice is filed twice. The typed receivers offer
    // this only for a sender of their own event interface.
    void connect(qvSenderBase& sender, int priority = 0);

    // Called when a connected sender is destroyed, once per filing, after
    // neither side lists the other. The sender's derived parts are gone:
    // use it only as an identity.
    virtual void partner_destroyed(qvSenderBase* sender);

    qvReceiverImpl& implementation() const noexcept { return *impl_; }

private:
    friend class qvSenderBase;

    qvSenderBase* detach_current() noexcept;

    qvReceiverImpl* impl_;
    bool owner_ = true;
    bool ordered_;
};
