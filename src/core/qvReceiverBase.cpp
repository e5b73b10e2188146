// The untyped receiver: both sides' filing, the option, the destruction
// protocol and the hooks.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvSenderBase.hpp>

qvReceiverBase::qvReceiverBase(bool ordered) : impl_(qvReceiverImpl::create()), ordered_(ordered) {}

void qvReceiverBase::connect(qvSenderBase& sender, int priority) {
    impl_->insert(&sender, priority);
    sender.impl_->insert(this, priority, ordered_);
}

// With the cursor on an entry: takes that connection off both sides' lists
// and ends the cursor.
qvSenderBase* qvReceiverBase::detach_current() noexcept {
    qvSenderBase* sender = impl_->sender();
    const int priority = impl_->priority();
    impl_->remove(sender);  // deferred: under the cursor
    impl_->end();
    sender->impl_->remove(this, priority, ordered_);
    return sender;
}

// A sender this receiver does not list is never touched: it may be gone.
void qvReceiverBase::disconnect(qvSenderBase& sender) {
    if (impl_->find(&sender))
        detach_current();
}

void qvReceiverBase::disconnect_all() {
    while (impl_->begin())
        detach_current();
}

void qvReceiverBase::ordered(bool on) {
    if (on == ordered_)
        return;
    for (bool more = impl_->begin(); more; more = impl_->next())
        impl_->sender()->impl_->toggle_list(this, impl_->priority(), ordered_);
    ordered_ = on;
}

qvReceiverBase::~qvReceiverBase() {
    while (impl_->begin()) {
        qvSenderBase* sender = detach_current();
        try {
            sender->partner_destroyed(this);
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }
    if (owner_)
        impl_->orphan();
}

void* qvReceiverBase::event_interface() { return nullptr; }

void qvReceiverBase::partner_destroyed(qvSenderBase*) {}
