// The untyped sender: construction, the destruction protocol, the hooks.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvReceiverBase.hpp>
#include <orvane/core/qvSenderBase.hpp>

qvSenderBase::qvSenderBase(bool enabled) : impl_(qvSenderImpl::create()), enabled_(enabled) {}

// Takes the first receiver (ordered list first) off both sides' lists; null
// when none is left. Starting a walk applies whatever an interrupted
// broadcast had deferred, so no entry is visited that should be gone.
qvReceiverBase* qvSenderBase::detach_first() noexcept {
    if (!impl_->begin())
        return nullptr;
    qvReceiverBase* receiver = impl_->receiver();
    impl_->remove(receiver, impl_->priority(), impl_->ordered());  // deferred: under the cursor
    impl_->end();
    receiver->impl_->remove(this);
    return receiver;
}

// Restarts at the first entry for every receiver, so a receiver that a hook
// connects meanwhile is detached too, and one that a hook destroys is gone
// from the list before it could be reached.
qvSenderBase::~qvSenderBase() {
    while (qvReceiverBase* receiver = detach_first()) {
        try {
            receiver->partner_destroyed(this);
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }
    if (owner_)
        impl_->orphan();
}

void* qvSenderBase::event_interface() { return nullptr; }

void qvSenderBase::partner_destroyed(qvReceiverBase*) {}
