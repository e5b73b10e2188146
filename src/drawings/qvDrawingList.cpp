// The drawing list. Entries are a std::deque: adding at either end is cheap,
// a walk reads them in sequence, and a move is a rotation of the entries
// between the old and the new place (finding the drawing costs as much
// already). Iterators are valid only while the list is unchanged. Each operation
// finds everything it needs (the drawing's entry, the reference's entry,
// the placement) before it changes anything: a refused operation leaves
// entries, counts and hosts untouched.

#include <orvane/drawings/qvDrawingList.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include <algorithm>
#include <iterator>

namespace {

[[noreturn]] void raise_drawing_list_error(char const* message) {
    qvRaise(qvErrorFrom<qvDrawingList>(message));
}

// Strict on all four sides: touching does not meet, NaN meets nothing.
bool drawing_meets_area(qvDrawing* d, qvMathRectOf<double> const& area, qvRestrictedTransformation const* rt) {
    const qvMathRectOf<double> b = d->bbox(rt);
    return area.x2 > b.x1 && b.x2 > area.x1 && area.y2 > b.y1 && b.y2 > area.y1;
}

// Puts the entry at `own` just before the one at `at` (the end when `at` is
// the end); the other entries keep their order.
void drawing_move_before(qvDrawingList::Entries::iterator own, qvDrawingList::Entries::iterator at) {
    if (own < at)
        std::rotate(own, std::next(own), at);
    else if (at < own)
        std::rotate(at, own, std::next(own));
}

// Where a walk over the entries starts and where it stops, either way.
template <bool Backward>
auto drawing_walk_first(qvDrawingList::Entries& entries) {
    if constexpr (Backward)
        return entries.rbegin();
    else
        return entries.begin();
}
template <bool Backward>
auto drawing_walk_stop(qvDrawingList::Entries& entries) {
    if constexpr (Backward)
        return entries.rend();
    else
        return entries.end();
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and copies

qvDrawingList::qvDrawingList(bool auto_delete) : qvDrawingContainer(auto_delete) {}

qvDrawingList::qvDrawingList(qvDrawingList const& other)
    : qvDrawingContainer(other), entries_(other.entries_) {
    for (qvDrawing* d : entries_)
        add_ref(d);
}

// The new entries are counted before the old ones are let go, so a
// drawing in both lists survives the assignment.
qvDrawingList& qvDrawingList::operator=(qvDrawingList const& other) {
    if (this == &other)
        return *this;
    Entries copy(other.entries_);
    const bool owned_old = auto_delete();
    Entries old;
    old.swap(entries_);
    entries_.swap(copy);
    qvDrawingContainer::operator=(other);
    for (qvDrawing* d : entries_)
        add_ref(d);
    if (owned_old)
        for (qvDrawing* d : old)
            if (d->dec() == 0)
                delete d;
    return *this;
}

qvDrawingList::~qvDrawingList() {
    for (qvDrawing* d : entries_)
        release_ref(d);
}

void* qvDrawingList::query_interface(qvInterfaceInfo const& info) {
    if (void* p = qvOfferInterfaces<qvDrawingContainer>(this, info))
        return p;
    return qvDrawingContainer::query_interface(info);
}

// ---------------------------------------------------------------------------
// Insertion and removal

qvDrawingList::Entries::iterator qvDrawingList::find(qvDrawing* d) {
    return std::find(entries_.begin(), entries_.end(), d);
}

void qvDrawingList::add(qvDrawing* d, qvOrder order) {
    if (d == nullptr)
        return;
    if (order == qvOrderLast)
        entries_.push_back(d);
    else if (order == qvOrderFirst)
        entries_.push_front(d);
    else
        raise_drawing_list_error("Reference drawing must be specified for this placement");
    add_ref(d);
    on_drawing_added(d);
}

void qvDrawingList::add(qvDrawing* d, qvOrder order, qvDrawing* reference) {
    if (d == nullptr)
        return;
    if (order == qvOrderLast || order == qvOrderFirst || reference == nullptr) {
        add(d, order);
        return;
    }
    const Entries::iterator at = find(reference);
    if (at == entries_.end())
        raise_drawing_list_error("Reference drawing not in a list");
    if (order == qvOrderBefore || order == qvOrderBeforeToo)
        entries_.insert(at, d);
    else if (order == qvOrderAfter)
        entries_.insert(std::next(at), d);
    else
        raise_drawing_list_error("Placement not supported");
    add_ref(d);
    on_drawing_added(d);
}

void qvDrawingList::remove(qvDrawing* d) {
    if (d == nullptr)
        return;
    const Entries::iterator at = find(d);
    if (at == entries_.end())
        return;
    entries_.erase(at);
    on_drawing_removed(d);
    release_ref(d);
}

// The hooks run while the list still holds every entry; a drawing is
// released only after its hook, and no entry is read after its release.
void qvDrawingList::clear() {
    for (qvDrawing* d : entries_) {
        on_drawing_removed(d);
        release_ref(d);
    }
    entries_.clear();
}

// ---------------------------------------------------------------------------
// Order

void qvDrawingList::change_order(qvDrawing* d, qvOrder order, qvDrawing* reference) {
    if (d == nullptr || d == reference)
        return;
    const Entries::iterator own = find(d);
    if (own == entries_.end())
        raise_drawing_list_error("Drawing not in a list");
    if (order == qvOrderLast) {
        if (std::next(own) == entries_.end())
            return;
        drawing_move_before(own, entries_.end());
    } else if (order == qvOrderFirst) {
        if (own == entries_.begin())
            return;
        drawing_move_before(own, entries_.begin());
    } else {
        if (reference == nullptr)
            raise_drawing_list_error("Reference drawing not specified");
        const Entries::iterator at = find(reference);
        if (at == entries_.end())
            raise_drawing_list_error("Reference drawing not in a list");
        if (order == qvOrderAfter) {
            if (std::next(at) == own)
                return;
            drawing_move_before(own, std::next(at));
        } else if (order == qvOrderBefore || order == qvOrderBeforeToo) {
            if (at != entries_.begin() && std::prev(at) == own)
                return;
            drawing_move_before(own, at);
        } else {
            raise_drawing_list_error("Placement not supported");
        }
    }
    on_drawing_order_changed(d);
}

// ---------------------------------------------------------------------------
// Queries

bool qvDrawingList::contains(qvDrawing* d) const {
    QV_ASSERT_TEXT(d != nullptr, "drawing");
    return std::find(entries_.begin(), entries_.end(), d) != entries_.end();
}

int qvDrawingList::size() const { return static_cast<int>(entries_.size()); }

qvIndirectIterator<qvDrawing> qvDrawingList::enumerate() {
    return qvIndirectIterator<qvDrawing>(new SimpleDrawingIterator(entries_));
}

qvIndirectIterator<qvDrawing> qvDrawingList::query(qvMathRectOf<double> const& area,
                                                   qvRestrictedTransformation const* rt, bool reverse) {
    if (reverse)
        return qvIndirectIterator<qvDrawing>(new BwdDrawingIterator(entries_, area, rt));
    return qvIndirectIterator<qvDrawing>(new FwdDrawingIterator(entries_, area, rt));
}

void qvDrawingList::on_drawing_added(qvDrawing*) {}
void qvDrawingList::on_drawing_removed(qvDrawing*) {}
void qvDrawingList::on_drawing_order_changed(qvDrawing*) {}

// ---------------------------------------------------------------------------
// Iterators

qvDrawingList::SimpleDrawingIterator::SimpleDrawingIterator(Entries& entries)
    : entries_(&entries), at_(entries.begin()) {}
qvDrawing* qvDrawingList::SimpleDrawingIterator::get() { return at_ == entries_->end() ? nullptr : *at_; }
void qvDrawingList::SimpleDrawingIterator::next() {
    if (at_ != entries_->end())
        ++at_;
}
bool qvDrawingList::SimpleDrawingIterator::at_end() const { return at_ == entries_->end(); }

template <bool Backward>
qvDrawingList::AreaDrawingIterator<Backward>::AreaDrawingIterator(Entries& entries, qvMathRectOf<double> const& area,
                                                                  qvRestrictedTransformation const* rt)
    : entries_(&entries), at_(drawing_walk_first<Backward>(entries)), area_(area), rt_(rt) {
    skip();
}
// Each test reads a drawing the walk has not touched yet; asking the memory
// for the drawings a few entries ahead hides that wait on long lists.
template <bool Backward>
void qvDrawingList::AreaDrawingIterator<Backward>::skip() {
    constexpr std::ptrdiff_t ahead = 16;
    const Position stop = drawing_walk_stop<Backward>(*entries_);
    for (; at_ != stop; ++at_) {
        if (stop - at_ > ahead) {   // a drawing's fields may reach into its second cache line
            char const* const soon = reinterpret_cast<char const*>(at_[ahead]);
            __builtin_prefetch(soon);
            __builtin_prefetch(soon + 64);
        }
        if (drawing_meets_area(*at_, area_, rt_))
            return;
    }
}
template <bool Backward>
qvDrawing* qvDrawingList::AreaDrawingIterator<Backward>::get() {
    return at_ == drawing_walk_stop<Backward>(*entries_) ? nullptr : *at_;
}
template <bool Backward>
void qvDrawingList::AreaDrawingIterator<Backward>::next() {
    if (at_ == drawing_walk_stop<Backward>(*entries_))
        return;
    ++at_;
    skip();
}
template <bool Backward>
bool qvDrawingList::AreaDrawingIterator<Backward>::at_end() const {
    return at_ == drawing_walk_stop<Backward>(*entries_);
}

template class qvDrawingList::AreaDrawingIterator<false>;
template class qvDrawingList::AreaDrawingIterator<true>;
