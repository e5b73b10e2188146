// The sender list of a receiver and the cursor that walks it.

#include "core/qvReceiverImplementation.hpp"

qvReceiverImpl* qvReceiverImpl::create() { return new qvReceiverImplementation; }

// --- the walk held by an iterator -----------------------------------------------

qvReceiverWalk::qvReceiverWalk(qvReceiverImpl& impl) noexcept : impl_(&impl), walking_(false) {
    impl_->hold();
    walking_ = impl_->begin();
}

qvReceiverWalk::~qvReceiverWalk() {
    impl_->end();
    impl_->release();
}

// --- cursor helpers -----------------------------------------------------------------

bool qvReceiverImplementation::stand(Pos e, State state) noexcept {
    current_ = e;
    state_ = state;
    return true;
}

// Ends any walk, applying (never dropping) a pending removal.
void qvReceiverImplementation::settle() noexcept {
    if (!walking())
        return;
    state_ = State::idle;
    apply_pending(current_);
}

void qvReceiverImplementation::apply_pending(Pos e) noexcept {
    if (remove_pending_)
        list_.erase(e);
    remove_pending_ = false;
}

// --- the list -------------------------------------------------------------------------

void qvReceiverImplementation::insert(qvSenderBase* s, int priority) {
    list_.push_front(Entry{s, priority});
}

void qvReceiverImplementation::clear() {
    state_ = State::idle;
    remove_pending_ = false;
    list_.clear();
}

void qvReceiverImplementation::remove(qvSenderBase* s) {
    if (walking() && !remove_pending_ && current_->sender == s) {
        remove_pending_ = true;
        return;
    }
    for (Pos e = list_.begin(); e != list_.end(); ++e)
        if (e->sender == s && !(walking() && e == current_)) {
            list_.erase(e);
            return;
        }
}

bool qvReceiverImplementation::empty() const { return list_.empty(); }

// --- walking ------------------------------------------------------------------------

bool qvReceiverImplementation::find(qvSenderBase* s) {
    settle();
    for (Pos e = list_.begin(); e != list_.end(); ++e)
        if (e->sender == s)
            return stand(e, State::single);
    return false;
}

bool qvReceiverImplementation::begin() {
    settle();
    return !list_.empty() && stand(list_.begin(), State::walking);
}

// Steps before the old entry's pending removal is applied, so the cursor
// never stands on a freed entry.
bool qvReceiverImplementation::next() {
    if (!walking())
        return false;
    const Pos old = current_;
    if (state_ == State::single || ++current_ == list_.end())
        state_ = State::idle;
    apply_pending(old);
    return walking();
}

void qvReceiverImplementation::end() { settle(); }

// --- the entry under the cursor -------------------------------------------------------

qvSenderBase* qvReceiverImplementation::sender() const {
    return walking() ? current_->sender : nullptr;
}

void qvReceiverImplementation::priority(int p) {
    if (walking())
        current_->priority = p;
}

int qvReceiverImplementation::priority() const { return walking() ? current_->priority : 0; }
