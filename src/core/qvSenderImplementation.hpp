#pragma once
// qvSenderImplementation: the two receiver lists of a sender and their one
// cursor (see qvSenderImpl for the walk states).
//
// Keeps true:
//   - the ordered list is in descending priority, after every insert and
//     every re-file; the plain list is newest filing first;
//   - a pending action exists only while the cursor walks, and it always
//     concerns the entry under the cursor, which nothing else frees or moves;
//   - the entry a re-file moves is never its own landmark: it is placed
//     before the first *other* entry whose priority is not above its new one.
//   - every entry of either list is in the index exactly once, under its
//     receiver, its priority and its list.
// Entries live in std::list nodes, so moving one (splice) never invalidates
// the cursor and a walk allocates nothing. The index lets a removal find its
// entry without walking the list, so connecting and disconnecting n
// receivers costs O(n) in all, whatever the order; the lists alone still
// decide the order of notification.

#include <orvane/core/qvSenderImpl.hpp>

#include <cstddef>
#include <functional>
#include <list>
#include <unordered_map>

class qvSenderImplementation final : public qvSenderImpl {
public:
    void insert(qvReceiverBase* r, int priority, bool ordered) override;
    void clear() override;
    void remove(qvReceiverBase* r, int priority, bool ordered) override;
    bool empty(bool ordered) const override;
    bool find(qvReceiverBase* r, int priority, bool ordered) override;
    bool begin() override;
    bool begin(bool ordered) override;
    bool begin(int priority, bool ordered) override;
    bool next() override;
    void end() override;
    qvReceiverBase* receiver() const override;
    void priority(int p) override;
    int priority() const override;
    bool ordered() const override;
    void toggle_list() override;
    void toggle_list(qvReceiverBase* r, int priority, bool ordered) override;

private:
    struct Entry {
        qvReceiverBase* receiver;
        int priority;
    };
    using List = std::list<Entry>;
    using Pos = List::iterator;

    // A filing's identity: (receiver, priority, list).
    struct Key {
        qvReceiverBase* receiver;
        int priority;
        bool ordered;
        bool operator==(Key const&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(Key const& k) const noexcept {
            const std::size_t h = std::hash<qvReceiverBase*>{}(k.receiver);
            return h ^ (static_cast<std::size_t>(static_cast<unsigned>(k.priority)) * 2 +
                        (k.ordered ? 1u : 0u)) * 0x9e3779b97f4a7c15ull;
        }
    };
    using Index = std::unordered_multimap<Key, Pos, KeyHash>;

    enum class State { all, list, priority, single, idle };
    enum class Pending { none, remove, refile };

    List& list_of(bool ordered) noexcept { return ordered ? ordered_ : plain_; }
    bool walking() const noexcept { return state_ != State::idle; }
    bool under_cursor(Pos e, bool ordered) const noexcept;
    bool cursor_holds(qvReceiverBase* r, int priority, bool ordered) const noexcept;
    Pos first_filing(qvReceiverBase* r, int priority, bool ordered) noexcept;
    Pos first_filing_by_walk(qvReceiverBase* r, int priority, bool ordered) noexcept;
    void index(Pos e, bool ordered);
    void unindex(Pos e, bool ordered) noexcept;
    void erase(Pos e, bool ordered) noexcept;

    bool stand(bool ordered, Pos e, State state) noexcept;
    void settle() noexcept;
    void apply_pending(Pos e, bool ordered) noexcept;
    void refile(Pos e, bool from_ordered, int priority, bool to_ordered) noexcept;
    void place(List& to, List& from, Pos e, Pos search_from) noexcept;

    List ordered_;
    List plain_;
    Index index_;
    // The cursor.
    bool current_ordered_ = true;
    Pos current_{};
    State state_ = State::idle;
    Pending pending_ = Pending::none;
    int refile_priority_ = 0;
    bool refile_target_ = true;
};
