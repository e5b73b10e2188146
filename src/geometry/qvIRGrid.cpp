// qvIRGrid and qvIRStrip: the banded storage of grid regions.
//
// Every grid operation is one sweep upwards over the keys of both operands
// inside the other operand's y range (a rectangle is a grid of one band).
// At each key the result's strip is the strip operation of the two strips
// that cover it, and a row is written only where that strip differs from
// the one below; the area below and above both grids counts as an empty
// strip. That one rule gives the canonical form by itself: no leading or
// trailing empty rows, no equal neighbours, never a single row. Since a set
// of cells has exactly one canonical form, the result is the one that
// applying the operation band by band would give.
//
// The sweep writes the rows it makes into a segment. Rows below and above
// the other operand's range stay as they are: a segment covering a few rows
// is spliced in (its intervals appended to the pool), one covering most of
// the grid becomes the new storage with the rest copied around it.
//
// The strip operations with a single interval are binary searches and
// copies; those with a whole strip are linear merges whose output is
// canonical because both inputs are. Ties between equal values keep the
// value this operand stored, so the sign of a stored zero stays.
//
// A plain move (shift) runs once over the keys and once over the pool, in
// place, and undoes each addition to learn whether rounding made two
// values one; only then does a second pass restore the canonical form.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvIRGrid.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <iostream>
#include <iterator>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

using Intervals = qvIRStrip::Intervals;
using Span = std::span<qvIRInterval const>;
using Rect = qvMathRectOf<double>;

// Freed pool space is reclaimed once it exceeds both this and the live part.
constexpr std::size_t kReclaimAbove = 1024;
// Grids of fewer rows are always patched in place.
constexpr std::size_t kRebuildFrom = 64;
// Up to this many edges at one key enter a union's open list one at a time;
// more are sorted and merged into it in one copy.
constexpr std::ptrdiff_t kOneAtATime = 8;

double lower_of(double stored, double given) { return given < stored ? given : stored; }
double higher_of(double stored, double given) { return given > stored ? given : stored; }

// A rectangle holds area only when both extents are positive; this is false
// for inverted rectangles, zero extents and NaN coordinates alike.
bool has_area(Rect const& r) { return r.x1 < r.x2 && r.y1 < r.y2; }

// Equal strips, compared exactly. Equal bytes settle it: at memory speed
// for long strips, inline for short ones, where a call would cost more.
// Strips whose bytes differ can still be equal where one stores -0 and the
// other +0; a strip holds -0 only if its first start has the sign bit set
// (every later value is greater), so only then is it compared by value.
bool same(Span a, Span b) {
    if (a.size() != b.size()) return false;
    constexpr std::size_t short_strip = 8;
    const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
    bool same_bytes = true;
    if (a.size() > short_strip) {
        same_bytes = std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
    } else {
        for (std::size_t i = 0; i < a.size() && same_bytes; ++i)
            same_bytes = bits(a[i].start) == bits(b[i].start) && bits(a[i].end) == bits(b[i].end);
    }
    if (same_bytes) return true;
    if (!std::signbit(a.front().start) && !std::signbit(b.front().start)) return false;
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// Intervals are sorted by start and, being disjoint, by end as well, so each
// of these is a binary search.
Span::iterator first_ending_at_or_after(Span::iterator from, Span::iterator to, double x) {
    return std::partition_point(from, to, [x](qvIRInterval const& iv) { return iv.end < x; });
}
Span::iterator first_ending_after(Span::iterator from, Span::iterator to, double x) {
    return std::partition_point(from, to, [x](qvIRInterval const& iv) { return iv.end <= x; });
}
Span::iterator first_starting_after(Span::iterator from, Span::iterator to, double x) {
    return std::partition_point(from, to, [x](qvIRInterval const& iv) { return iv.start <= x; });
}
Span::iterator first_starting_at_or_after(Span::iterator from, Span::iterator to, double x) {
    return std::partition_point(from, to, [x](qvIRInterval const& iv) { return iv.start < x; });
}

// --- strip operations, each writing its result at `out` -----------------------------
// `out` must have room for a.size() + b.size() + 1 intervals and must not
// overlap a or b; each returns the end of what it kept. The merges also
// write candidates they do not keep, always within that room.

using Out = qvIRInterval*;

Out copy_to(Span s, Out out) { return std::copy(s.begin(), s.end(), out); }

Out write_union(Span a, qvIRInterval iv, Out out) {
    if (!(iv.start < iv.end)) return copy_to(a, out);
    const auto i = first_ending_at_or_after(a.begin(), a.end(), iv.start);   // touching merges too
    const auto j = first_starting_after(i, a.end(), iv.end);
    out = std::copy(a.begin(), i, out);
    *out++ = i == j ? iv : qvIRInterval{lower_of(i->start, iv.start), higher_of(std::prev(j)->end, iv.end)};
    return std::copy(j, a.end(), out);
}

Out write_difference(Span a, qvIRInterval iv, Out out) {
    if (!(iv.start < iv.end)) return copy_to(a, out);
    const auto i = first_ending_after(a.begin(), a.end(), iv.start);
    const auto j = first_starting_at_or_after(i, a.end(), iv.end);
    out = std::copy(a.begin(), i, out);
    if (i != j) {
        // [i, j) overlap (x1, x2); what survives is a head of *i and a tail of *(j-1).
        if (i->start < iv.start) *out++ = {i->start, iv.start};
        if (iv.end < std::prev(j)->end) *out++ = {iv.end, std::prev(j)->end};
    }
    return std::copy(j, a.end(), out);
}

Out write_intersection(Span a, qvIRInterval iv, Out out) {
    if (!(iv.start < iv.end)) return out;
    const auto i = first_ending_after(a.begin(), a.end(), iv.start);
    const auto j = first_starting_at_or_after(i, a.end(), iv.end);
    if (i == j) return out;
    // Only the outermost survivors can reach past [x1, x2].
    Out const first = out;
    out = std::copy(i, j, out);
    first->start = higher_of(first->start, iv.start);
    std::prev(out)->end = lower_of(std::prev(out)->end, iv.end);
    return out;
}

// The merges of two whole strips walk both in step, so each step waits on
// the comparison of the last: they are chains of comparisons, and their
// speed is the speed of one comparison. A floating comparison waits on the
// slower floating load and takes longer itself, while doubles whose sign
// bit is clear (+0 up to +inf) order exactly as their bit patterns read as
// signed integers do. So the merges compare through an order: by value in
// general, by bits when neither strip holds a value with the sign bit set,
// which a look at each strip's first start tells (every later value is
// greater). Both orders give the same result; values written are copied,
// never converted. Keys are read straight from memory, the bits by an
// integer load.
struct ByValue {
    static double key(double const& v) noexcept { return v; }
    static double value(double k) noexcept { return k; }
};
struct ByBits {
    static std::int64_t key(double const& v) noexcept {
        std::int64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return bits;
    }
    static double value(std::int64_t k) noexcept { return std::bit_cast<double>(k); }
};

bool without_sign_bits(Span a, Span b) noexcept {
    return (a.empty() || !std::signbit(a.front().start)) && (b.empty() || !std::signbit(b.front().start));
}

// Intervals are taken in order of their starts (a's first on a tie, so its
// stored value stays). Which side comes next is a branch: a branch-free
// choice would put a load on every step of the chain. Whether the next
// interval joins the run under way or starts a new one is arithmetic: the
// start of a new run is written ahead, one slot on, and kept only when the
// run closes; the run's end takes the higher end either way, since an
// interval that does not join ends above the run.
template <class Order>
Out merge_union(Span a, Span b, Out out) {
    qvIRInterval const *ia = a.data(), *ib = b.data();
    qvIRInterval const *const ea = ia + a.size(), *const eb = ib + b.size();
    qvIRInterval const* const first = Order::key(ia->start) <= Order::key(ib->start) ? ia++ : ib++;
    out->start = first->start;
    auto run_end = Order::key(first->end);
    const auto take = [&](qvIRInterval const* next) {
        const auto next_end = Order::key(next->end);
        const bool joins = Order::key(next->start) <= run_end;   // overlapping or touching
        out->end = Order::value(run_end);
        out[1].start = next->start;
        out += !joins;
        run_end = next_end > run_end ? next_end : run_end;
    };
    while (ia != ea && ib != eb) take(Order::key(ia->start) <= Order::key(ib->start) ? ia++ : ib++);
    // The side that is left goes through the same step: this beats a call
    // to copy the few intervals that are usually left.
    for (; ia != ea; ++ia) take(ia);
    for (; ib != eb; ++ib) take(ib);
    out->end = Order::value(run_end);
    return out + 1;
}

// For each interval of a, the pieces between the intervals of b that cross
// it. Every candidate piece is written and kept or not by arithmetic: the
// test follows the data.
template <class Order>
Out merge_difference(Span a, Span b, Out out) {
    const auto key = [](double const& v) { return Order::key(v); };
    qvIRInterval const* ib = b.data();
    qvIRInterval const* const eb = ib + b.size();
    for (qvIRInterval const& iv : a) {
        while (ib != eb && key(ib->end) <= key(iv.start)) ++ib;
        // ib may reach into the next interval of a too, so it stays put here.
        double start = iv.start;
        for (qvIRInterval const* jb = ib; jb != eb && key(jb->start) < key(iv.end); ++jb) {
            *out = {start, jb->start};
            out += key(start) < key(jb->start);
            start = jb->end;
        }
        *out = {start, iv.end};
        out += key(start) < key(iv.end);
    }
    return out;
}

// The side that ends first goes on (both on equal ends), by arithmetic.
template <class Order>
Out merge_intersection(Span a, Span b, Out out) {
    const auto key = [](double const& v) { return Order::key(v); };
    qvIRInterval const *ia = a.data(), *ib = b.data();
    qvIRInterval const *const ea = ia + a.size(), *const eb = ib + b.size();
    while (ia != ea && ib != eb) {
        const double lo = higher_of(ia->start, ib->start), hi = lower_of(ia->end, ib->end);
        *out = {lo, hi};
        out += lo < hi;
        const auto a_end = key(ia->end), b_end = key(ib->end);
        ia += a_end <= b_end;
        ib += b_end <= a_end;
    }
    return out;
}

Out write_union(Span a, Span b, Out out) {
    if (b.size() == 1) return write_union(a, b.front(), out);
    if (a.empty() || b.empty()) return copy_to(a.empty() ? b : a, out);
    return without_sign_bits(a, b) ? merge_union<ByBits>(a, b, out) : merge_union<ByValue>(a, b, out);
}

Out write_difference(Span a, Span b, Out out) {
    if (b.size() == 1) return write_difference(a, b.front(), out);
    if (a.empty() || b.empty()) return copy_to(a, out);
    return without_sign_bits(a, b) ? merge_difference<ByBits>(a, b, out) : merge_difference<ByValue>(a, b, out);
}

Out write_intersection(Span a, Span b, Out out) {
    if (b.size() == 1) return write_intersection(a, b.front(), out);
    if (a.empty() || b.empty()) return out;
    return without_sign_bits(a, b) ? merge_intersection<ByBits>(a, b, out)
                                   : merge_intersection<ByValue>(a, b, out);
}

std::size_t size_of(qvIRInterval) { return 1; }
std::size_t size_of(Span s) { return s.size(); }

// A strip operation on a strip's own intervals.
template <class B>
void replace_with(Intervals& c, B const& b, Out (*op)(Span, B, Out)) {
    Intervals out(c.size() + size_of(b) + 1);
    out.resize(static_cast<std::size_t>(op(c, b, out.data()) - out.data()));
    c.swap(out);
}

void print_strip(std::ostream& os, Span s) {
    if (s.empty()) os << "STRIP IS EMPTY";
    for (qvIRInterval const& iv : s) os << iv.start << ':' << iv.end << ' ';
}

}  // namespace

// === qvIRStrip ===================================================================

void qvIRStrip::add(double x1, double x2) { replace_with(c, qvIRInterval{x1, x2}, write_union); }
void qvIRStrip::sub(double x1, double x2) { replace_with(c, qvIRInterval{x1, x2}, write_difference); }
void qvIRStrip::mul(double x1, double x2) { replace_with(c, qvIRInterval{x1, x2}, write_intersection); }

void qvIRStrip::add(qvIRStrip const& other) {
    if (this != &other) replace_with(c, Span(other.c), write_union);
}

void qvIRStrip::sub(qvIRStrip const& other) {
    if (this == &other)
        clear();
    else
        replace_with(c, Span(other.c), write_difference);
}

void qvIRStrip::mul(qvIRStrip const& other) {
    if (this != &other) replace_with(c, Span(other.c), write_intersection);
}

void qvIRStrip::print(std::ostream& os) const { print_strip(os, c); }

// === qvIRGrid: storage ==============================================================

// Rows index the pool with 32 bits; no grid grows beyond that. A shared
// block is left to its other owners; this pool's own copy gets the same
// headroom as growth would give, since more appends usually follow.
void qvIRGrid::Pool::grow(std::size_t n) {
    constexpr std::size_t most = std::numeric_limits<std::uint32_t>::max();
    if (n > most - size_) throw std::length_error("qvIRGrid: too many intervals");
    if (data_.use_count() > 1)
        reallocate(std::min(most, std::max(size_ + n, 2 * size_)));
    else if (capacity_ - size_ < n)
        reallocate(std::min(most, std::max(size_ + n, 2 * capacity_)));
}

void qvIRGrid::Pool::reserve(std::size_t n) {
    if (data_.use_count() > 1 || n > capacity_) reallocate(std::max(n, size_));
}

qvIRInterval* qvIRGrid::Pool::writable() {
    if (data_.use_count() > 1) reallocate(size_);
    return data_.get();
}

// The new block is left unwritten beyond the content: every interval a
// sweep keeps is written before it is counted.
void qvIRGrid::Pool::reallocate(std::size_t capacity) {
    std::shared_ptr<qvIRInterval[]> block = std::make_shared_for_overwrite<qvIRInterval[]>(capacity);
    std::copy(data(), data() + size_, block.get());
    data_ = std::move(block);
    capacity_ = capacity;
}

void qvIRGrid::Pool::append(qvIRInterval const* from, qvIRInterval const* to) noexcept {
    set_end(std::copy(from, to, end()));
}

void qvIRGrid::Pool::release() noexcept {
    data_.reset();
    size_ = capacity_ = 0;
}

void qvIRGrid::Pool::swap(Pool& other) noexcept {
    data_.swap(other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
}

// The live intervals of `rows` (rows of this grid) in row order, with the
// rows pointed at them; only the first allocation can fail, before any row
// changes.
qvIRGrid::Pool qvIRGrid::packed(std::vector<Row>& rows) const {
    Pool fresh;
    fresh.reserve(pool.size() - unused);
    for (Row& r : rows) {
        const Span s = strip(r);
        r = row_of(r.key, fresh.size(), s.size());
        fresh.append(s.data(), s.data() + s.size());
    }
    return fresh;
}

// A copy shares the other's pool until either writes to it.
qvIRGrid::qvIRGrid(qvIRGrid const& other) : c(other.c), pool(other.pool), unused(other.unused) {}

qvIRGrid::qvIRGrid(qvIRGrid&& other) noexcept
    : c(std::move(other.c)), pool(std::move(other.pool)), unused(std::exchange(other.unused, 0)) {
    other.erase();
}

qvIRGrid& qvIRGrid::operator=(qvIRGrid const& other) {
    if (&other != this) *this = qvIRGrid(other);
    return *this;
}

qvIRGrid& qvIRGrid::operator=(qvIRGrid&& other) noexcept {
    if (&other != this) {
        c = std::move(other.c);
        pool = std::move(other.pool);
        unused = std::exchange(other.unused, 0);
        other.erase();
    }
    return *this;
}

void qvIRGrid::erase() noexcept {
    c = {};
    pool.release();
    unused = 0;
}

void qvIRGrid::compact() {
    pool = packed(c);
    unused = 0;
}

// Freed space is reclaimed once it outweighs the live intervals, so the
// pool stays within about twice what the rows hold. It runs after a change
// is complete, and reclaiming is only a saving: a failed allocation leaves
// the pool as it is rather than reporting a change that was made as failed.
void qvIRGrid::reclaim_if_worth_it() noexcept {
    if (unused <= kReclaimAbove || unused <= pool.size() - unused) return;
    try {
        compact();
    } catch (std::bad_alloc const&) {
    }
}

void qvIRGrid::drop_rows(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) unused += c[i].size;
    c.erase(c.begin() + static_cast<std::ptrdiff_t>(from), c.begin() + static_cast<std::ptrdiff_t>(to));
    if (c.empty()) erase();
}

// Puts `made` (rows whose intervals were appended to the pool) in place of
// the rows [from, to). The caller has reserved room for the rows, so
// nothing here fails before the grid is whole again.
void qvIRGrid::splice_rows(std::size_t from, std::size_t to, std::vector<Row> const& made) {
    const std::size_t old_count = to - from, new_count = made.size();
    for (std::size_t i = from; i < to; ++i) unused += c[i].size;
    const auto at = c.begin() + static_cast<std::ptrdiff_t>(from);
    const auto split = made.begin() + static_cast<std::ptrdiff_t>(std::min(old_count, new_count));
    std::copy(made.begin(), split, at);
    if (new_count < old_count)
        c.erase(at + static_cast<std::ptrdiff_t>(new_count), at + static_cast<std::ptrdiff_t>(old_count));
    else
        c.insert(at + static_cast<std::ptrdiff_t>(old_count), split, made.end());
    if (c.empty())
        erase();
    else
        reclaim_if_worth_it();
}

// === qvIRGrid: the sweep ==============================================================

void qvIRGrid::apply(Op op, Bands const& other) {
    const auto other_key = [&](std::size_t j) { return other.rows[j].key; };
    const auto by_key = [](Row const& r, double y) { return r.key < y; };

    // Outside [lo, hi] the result is this grid's own area (add, sub) or
    // nothing (mul); a difference or intersection only matters where both
    // grids have rows.
    double lo = other_key(0), hi = other_key(other.count - 1);
    if (op != Op::add) {
        if (lo < c.front().key) lo = c.front().key;
        if (c.back().key < hi) hi = c.back().key;
        if (!(lo < hi)) {
            if (op == Op::mul) erase();
            return;
        }
    }
    const Row* const other_end = other.rows + other.count;
    const std::size_t i0 = static_cast<std::size_t>(std::lower_bound(c.begin(), c.end(), lo, by_key) - c.begin());
    const std::size_t i1 = static_cast<std::size_t>(
        std::upper_bound(c.begin(), c.end(), hi, [](double y, Row const& r) { return y < r.key; }) - c.begin());
    const std::size_t j0 = static_cast<std::size_t>(std::lower_bound(other.rows, other_end, lo, by_key) - other.rows);

    // A result covering most of a sizeable grid is written to fresh storage
    // with the untouched rows copied around it (one copy in all); otherwise
    // it is appended to the pool and spliced in, which reuses the pool.
    const bool keeps_outside = op != Op::mul;
    const bool rebuild = !keeps_outside || (c.size() >= kRebuildFrom && 2 * (i1 - i0) >= c.size());
    std::vector<Row> made;
    Pool fresh;
    Pool& out = rebuild ? fresh : pool;
    const auto write = [&](double key, std::size_t first) {
        made.push_back(row_of(key, first, out.size() - first));
    };
    const auto take_rows = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            out.make_room(c[i].size);
            const std::size_t first = out.size();
            const Span s = strip(c[i]);
            out.append(s.data(), s.data() + s.size());
            write(c[i].key, first);
        }
    };
    if (rebuild) {
        made.reserve(c.size() + other.count);
        fresh.reserve(pool.size() - unused);
        if (keeps_outside) take_rows(0, i0);
    }

    // The rows covering the current key: the last ones passed.
    std::ptrdiff_t a = static_cast<std::ptrdiff_t>(i0) - 1, b = static_cast<std::ptrdiff_t>(j0) - 1;
    const auto own_strip = [&](std::ptrdiff_t i) { return i < 0 ? Span{} : strip(c[static_cast<std::size_t>(i)]); };
    const auto other_strip = [&](std::ptrdiff_t j) {
        return j < 0 ? Span{} : Span{other.pool + other.rows[j].first, other.rows[j].size};
    };
    const Row below = a < 0 || !keeps_outside ? Row{0, 0, 0} : c[static_cast<std::size_t>(a)];
    const auto last_written = [&] {
        Row const& r = made.empty() ? below : made.back();
        return Span{out.data() + r.first, r.size};
    };
    // On the splice path the sweep appends to the live pool: if it fails
    // part-way, the intervals it appended go again, so the grid and its
    // count of unused space stay as they were.
    const std::size_t pool_before = pool.size();
    try {
        for (std::size_t ia = i0, ib = j0;;) {
            const bool own_next = ia < i1;
            const bool other_next = ib < other.count && !(hi < other_key(ib));
            if (!own_next && !other_next) break;
            double key;
            if (own_next && (!other_next || !(other_key(ib) < c[ia].key))) {
                key = c[ia].key;   // where both have the key, ours stays
                if (other_next && other_key(ib) == key) b = static_cast<std::ptrdiff_t>(ib++);
                a = static_cast<std::ptrdiff_t>(ia++);
            } else {
                key = other_key(ib);
                b = static_cast<std::ptrdiff_t>(ib++);
            }
            out.make_room(own_strip(a).size() + other_strip(b).size() + 1);
            const Span mine = own_strip(a), theirs = other_strip(b);   // valid until the next make_room
            const std::size_t first = out.size();
            if (op == Op::add)
                out.set_end(write_union(mine, theirs, out.end()));
            else if (op == Op::sub)
                out.set_end(write_difference(mine, theirs, out.end()));
            else
                out.set_end(write_intersection(mine, theirs, out.end()));
            if (same(Span{out.data() + first, out.size() - first}, last_written()))
                out.shrink_to(first);   // the band below goes on
            else
                write(key, first);
        }
        if (!rebuild) c.reserve(c.size() + made.size());
    } catch (...) {
        if (!rebuild) pool.shrink_to(pool_before);
        throw;
    }
    if (!rebuild) {
        splice_rows(i0, i1, made);
        return;
    }
    if (keeps_outside) take_rows(i1, c.size());
    c.swap(made);
    pool.swap(fresh);
    unused = 0;
}

// === qvIRGrid: rectangles ==========================================================

void qvIRGrid::add(Rect const& r) {
    if (!has_area(r)) return;
    const qvIRInterval iv{r.x1, r.x2};
    const Row rows[2] = {{r.y1, 0, 1}, {r.y2, 1, 0}};
    if (c.empty()) {
        std::vector<Row> first_rows(rows, rows + 2);
        Pool first_pool;
        first_pool.make_room(1);
        first_pool.append(&iv, &iv + 1);
        c.swap(first_rows);
        pool.swap(first_pool);
        unused = 0;
        return;
    }
    apply(Op::add, {rows, 2, &iv});
}

void qvIRGrid::sub(Rect const& r) {
    if (!has_area(r) || c.empty()) return;
    const qvIRInterval iv{r.x1, r.x2};
    const Row rows[2] = {{r.y1, 0, 1}, {r.y2, 1, 0}};
    apply(Op::sub, {rows, 2, &iv});
}

void qvIRGrid::mul(Rect const& r) {
    if (!has_area(r)) {
        erase();
        return;
    }
    if (c.empty()) return;
    const qvIRInterval iv{r.x1, r.x2};
    const Row rows[2] = {{r.y1, 0, 1}, {r.y2, 1, 0}};
    apply(Op::mul, {rows, 2, &iv});
}

// === qvIRGrid: grids ===============================================================

// Grids that read one block through equal rows hold one set: a block is
// never written while two pools share it. A redraw meets copies of one
// area again and again (a layer's work area cut to the buffer's clip that
// was set from the same area), where this check stands in for a sweep;
// the result is the canonical grid the sweep would have made.
bool qvIRGrid::same_storage(qvIRGrid const& other) const noexcept {
    if (pool.data() != other.pool.data() || c.size() != other.c.size()) return false;
    return std::equal(c.begin(), c.end(), other.c.begin(), [](Row const& x, Row const& y) {
        return x.first == y.first && x.size == y.size && x.key == y.key;
    });
}

void qvIRGrid::add(qvIRGrid const& other) {
    if (this == &other || other.empty() || same_storage(other)) return;
    if (empty())
        *this = other;
    else
        apply(Op::add, other.bands());
}

void qvIRGrid::sub(qvIRGrid const& other) {
    if (this == &other || (!empty() && same_storage(other))) {
        erase();
        return;
    }
    if (empty() || other.empty()) return;
    apply(Op::sub, other.bands());
}

void qvIRGrid::mul(qvIRGrid const& other) {
    if (this == &other || empty() || same_storage(other)) return;
    if (other.empty()) {
        erase();
        return;
    }
    apply(Op::mul, other.bands());
}

// === qvIRGrid: a union of many rectangles ============================================
//
// The rectangles' lower and upper edges, sorted, are the keys. Walking them
// upwards, the rectangles whose band is open are kept sorted by their left
// edge (then by their index); at each key the strip is their x-intervals
// merged in one pass (touching ones join), and a row is written only where
// that strip differs from the one below, which is the canonical form as the
// sweep of the other operations gives it: the first strip holds a rectangle,
// the last is empty.
//
// All edges of one key are taken together. A few enter the open list one at
// a time (a binary search and a shift each); more are sorted like the list
// and merged into a copy of it. Where what opens has, pair by pair, the
// x-interval of what closes (a list of strips, each starting where the last
// ends; a band whose rectangles repeat), the open intervals hold the same
// values as below, so the strip is the same and no row is written: the list
// takes the new rectangles in place of the old ones and the strip is not
// merged at all. Otherwise the strip is merged at the end of the pool and
// kept only if it makes a row. The open list is kept exactly as one
// insertion or removal at a time would keep it, so the strips, and which of
// +0 and -0 a value keeps, are those of applying the edges one by one.

namespace {

struct UnionEdge {
    double y;
    std::uint32_t id;   // the rectangle's index
};

struct UnionOpen {
    double x1;
    double x2;
    std::uint32_t id;
    bool operator<(UnionOpen const& o) const noexcept { return x1 < o.x1 || (x1 == o.x1 && id < o.id); }
};

using OpenList = std::vector<UnionOpen>;

// The first of [from, from + n) for which `before` is false, `before` being
// true on a prefix. The places looked up are random, so the halving picks
// its next range with a select, which the compiler can make without a jump.
template <class T, class Before>
T* first_not_before(T* from, std::size_t n, Before before) {
    if (n == 0) return from;
    while (n > 1) {
        const std::size_t half = n / 2;
        from = before(from[half]) ? from + half : from;
        n -= half;
    }
    return from + (before(*from) ? 1 : 0);
}

OpenList::iterator place_in(OpenList& open, UnionOpen const& o) {
    UnionOpen* const at = first_not_before(open.data(), open.size(), [&o](UnionOpen const& e) { return e < o; });
    return open.begin() + (at - open.data());
}

// Pair by pair the same x-intervals, by value.
bool same_intervals(OpenList const& a, OpenList const& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!(a[i].x1 == b[i].x1) || !(a[i].x2 == b[i].x2)) return false;
    return true;
}

// One rectangle in place of another of the same x-interval: only the
// entries between their two places move. Strips arrive in order, so the
// ends are tried first.
void replace_open(OpenList& open, UnionOpen const& closing, UnionOpen const& opening) {
    const auto from = open.back().id == closing.id ? std::prev(open.end()) : place_in(open, closing);
    const auto to = opening < open.front() ? open.begin() : place_in(open, opening);
    if (to <= from) {
        std::move_backward(to, from, std::next(from));
        *to = opening;
    } else {
        std::move(std::next(from), to, from);
        *std::prev(to) = opening;
    }
}

// Writes `open` without `closing` and with `opening` (both sorted as `open`
// is, the closing ones all in it) to `next`, copying the stretches between
// them.
void next_open(OpenList const& open, OpenList const& closing, OpenList const& opening, OpenList& next) {
    next.resize(open.size() - closing.size() + opening.size());
    UnionOpen const *r = open.data(), *const re = r + open.size();
    UnionOpen* w = next.data();
    UnionOpen const *c = closing.data(), *const ce = c + closing.size();
    UnionOpen const *o = opening.data(), *const oe = o + opening.size();
    while (c != ce || o != oe) {
        const bool inserts = o != oe && (c == ce || *o < *c);
        UnionOpen const& event = inserts ? *o : *c;
        UnionOpen const* const at = first_not_before(r, static_cast<std::size_t>(re - r),
                                                     [&event](UnionOpen const& e) { return e < event; });
        w = std::copy(r, at, w);
        if (inserts) {
            *w++ = *o++;
            r = at;
        } else {
            ++c;
            r = at + 1;
        }
    }
    std::copy(r, re, w);
}

// Merges the open intervals into a strip at `first` (touching ones join, of
// equal ends the first stays); returns the strip's end.
qvIRInterval* merge_strip(OpenList const& open, qvIRInterval* const first) {
    qvIRInterval* out = first;
    for (UnionOpen const& o : open) {
        if (out != first && o.x1 <= out[-1].end) {
            if (o.x2 > out[-1].end) out[-1].end = o.x2;
        } else {
            *out++ = {o.x1, o.x2};
        }
    }
    return out;
}

}  // namespace

void qvIRGrid::assign_union(std::span<Rect const> rects) {
    if (rects.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("qvIRGrid: too many rectangles");
    // Lower edges, then upper edges, each half sorted and the two walked in
    // step. Invalidations often arrive in order (a scroll's strips, a list's
    // rows; a list region hands them back newest first), and then a half is
    // sorted or reversed as it stands. Where both halves hold a key, the
    // lower edge's value is the row's key.
    const std::size_t n = rects.size();
    const std::unique_ptr<UnionEdge[]> edge_store = std::make_unique_for_overwrite<UnionEdge[]>(2 * n);
    UnionEdge* const lower = edge_store.get();
    std::size_t lower_count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        Rect const& r = rects[i];
        lower[lower_count] = {r.y1, static_cast<std::uint32_t>(i)};
        lower[n + lower_count] = {r.y2, static_cast<std::uint32_t>(i)};
        lower_count += has_area(r);
    }
    UnionEdge* const lower_end = lower + lower_count;
    UnionEdge* const upper = lower_end;   // the upper edges close up behind the lower ones
    UnionEdge* const upper_end = std::copy(lower + n, lower + n + lower_count, upper);
    const auto by_y = [](UnionEdge const& a, UnionEdge const& b) { return a.y < b.y; };
    const auto sort_half = [&by_y](UnionEdge* from, UnionEdge* to) {
        if (std::is_sorted(from, to, by_y)) return;
        if (std::is_sorted(from, to, [&by_y](UnionEdge const& a, UnionEdge const& b) { return by_y(b, a); }))
            std::reverse(from, to);
        else
            std::sort(from, to, by_y);
    };
    sort_half(lower, lower_end);
    sort_half(upper, upper_end);

    std::vector<Row> rows;
    Pool made;
    OpenList open, next, opening, closing;
    const auto item = [&rects](UnionEdge const& e) {
        Rect const& r = rects[e.id];
        return UnionOpen{r.x1, r.x2, e.id};
    };
    // Equal multisets of intervals have equal extreme ends: a test without a
    // sort that most keys where the strip changes fail.
    const auto same_bounds = [&rects](UnionEdge const* a, UnionEdge const* a_end, UnionEdge const* b) {
        const auto bounds = [&rects](UnionEdge const* from, UnionEdge const* to) {
            std::array<double, 4> m{rects[from->id].x1, rects[from->id].x1, rects[from->id].x2, rects[from->id].x2};
            for (UnionEdge const* e = from + 1; e != to; ++e) {
                Rect const& r = rects[e->id];
                m = {std::min(m[0], r.x1), std::max(m[1], r.x1), std::min(m[2], r.x2), std::max(m[3], r.x2)};
            }
            return m;
        };
        return bounds(a, a_end) == bounds(b, b + (a_end - a));
    };
    const auto collect = [&item](OpenList& list, UnionEdge const* from, UnionEdge const* to) {
        list.resize(static_cast<std::size_t>(to - from));
        std::transform(from, to, list.begin(), item);
        if (list.size() > 1) std::sort(list.begin(), list.end());
    };
    for (UnionEdge const *lo = lower, *hi = upper; lo != lower_end || hi != upper_end;) {
        const double key = lo != lower_end && (hi == upper_end || !(hi->y < lo->y)) ? lo->y : hi->y;
        UnionEdge const *lo_end = lo, *hi_end = hi;
        while (lo_end != lower_end && lo_end->y == key) ++lo_end;
        while (hi_end != upper_end && hi_end->y == key) ++hi_end;

        // The open list after this key.
        const std::ptrdiff_t opens = lo_end - lo, closes = hi_end - hi;
        bool same_strip = false, sorted = false;
        if (opens == 1 && closes == 1) {
            const UnionOpen comes = item(*lo), goes = item(*hi);
            same_strip = comes.x1 == goes.x1 && comes.x2 == goes.x2;
            if (same_strip) replace_open(open, goes, comes);
        } else if (opens == closes && same_bounds(lo, lo_end, hi)) {
            collect(opening, lo, lo_end);
            collect(closing, hi, hi_end);
            sorted = true;
            same_strip = same_intervals(opening, closing);
        }
        if (same_strip) {
            if (sorted) {
                next_open(open, closing, opening, next);
                open.swap(next);
            }
        } else if (opens + closes <= kOneAtATime) {
            for (UnionEdge const* e = hi; e != hi_end; ++e) open.erase(place_in(open, item(*e)));
            for (UnionEdge const* e = lo; e != lo_end; ++e) {
                const UnionOpen comes = item(*e);
                open.insert(place_in(open, comes), comes);
            }
        } else {
            if (!sorted) {
                collect(opening, lo, lo_end);
                collect(closing, hi, hi_end);
            }
            next_open(open, closing, opening, next);
            open.swap(next);
        }
        lo = lo_end;
        hi = hi_end;
        if (same_strip) continue;   // no row

        made.make_room(open.size());   // may move the block: pointers are taken after it
        qvIRInterval* const first = made.end();
        const Span strip_here(first, static_cast<std::size_t>(merge_strip(open, first) - first));
        if (!rows.empty() && rows.back().size == strip_here.size() &&
            same(Span(made.data() + rows.back().first, rows.back().size), strip_here))
            continue;
        rows.push_back(row_of(key, made.size(), strip_here.size()));
        made.set_end(first + strip_here.size());
    }
    c.swap(rows);
    pool.swap(made);
    unused = 0;
}

// === qvIRGrid: images ================================================================

// Unites the band [y1, y2) x strip_of_band into the grid. Bands arriving in
// ascending order land at the top, which only appends or moves the top row.
void qvIRGrid::append_band(double y1, double y2, Span strip_of_band) {
    if (strip_of_band.empty() || !(y1 < y2)) return;
    const bool on_top = !c.empty() && c.back().key == y1;
    if (!c.empty() && !on_top && !(c.back().key < y1)) {   // not in order: the general union
        const Row rows[2] = {row_of(y1, 0, strip_of_band.size()), row_of(y2, strip_of_band.size(), 0)};
        apply(Op::add, {rows, 2, strip_of_band.data()});
        return;
    }
    if (on_top && c.size() >= 2 && same(strip(c[c.size() - 2]), strip_of_band)) {
        c.back().key = y2;   // the band below simply grows
        return;
    }
    c.reserve(c.size() + 2);
    pool.make_room(strip_of_band.size());
    const std::size_t first = pool.size();
    pool.append(strip_of_band.data(), strip_of_band.data() + strip_of_band.size());
    if (!on_top) c.push_back({y1, 0, 0});
    c.back() = row_of(c.back().key, first, strip_of_band.size());   // the top row keeps its stored key
    c.push_back(row_of(y2, pool.size(), 0));
}

// Bands and intervals are taken in ascending order of their images, each
// interval mapped corner by corner as a rectangle (so the result matches a
// rectangle-by-rectangle translation bit for bit) and added to its band's
// strip, which merges touching images and drops empty ones.
qvIRGrid qvIRGrid::mapped(qvRTComponent const& x, qvRTComponent const& y) const {
    qvIRGrid image;
    if (c.size() < 2) return image;
    image.c.reserve(c.size());
    image.pool.reserve(pool.size() - unused);
    Intervals band_strip;
    const auto map_band = [&](std::size_t band) {
        const double y1 = y * c[band].key, y2 = y * c[band + 1].key;
        band_strip.clear();
        Rect last;
        const auto map_interval = [&](qvIRInterval const& iv) {
            const Rect r(x * iv.start, y1, x * iv.end, y2);
            if (!has_area(r)) return;
            // Images arrive in ascending order: a merge at the end, or a new
            // last interval.
            if (!band_strip.empty() && r.x1 < band_strip.back().start)
                replace_with(band_strip, qvIRInterval{r.x1, r.x2}, write_union);
            else if (!band_strip.empty() && r.x1 <= band_strip.back().end)
                band_strip.back().end = higher_of(band_strip.back().end, r.x2);
            else
                band_strip.push_back({r.x1, r.x2});
            last = r;
        };
        const Span s = strip(c[band]);
        if (x.scale < 0)
            std::for_each(s.rbegin(), s.rend(), map_interval);
        else
            std::for_each(s.begin(), s.end(), map_interval);
        if (!band_strip.empty()) image.append_band(last.y1, last.y2, band_strip);
    };
    const std::size_t band_count = c.size() - 1;
    if (y.scale < 0)
        for (std::size_t band = band_count; band-- > 0;) map_band(band);
    else
        for (std::size_t band = 0; band < band_count; ++band) map_band(band);
    return image;
}

// A move runs over the storage once, in place. Whether rounding broke the
// canonical form is told by undoing each addition: where fl(fl(v + d) - d)
// gives back v for every key and interval end, the move is one-to-one on
// the grid's values, so (being monotone) it keeps every order strict and
// every pair of different strips different, and the grid stays canonical
// as it stands. Otherwise settle_moved() restores the canonical form.
bool qvIRGrid::shift(double dx, double dy) {
    if (c.empty()) return true;
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        *this = mapped({1, dx}, {1, dy});
        return false;
    }
    // Packed, every interval of the pool is live, and they all move alike:
    // one loop over the rows' keys and one over the pool, without the
    // rows' boundaries. A grid built by many small changes is packed by
    // its first move, which the moves after it recover.
    if (unused != 0) compact();
    qvIRInterval* const base = pool.writable();
    bool one_to_one = true;
    for (Row& r : c) {
        const double key = r.key + dy;
        one_to_one &= key - dy == r.key;
        r.key = key;
    }
    // Both ends of an interval move in one vector operation (a GCC and
    // Clang extension, split where the target has no such vectors); lanes
    // that compare equal hold all ones.
    using Pair = double __attribute__((vector_size(16)));
    using Mask = std::int64_t __attribute__((vector_size(16)));
    const Pair by = {dx, dx};
    Mask undone = {-1, -1};
    for (qvIRInterval *iv = base, *const end = base + pool.size(); iv != end; ++iv) {
        Pair ends;
        std::memcpy(&ends, iv, sizeof ends);
        const Pair moved = ends + by;
        undone &= (moved - by) == ends;
        std::memcpy(iv, &moved, sizeof moved);
    }
    one_to_one &= (undone[0] & undone[1]) != 0;
    return one_to_one || settle_moved();
}

// After a move that rounding may have made many-to-one: a band whose keys
// met is gone (the row above takes its key), inside a strip intervals that
// shrank to nothing go and intervals that came to touch merge, and then
// leading empty rows and rows equal to the row below go as usual. This is
// the grid mapped() gives, row for row. True when nothing went.
bool qvIRGrid::settle_moved() {
    const std::size_t live_before = pool.size() - unused, rows_before = c.size();
    qvIRInterval* const base = pool.writable();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        Row row = c[i];
        qvIRInterval* const first = base + row.first;
        qvIRInterval* out = first;
        for (qvIRInterval const *iv = first, *const end = first + row.size; iv != end; ++iv) {
            if (!(iv->start < iv->end)) continue;
            if (out != first && !(out[-1].end < iv->start))
                out[-1].end = iv->end;   // the ends only met: iv starts where the last ended
            else
                *out++ = *iv;
        }
        row.size = static_cast<std::uint32_t>(out - first);
        if (kept > 0 && c[kept - 1].key == row.key) --kept;   // its band has no height left
        const bool leading_empty = kept == 0 && row.size == 0;
        if (leading_empty || (kept > 0 && same(strip(c[kept - 1]), strip(row)))) continue;
        c[kept++] = row;
    }
    c.resize(kept);
    std::size_t live = 0;
    for (Row const& r : c) live += r.size;
    if (c.empty()) {
        erase();
        return false;
    }
    unused = pool.size() - live;
    reclaim_if_worth_it();
    return live == live_before && c.size() == rows_before;
}

// === qvIRGrid: normal form and output ==============================================

void qvIRGrid::trim() {
    std::size_t lead = 0;
    while (lead < c.size() && c[lead].size == 0) ++lead;
    drop_rows(0, lead);
    if (c.size() < 2) return;
    QV_ASSERT_TEXT(c.back().size == 0, "(*i).row.c.empty()");
    // Of a trailing run of empty rows only the lowest marks the top.
    std::size_t top = c.size();
    while (top >= 2 && c[top - 2].size == 0) --top;
    drop_rows(top, c.size());
    QV_ASSERT_TEXT(c.empty() || c.size() != 1, "c.empty() || c.size() != 1");
}

void qvIRGrid::optimize(Rect& bbox) {
    std::size_t lead = 0;
    while (lead < c.size() && c[lead].size == 0) ++lead;
    drop_rows(0, lead);
    if (c.empty()) {
        bbox = Rect::make_empty();
        return;
    }
    std::size_t kept = 0;
    double x_min = strip(c[0]).front().start;
    double x_max = strip(c[0]).back().end;
    for (std::size_t i = 1; i < c.size(); ++i) {
        const Span s = strip(c[i]);
        if (same(s, strip(c[kept]))) {
            unused += s.size();
            continue;
        }
        if (!s.empty()) {
            x_min = std::min(x_min, s.front().start);
            x_max = std::max(x_max, s.back().end);
        }
        c[++kept] = c[i];
    }
    c.resize(kept + 1);
    bbox = Rect(x_min, c.front().key, x_max, c.back().key);
}

bool qvIRGrid::operator==(qvIRGrid const& other) const noexcept {
    if (c.size() != other.c.size()) return false;
    if (same_storage(other)) return true;
    for (std::size_t i = 0; i < c.size(); ++i)
        if (!(c[i].key == other.c[i].key) || !same(strip(c[i]), other.strip(other.c[i]))) return false;
    return true;
}

void qvIRGrid::print() const { print(std::cout); }

void qvIRGrid::print(std::ostream& os) const {
    if (c.empty()) {
        os << "GRID IS EMPTY\n";
        return;
    }
    for (Row const& r : c) {
        os << r.key << ": ";
        print_strip(os, strip(r));
        os << '\n';
    }
}
