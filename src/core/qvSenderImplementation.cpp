// The receiver lists of a sender and the cursor that walks them.

#include "core/qvSenderImplementation.hpp"

#include <utility>

qvSenderImpl* qvSenderImpl::create() { return new qvSenderImplementation; }

// --- the walk held by an iterator -----------------------------------------------

qvSenderWalk::qvSenderWalk(qvSenderImpl& impl) noexcept : impl_(&impl), walking_(false) {
    impl_->hold();
    walking_ = impl_->begin(true);
}

qvSenderWalk::~qvSenderWalk() {
    impl_->end();
    impl_->release();
}

// --- cursor helpers -----------------------------------------------------------------

bool qvSenderImplementation::under_cursor(Pos e, bool ordered) const noexcept {
    return walking() && current_ordered_ == ordered && current_ == e;
}

// Whether the entry under the cursor is, once its pending action is applied,
// the filing (r, p) of the named list. An entry about to be removed holds
// nothing; one about to be re-filed holds its new place.
bool qvSenderImplementation::cursor_holds(qvReceiverBase* r, int priority,
                                          bool ordered) const noexcept {
    if (!walking() || pending_ == Pending::remove || current_->receiver != r)
        return false;
    if (pending_ == Pending::refile)
        return refile_target_ == ordered && refile_priority_ == priority;
    return current_ordered_ == ordered && current_->priority == priority;
}

// The first filing (r, p) of the named list that the cursor does not stand on.
// The index names the filings; only a receiver filed twice under the same
// priority (which the library never does) needs the list to tell which
// comes first.
qvSenderImplementation::Pos qvSenderImplementation::first_filing(qvReceiverBase* r, int priority,
                                                                 bool ordered) noexcept {
    const auto [from, to] = index_.equal_range(Key{r, priority, ordered});
    Pos found = list_of(ordered).end();
    for (auto it = from; it != to; ++it) {
        if (under_cursor(it->second, ordered))
            continue;
        if (found != list_of(ordered).end())
            return first_filing_by_walk(r, priority, ordered);
        found = it->second;
    }
    return found;
}

qvSenderImplementation::Pos qvSenderImplementation::first_filing_by_walk(qvReceiverBase* r,
                                                                         int priority,
                                                                         bool ordered) noexcept {
    List& l = list_of(ordered);
    for (Pos e = l.begin(); e != l.end(); ++e)
        if (e->receiver == r && e->priority == priority && !under_cursor(e, ordered))
            return e;
    return l.end();
}

// The index changes only here (and in clear and refile), beside the lists.
void qvSenderImplementation::index(Pos e, bool ordered) {
    index_.emplace(Key{e->receiver, e->priority, ordered}, e);
}

void qvSenderImplementation::unindex(Pos e, bool ordered) noexcept {
    const auto [from, to] = index_.equal_range(Key{e->receiver, e->priority, ordered});
    for (auto it = from; it != to; ++it)
        if (it->second == e) {
            index_.erase(it);
            return;
        }
}

void qvSenderImplementation::erase(Pos e, bool ordered) noexcept {
    unindex(e, ordered);
    list_of(ordered).erase(e);
}

bool qvSenderImplementation::stand(bool ordered, Pos e, State state) noexcept {
    current_ordered_ = ordered;
    current_ = e;
    state_ = state;
    return true;
}

// Ends any walk: its pending action is applied, never dropped, so a removed
// receiver is never left listed and a moved one never left in the old list.
void qvSenderImplementation::settle() noexcept {
    if (!walking())
        return;
    state_ = State::idle;
    apply_pending(current_, current_ordered_);
}

void qvSenderImplementation::apply_pending(Pos e, bool ordered) noexcept {
    const Pending action = pending_;
    pending_ = Pending::none;
    if (action == Pending::remove)
        erase(e, ordered);
    else if (action == Pending::refile)
        refile(e, ordered, refile_priority_, refile_target_);
}

// Moves e from `from` into `to`, before the first other entry whose priority
// is not above e's (the end when none), searching from search_from.
void qvSenderImplementation::place(List& to, List& from, Pos e, Pos search_from) noexcept {
    Pos at = search_from;
    while (at != to.end() && (at == e || at->priority > e->priority))
        ++at;
    to.splice(at, from, e);
}

// Re-keys e's index node in place: the index keeps its size, so this never
// allocates and never rehashes.
void qvSenderImplementation::refile(Pos e, bool from_ordered, int priority,
                                    bool to_ordered) noexcept {
    List& from = list_of(from_ordered);
    List& to = list_of(to_ordered);
    const bool within = from_ordered == to_ordered;
    if (within && e->priority == priority)
        return;
    const auto [first, last] = index_.equal_range(Key{e->receiver, e->priority, from_ordered});
    auto node_at = first;
    while (node_at != last && node_at->second != e)
        ++node_at;
    auto node = index_.extract(node_at);
    node.key() = Key{e->receiver, priority, to_ordered};
    index_.insert(std::move(node));

    const int old_priority = e->priority;
    e->priority = priority;
    if (!within && !to_ordered) {
        plain_.splice(plain_.begin(), from, e);
        return;
    }
    // A lower priority can only move e towards the end, so the search starts
    // behind e: e itself is never the landmark. The plain list is re-filed
    // by the same rule, though nothing else keeps it sorted.
    place(to, from, e, within && priority < old_priority ? std::next(e) : to.begin());
}

// --- filing -------------------------------------------------------------------------

void qvSenderImplementation::insert(qvReceiverBase* r, int priority, bool ordered) {
    List& l = list_of(ordered);
    Pos at = l.begin();
    while (ordered && at != l.end() && at->priority > priority)
        ++at;
    const Pos e = l.insert(at, Entry{r, priority});
    try {
        index(e, ordered);
    } catch (...) {
        l.erase(e);
        throw;
    }
}

void qvSenderImplementation::clear() {
    state_ = State::idle;
    pending_ = Pending::none;
    index_.clear();
    ordered_.clear();
    plain_.clear();
}

void qvSenderImplementation::remove(qvReceiverBase* r, int priority, bool ordered) {
    if (cursor_holds(r, priority, ordered)) {
        pending_ = Pending::remove;
        return;
    }
    const Pos e = first_filing(r, priority, ordered);
    if (e != list_of(ordered).end())
        erase(e, ordered);
}

bool qvSenderImplementation::empty(bool ordered) const {
    return ordered ? ordered_.empty() : plain_.empty();
}

void qvSenderImplementation::toggle_list(qvReceiverBase* r, int priority, bool ordered) {
    if (cursor_holds(r, priority, ordered)) {
        toggle_list();
        return;
    }
    const Pos e = first_filing(r, priority, ordered);
    if (e != list_of(ordered).end())
        refile(e, ordered, priority, !ordered);
}

// --- walking ------------------------------------------------------------------------

bool qvSenderImplementation::find(qvReceiverBase* r, int priority, bool ordered) {
    settle();
    List& l = list_of(ordered);
    for (Pos e = l.begin(); e != l.end(); ++e) {
        if (ordered && e->priority < priority)
            break;
        if (e->receiver == r && e->priority == priority)
            return stand(ordered, e, State::single);
    }
    return false;
}

bool qvSenderImplementation::begin() {
    settle();
    if (!ordered_.empty())
        return stand(true, ordered_.begin(), State::all);
    if (!plain_.empty())
        return stand(false, plain_.begin(), State::all);
    return false;
}

bool qvSenderImplementation::begin(bool ordered) {
    settle();
    List& l = list_of(ordered);
    return !l.empty() && stand(ordered, l.begin(), State::list);
}

bool qvSenderImplementation::begin(int priority, bool ordered) {
    settle();
    List& l = list_of(ordered);
    for (Pos e = l.begin(); e != l.end() && e->priority >= priority; ++e)
        if (e->priority == priority)
            return stand(ordered, e, State::priority);
    return false;
}

// The cursor steps before the old entry's pending action is applied, so it
// never stands on a freed entry; a re-file ahead of the cursor is visited
// again in the same walk.
bool qvSenderImplementation::next() {
    if (!walking())
        return false;
    const Pos old = current_;
    const bool old_ordered = current_ordered_;
    const List& l = list_of(old_ordered);
    switch (state_) {
    case State::all:
        if (++current_ != l.end())
            break;
        if (old_ordered && !plain_.empty())
            stand(false, plain_.begin(), State::all);
        else
            state_ = State::idle;
        break;
    case State::list:
        if (++current_ == l.end())
            state_ = State::idle;
        break;
    case State::priority:
        if (++current_ == l.end() || current_->priority != old->priority)
            state_ = State::idle;
        break;
    case State::single:
    case State::idle:
        state_ = State::idle;
        break;
    }
    apply_pending(old, old_ordered);
    return walking();
}

void qvSenderImplementation::end() { settle(); }

// --- the entry under the cursor -------------------------------------------------------

qvReceiverBase* qvSenderImplementation::receiver() const {
    return walking() ? current_->receiver : nullptr;
}

int qvSenderImplementation::priority() const { return walking() ? current_->priority : 0; }

bool qvSenderImplementation::ordered() const { return walking() && current_ordered_; }

void qvSenderImplementation::priority(int p) {
    if (!walking() || pending_ == Pending::remove)
        return;
    if (pending_ == Pending::none)
        refile_target_ = current_ordered_;
    refile_priority_ = p;
    pending_ = Pending::refile;
}

void qvSenderImplementation::toggle_list() {
    if (!walking() || pending_ == Pending::remove)
        return;
    if (pending_ == Pending::none) {
        refile_priority_ = current_->priority;
        refile_target_ = current_ordered_;
    }
    refile_target_ = !refile_target_;
    pending_ = Pending::refile;
}
