#pragma once
// qvReceiverImpl: the bookkeeping of a receiver, reached only through this
// interface (qvReceiverImpl::create makes the one implementation).
//
// A receiver lists the senders it is connected to, newest connection first,
// each with the priority of that connection. One cursor walks the list
// (states walking, single, idle). Keeps true: the entry under a walking
// cursor is never freed while the cursor stands on it; its removal is
// pending until the cursor steps away, ends, or a new walk starts. Senders
// are identities only: the bookkeeping never calls them.

#include <orvane/core/qvNotifierImplLifetime.hpp>

class qvSenderBase;

class qvReceiverImpl : public qvNotifierImplLifetime {
public:
    static qvReceiverImpl* create();

    ~qvReceiverImpl() override = default;

    // Puts (s, p) at the front of the list.
    virtual void insert(qvSenderBase* s, int priority) = 0;
    // Frees every entry and leaves the cursor idle.
    virtual void clear() = 0;
    // Unlinks the first entry of s, or defers that when the cursor stands on
    // an entry of s.
    virtual void remove(qvSenderBase* s) = 0;
    virtual bool empty() const = 0;
    virtual bool find(qvSenderBase* s) = 0;
    virtual bool begin() = 0;
    virtual bool next() = 0;
    virtual void end() = 0;
    // The entry under the cursor: null sender and priority 0 when idle.
    virtual qvSenderBase* sender() const = 0;
    virtual void priority(int p) = 0;
    virtual int priority() const = 0;
};

// One walk over the senders of a receiver; see qvSenderWalk.
class qvReceiverWalk {
public:
    explicit qvReceiverWalk(qvReceiverImpl& impl) noexcept;
    qvReceiverWalk(qvReceiverWalk const&) = delete;
    qvReceiverWalk& operator=(qvReceiverWalk const&) = delete;
    ~qvReceiverWalk();

    qvSenderBase* sender() const noexcept { return walking_ ? impl_->sender() : nullptr; }
    void next() noexcept { walking_ = walking_ && impl_->next(); }
    bool at_end() const noexcept { return !walking_; }

private:
    qvReceiverImpl* impl_;
    bool walking_;
};
