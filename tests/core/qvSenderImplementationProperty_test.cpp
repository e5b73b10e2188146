// The indexed receiver lists of a sender against the plain lists they
// replaced: every removal and re-file of the model searches its list from
// the front, which is slow but obviously right. Random mixes of filing,
// removal, walks, deferred actions and re-files must give the same answers
// and leave the same lists.

#include "core/qvSenderImplementation.hpp"

#include <orvane/core/qvReceiverBase.hpp>

#include <gtest/gtest.h>

#include <iterator>
#include <list>
#include <memory>
#include <random>
#include <string>

namespace {

// The old bookkeeping: two lists and one cursor, every lookup a walk.
class LinearSenderModel {
public:
    void insert(qvReceiverBase* r, int p, bool ordered) {
        List& l = of(ordered);
        auto at = l.begin();
        while (ordered && at != l.end() && at->p > p) ++at;
        l.insert(at, Entry{r, p});
    }
    void clear() {
        state_ = State::idle;
        pending_ = Pending::none;
        ordered_.clear();
        plain_.clear();
    }
    void remove(qvReceiverBase* r, int p, bool ordered) {
        if (holds(r, p, ordered)) {
            pending_ = Pending::remove;
            return;
        }
        const auto e = first(r, p, ordered);
        if (e != of(ordered).end()) of(ordered).erase(e);
    }
    void toggle_list(qvReceiverBase* r, int p, bool ordered) {
        if (holds(r, p, ordered)) return toggle_list();
        const auto e = first(r, p, ordered);
        if (e != of(ordered).end()) refile(e, ordered, p, !ordered);
    }
    bool find(qvReceiverBase* r, int p, bool ordered) {
        settle();
        List& l = of(ordered);
        for (auto e = l.begin(); e != l.end(); ++e) {
            if (ordered && e->p < p) break;
            if (e->r == r && e->p == p) return stand(ordered, e, State::single);
        }
        return false;
    }
    bool begin() {
        settle();
        if (!ordered_.empty()) return stand(true, ordered_.begin(), State::all);
        return !plain_.empty() && stand(false, plain_.begin(), State::all);
    }
    bool begin(bool ordered) {
        settle();
        return !of(ordered).empty() && stand(ordered, of(ordered).begin(), State::list);
    }
    bool begin(int p, bool ordered) {
        settle();
        for (auto e = of(ordered).begin(); e != of(ordered).end() && e->p >= p; ++e)
            if (e->p == p) return stand(ordered, e, State::priority);
        return false;
    }
    bool next() {
        if (state_ == State::idle) return false;
        const auto old = cur_;
        const bool old_ordered = cur_ordered_;
        const List& l = of(old_ordered);
        if (state_ == State::single) {
            state_ = State::idle;
        } else if (++cur_ == l.end() || (state_ == State::priority && cur_->p != old->p)) {
            if (state_ == State::all && old_ordered && !plain_.empty() && cur_ == l.end())
                stand(false, plain_.begin(), State::all);
            else
                state_ = State::idle;
        }
        apply(old, old_ordered);
        return state_ != State::idle;
    }
    void end() { settle(); }
    qvReceiverBase* receiver() const { return state_ != State::idle ? cur_->r : nullptr; }
    int priority() const { return state_ != State::idle ? cur_->p : 0; }
    bool ordered() const { return state_ != State::idle && cur_ordered_; }
    void priority(int p) {
        if (state_ == State::idle || pending_ == Pending::remove) return;
        if (pending_ == Pending::none) target_ = cur_ordered_;
        refile_p_ = p;
        pending_ = Pending::refile;
    }
    void toggle_list() {
        if (state_ == State::idle || pending_ == Pending::remove) return;
        if (pending_ == Pending::none) {
            refile_p_ = cur_->p;
            target_ = cur_ordered_;
        }
        target_ = !target_;
        pending_ = Pending::refile;
    }

private:
    struct Entry {
        qvReceiverBase* r;
        int p;
    };
    using List = std::list<Entry>;
    enum class State { all, list, priority, single, idle };
    enum class Pending { none, remove, refile };

    List& of(bool ordered) { return ordered ? ordered_ : plain_; }
    bool on(List::iterator e, bool ordered) const {
        return state_ != State::idle && cur_ordered_ == ordered && cur_ == e;
    }
    bool holds(qvReceiverBase* r, int p, bool ordered) const {
        if (state_ == State::idle || pending_ == Pending::remove || cur_->r != r) return false;
        if (pending_ == Pending::refile) return target_ == ordered && refile_p_ == p;
        return cur_ordered_ == ordered && cur_->p == p;
    }
    List::iterator first(qvReceiverBase* r, int p, bool ordered) {
        for (auto e = of(ordered).begin(); e != of(ordered).end(); ++e)
            if (e->r == r && e->p == p && !on(e, ordered)) return e;
        return of(ordered).end();
    }
    bool stand(bool ordered, List::iterator e, State s) {
        cur_ordered_ = ordered;
        cur_ = e;
        state_ = s;
        return true;
    }
    void settle() {
        if (state_ == State::idle) return;
        state_ = State::idle;
        apply(cur_, cur_ordered_);
    }
    void apply(List::iterator e, bool ordered) {
        const Pending action = pending_;
        pending_ = Pending::none;
        if (action == Pending::remove) of(ordered).erase(e);
        if (action == Pending::refile) refile(e, ordered, refile_p_, target_);
    }
    void refile(List::iterator e, bool from_ordered, int p, bool to_ordered) {
        List& from = of(from_ordered);
        List& to = of(to_ordered);
        const bool within = from_ordered == to_ordered;
        if (within && e->p == p) return;
        const int old = e->p;
        e->p = p;
        if (!within && !to_ordered) return plain_.splice(plain_.begin(), from, e);
        auto at = within && p < old ? std::next(e) : to.begin();
        while (at != to.end() && (at == e || at->p > e->p)) ++at;
        to.splice(at, from, e);
    }

    List ordered_, plain_;
    bool cur_ordered_ = true;
    List::iterator cur_{};
    State state_ = State::idle;
    Pending pending_ = Pending::none;
    int refile_p_ = 0;
    bool target_ = true;
};

std::string walk_of(qvSenderImpl& impl, qvReceiverBase const* base) {
    std::string seen;
    for (bool more = impl.begin(); more; more = impl.next())
        seen += std::to_string(impl.receiver() - base) + ":" + std::to_string(impl.priority()) +
                (impl.ordered() ? "o " : "p ");
    return seen;
}

std::string walk_of(LinearSenderModel& model, qvReceiverBase const* base) {
    std::string seen;
    for (bool more = model.begin(); more; more = model.next())
        seen += std::to_string(model.receiver() - base) + ":" + std::to_string(model.priority()) +
                (model.ordered() ? "o " : "p ");
    return seen;
}

TEST(qvSenderImplementationProperty, Indexed_lists_answer_as_the_linear_lists_did) {
    std::unique_ptr<qvSenderImpl, void (*)(qvSenderImpl*)> impl{qvSenderImpl::create(),
                                                                 [](qvSenderImpl* p) { p->orphan(); }};
    qvReceiverBase r[5];
    std::mt19937 rng(20261207);
    for (int round = 0; round < 400; ++round) {
        LinearSenderModel model;
        impl->clear();
        for (int step = 0; step < 60; ++step) {
            qvReceiverBase* const who = &r[rng() % 5];
            // Few priorities, so the same filing recurs and duplicates occur.
            const int p = static_cast<int>(rng() % 4) - 1;
            const bool ordered = rng() % 3 != 0;
            switch (rng() % 12) {
            case 0: case 1: case 2:
                impl->insert(who, p, ordered), model.insert(who, p, ordered);
                break;
            case 3: case 4:
                impl->remove(who, p, ordered), model.remove(who, p, ordered);
                break;
            case 5:
                ASSERT_EQ(impl->find(who, p, ordered), model.find(who, p, ordered)) << round;
                break;
            case 6:
                ASSERT_EQ(impl->begin(ordered), model.begin(ordered)) << round;
                break;
            case 7:
                ASSERT_EQ(impl->begin(p, ordered), model.begin(p, ordered)) << round;
                break;
            case 8:
                ASSERT_EQ(impl->next(), model.next()) << round;
                break;
            case 9:
                impl->priority(p), model.priority(p);
                break;
            case 10:
                impl->toggle_list(), model.toggle_list();
                break;
            default:
                impl->toggle_list(who, p, ordered), model.toggle_list(who, p, ordered);
                break;
            }
            ASSERT_EQ(impl->receiver(), model.receiver()) << "round " << round << " step " << step;
            ASSERT_EQ(impl->priority(), model.priority()) << "round " << round << " step " << step;
            ASSERT_EQ(impl->ordered(), model.ordered()) << "round " << round << " step " << step;
        }
        ASSERT_EQ(walk_of(*impl, r), walk_of(model, r)) << "round " << round;
    }
}

}  // namespace
