#pragma once
// qvReceiverImplementation: the sender list of a receiver and its cursor.
//
// Keeps true: the list is newest connection first; a pending removal exists
// only while the cursor walks and always concerns the entry under it, which
// nothing else frees. Entries live in std::list nodes, so a walk allocates
// nothing and erasing another entry never disturbs the cursor.

#include <orvane/core/qvReceiverImpl.hpp>

#include <list>

class qvReceiverImplementation final : public qvReceiverImpl {
public:
    void insert(qvSenderBase* s, int priority) override;
    void clear() override;
    void remove(qvSenderBase* s) override;
    bool empty() const override;
    bool find(qvSenderBase* s) override;
    bool begin() override;
    bool next() override;
    void end() override;
    qvSenderBase* sender() const override;
    void priority(int p) override;
    int priority() const override;

private:
    struct Entry {
        qvSenderBase* sender;
        int priority;
    };
    using List = std::list<Entry>;
    using Pos = List::iterator;

    enum class State { walking, single, idle };

    bool walking() const noexcept { return state_ != State::idle; }
    bool stand(Pos e, State state) noexcept;
    void settle() noexcept;
    void apply_pending(Pos e) noexcept;

    List list_;
    // The cursor.
    Pos current_{};
    State state_ = State::idle;
    bool remove_pending_ = false;
};
