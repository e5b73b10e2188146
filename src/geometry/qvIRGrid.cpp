// qvIRGrid and qvIRStrip: the banded storage of grid regions.
//
// Every operation keeps the canonical form stated in the header. The grid
// operations work only on the rows between their two split points (plus the
// leading and trailing rows trim() looks at), so a rectangle operation costs
// O(log R + rows walked x intervals) and grid-with-grid work is proportional
// to the rows of both grids.
//
// Strips are sorted vectors: the intervals of one row are few, walking them
// is what every operation does anyway, and a copy is one allocation. The
// strip-with-strip operations are linear merges whose output is canonical
// because both inputs are.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvIRGrid.hpp>

#include <algorithm>
#include <iostream>
#include <iterator>
#include <utility>

namespace {

using Intervals = qvIRStrip::Intervals;
using Rows = qvIRGrid::Rows;
using RowIt = Rows::iterator;

// Ties keep the value already stored, so the sign of a stored zero stays.
double lower_of(double stored, double given) { return given < stored ? given : stored; }
double higher_of(double stored, double given) { return given > stored ? given : stored; }

// A rectangle holds area only when both extents are positive; this is false
// for inverted rectangles, zero extents and NaN coordinates alike.
bool has_area(qvMathRectOf<double> const& r) { return r.x1 < r.x2 && r.y1 < r.y2; }

// Intervals are sorted by start and, being disjoint, by end as well, so each
// of these is a binary search.
Intervals::iterator first_ending_at_or_after(Intervals& c, Intervals::iterator from, double x) {
    return std::partition_point(from, c.end(), [x](qvIRInterval const& iv) { return iv.end < x; });
}
Intervals::iterator first_ending_after(Intervals& c, Intervals::iterator from, double x) {
    return std::partition_point(from, c.end(), [x](qvIRInterval const& iv) { return iv.end <= x; });
}
Intervals::iterator first_starting_after(Intervals& c, Intervals::iterator from, double x) {
    return std::partition_point(from, c.end(), [x](qvIRInterval const& iv) { return iv.start <= x; });
}
Intervals::iterator first_starting_at_or_after(Intervals& c, Intervals::iterator from, double x) {
    return std::partition_point(from, c.end(), [x](qvIRInterval const& iv) { return iv.start < x; });
}

// --- strip-with-strip merges into `out` ---------------------------------------

void merge_union(Intervals const& a, Intervals const& b, Intervals& out) {
    out.clear();
    auto ia = a.begin(), ib = b.begin();
    while (ia != a.end() || ib != b.end()) {
        const bool take_a = ib == b.end() || (ia != a.end() && ia->start <= ib->start);
        const qvIRInterval next = take_a ? *ia++ : *ib++;
        if (!out.empty() && next.start <= out.back().end)   // overlapping or touching
            out.back().end = higher_of(out.back().end, next.end);
        else
            out.push_back(next);
    }
}

void merge_difference(Intervals const& a, Intervals const& b, Intervals& out) {
    out.clear();
    auto ib = b.begin();
    for (qvIRInterval const& iv : a) {
        while (ib != b.end() && ib->end <= iv.start) ++ib;
        // ib may reach into the next interval of a too, so it stays put here.
        double start = iv.start;
        for (auto jb = ib; jb != b.end() && jb->start < iv.end; ++jb) {
            if (start < jb->start) out.push_back({start, jb->start});
            start = jb->end;
        }
        if (start < iv.end) out.push_back({start, iv.end});
    }
}

void merge_intersection(Intervals const& a, Intervals const& b, Intervals& out) {
    out.clear();
    auto ia = a.begin(), ib = b.begin();
    while (ia != a.end() && ib != b.end()) {
        const double lo = higher_of(ia->start, ib->start);
        const double hi = lower_of(ia->end, ib->end);
        if (lo < hi) out.push_back({lo, hi});
        if (ia->end < ib->end)
            ++ia;
        else if (ib->end < ia->end)
            ++ib;
        else
            ++ia, ++ib;
    }
}

// --- rows ----------------------------------------------------------------------

// Returns the row keyed y, given the first row keyed at or above y. A new row
// copies the strip of the row below it (empty at the bottom), so the area is
// unchanged: the band that covered y is only cut in two.
RowIt split_at(Rows& rows, RowIt at_or_above, double y) {
    if (at_or_above != rows.end() && at_or_above->first == y) return at_or_above;
    qvIRStrip below = at_or_above == rows.begin() ? qvIRStrip{} : std::prev(at_or_above)->second;
    return rows.emplace_hint(at_or_above, y, std::move(below));
}

// Applies op to the rows [first, last), removing each row that then equals
// the row kept before it, and finally checks the row at `last` the same way.
// Rows outside the range keep their strips, so if no neighbours were equal
// before, none are after.
template <class Op>
void apply_and_merge(Rows& rows, RowIt first, RowIt last, Op const& op) {
    RowIt kept = first == rows.begin() ? rows.end() : std::prev(first);
    for (RowIt i = first; i != last;) {
        op(i->second);
        if (kept != rows.end() && kept->second == i->second)
            i = rows.erase(i);
        else
            kept = i++;
    }
    if (last != rows.end() && kept != rows.end() && kept->second == last->second) rows.erase(last);
}

// A band operation that may add area: rows are created at y1 and y2 where
// needed, also below the first row or above the last.
template <class Op>
void add_band(Rows& rows, double y1, double y2, Op const& op) {
    RowIt first = rows.lower_bound(y1);
    if (first == rows.end()) {   // empty grid, or the band lies above its top
        qvIRStrip strip;
        op(strip);
        rows.emplace_hint(rows.end(), y1, std::move(strip));
        rows.emplace_hint(rows.end(), y2, qvIRStrip{});
        return;
    }
    first = split_at(rows, first, y1);
    const RowIt last = split_at(rows, rows.lower_bound(y2), y2);
    apply_and_merge(rows, first, last, op);
}

// A band operation that only removes area: nothing lies outside the rows, so
// splits are made only strictly inside them. The caller trims afterwards.
template <class Op>
void change_band(Rows& rows, double y1, double y2, Op const& op) {
    if (rows.empty() || !(rows.begin()->first < y2) || !(y1 < std::prev(rows.end())->first)) return;
    RowIt first = rows.lower_bound(y1);
    if (first != rows.begin()) first = split_at(rows, first, y1);
    RowIt last = rows.lower_bound(y2);
    if (last != rows.end()) last = split_at(rows, last, y2);
    apply_and_merge(rows, first, last, op);
}

// Cuts the rows down to the band [y1, y2), erasing everything when nothing
// of the grid lies inside. Afterwards the rows start at or above y1 and the
// last row, at or below y2, is empty.
void clip_rows(Rows& rows, double y1, double y2) {
    RowIt first = rows.lower_bound(y1);
    if (first == rows.end()) {
        rows.clear();
        return;
    }
    if (first != rows.begin() && first->first != y1) {
        // The row below y1 is about to go: its node becomes the split row.
        auto node = rows.extract(std::prev(first));
        node.key() = y1;
        first = rows.insert(first, std::move(node));
    }
    rows.erase(rows.begin(), first);
    if (!(rows.begin()->first < y2)) {
        rows.clear();
        return;
    }
    const RowIt top = rows.lower_bound(y2);
    if (top == rows.end()) return;   // the grid's own empty top row ends the band
    if (top->first == y2) {
        top->second.clear();
        rows.erase(std::next(top), rows.end());
    } else {
        rows.erase(top, rows.end());
        rows.emplace_hint(rows.end(), y2, qvIRStrip{});
    }
}

// Calls f(key, next key, strip) for each band of `rows` that meets [lo, hi).
template <class F>
void for_each_band_over(Rows const& rows, double lo, double hi, F const& f) {
    auto i = rows.upper_bound(lo);
    if (i != rows.begin()) --i;   // the row whose band covers lo
    for (; i != rows.end() && i->first < hi; ++i) {
        const auto next = std::next(i);
        if (next == rows.end()) break;
        f(i->first, next->first, i->second);
    }
}

}  // namespace

// === qvIRStrip ===================================================================

void qvIRStrip::add(double x1, double x2) {
    if (!(x1 < x2)) return;
    const auto i = first_ending_at_or_after(c, c.begin(), x1);   // touching merges too
    const auto j = first_starting_after(c, i, x2);
    if (i == j) {
        c.insert(i, {x1, x2});
        return;
    }
    i->start = lower_of(i->start, x1);
    i->end = higher_of(std::prev(j)->end, x2);
    c.erase(std::next(i), j);
}

void qvIRStrip::sub(double x1, double x2) {
    if (!(x1 < x2)) return;
    const auto i = first_ending_after(c, c.begin(), x1);
    const auto j = first_starting_at_or_after(c, i, x2);
    if (i == j) return;
    // [i, j) overlap (x1, x2); what survives is a head of *i and a tail of *(j-1).
    const qvIRInterval head{i->start, x1};
    const qvIRInterval tail{x2, std::prev(j)->end};
    const bool keep_head = head.start < head.end;
    const bool keep_tail = tail.start < tail.end;
    if (keep_head && keep_tail && std::next(i) == j) {   // a hole inside one interval
        i->end = x1;
        c.insert(j, tail);
        return;
    }
    auto out = i;
    if (keep_head) *out++ = head;
    if (keep_tail) *out++ = tail;
    c.erase(out, j);
}

void qvIRStrip::mul(double x1, double x2) {
    if (!(x1 < x2)) {
        c.clear();
        return;
    }
    c.erase(first_starting_at_or_after(c, c.begin(), x2), c.end());
    c.erase(c.begin(), first_ending_after(c, c.begin(), x1));
    // Only the outermost survivors can reach past [x1, x2].
    if (c.empty()) return;
    c.front().start = higher_of(c.front().start, x1);
    c.back().end = lower_of(c.back().end, x2);
}

void qvIRStrip::add(qvIRStrip const& other) {
    Intervals scratch;
    add(other, scratch);
}

void qvIRStrip::sub(qvIRStrip const& other) {
    Intervals scratch;
    sub(other, scratch);
}

void qvIRStrip::mul(qvIRStrip const& other) {
    Intervals scratch;
    mul(other, scratch);
}

void qvIRStrip::add(qvIRStrip const& other, Intervals& scratch) {
    if (this == &other || other.empty()) return;
    if (empty()) {
        c = other.c;
    } else if (other.size() == 1) {
        add(other.front().start, other.front().end);
    } else {
        merge_union(c, other.c, scratch);
        c.swap(scratch);
    }
}

void qvIRStrip::sub(qvIRStrip const& other, Intervals& scratch) {
    if (this == &other) {
        clear();
    } else if (empty() || other.empty()) {
        return;
    } else if (other.size() == 1) {
        sub(other.front().start, other.front().end);
    } else {
        merge_difference(c, other.c, scratch);
        c.swap(scratch);
    }
}

void qvIRStrip::mul(qvIRStrip const& other, Intervals& scratch) {
    if (this == &other || empty()) return;
    if (other.empty()) {
        clear();
    } else if (other.size() == 1) {
        mul(other.front().start, other.front().end);
    } else {
        merge_intersection(c, other.c, scratch);
        c.swap(scratch);
    }
}

void qvIRStrip::print(std::ostream& os) const {
    if (c.empty()) {
        os << "STRIP IS EMPTY";
        return;
    }
    for (qvIRInterval const& iv : c) os << iv.start << ':' << iv.end << ' ';
}

// === qvIRGrid: rectangles ==========================================================

void qvIRGrid::add(qvMathRectOf<double> const& r) {
    if (!has_area(r)) return;
    const double x1 = r.x1, x2 = r.x2;
    add_band(c, r.y1, r.y2, [x1, x2](qvIRStrip& s) { s.add(x1, x2); });
}

void qvIRGrid::sub(qvMathRectOf<double> const& r) {
    if (!has_area(r) || c.empty()) return;
    const double x1 = r.x1, x2 = r.x2;
    change_band(c, r.y1, r.y2, [x1, x2](qvIRStrip& s) { s.sub(x1, x2); });
    trim();
}

void qvIRGrid::mul(qvMathRectOf<double> const& r) {
    if (!has_area(r)) {
        erase();
        return;
    }
    if (c.empty()) return;
    const double x1 = r.x1, x2 = r.x2;
    clip_rows(c, r.y1, r.y2);
    apply_and_merge(c, c.begin(), c.end(), [x1, x2](qvIRStrip& s) { s.mul(x1, x2); });
    trim();
}

// === qvIRGrid: bands and grids =====================================================

void qvIRGrid::add(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch) {
    add_band(c, y1, y2, [&](qvIRStrip& s) { s.add(strip, scratch); });
}

void qvIRGrid::sub(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch) {
    change_band(c, y1, y2, [&](qvIRStrip& s) { s.sub(strip, scratch); });
}

void qvIRGrid::mul(double y1, double y2, qvIRStrip const& strip, qvIRStrip::Intervals& scratch) {
    change_band(c, y1, y2, [&](qvIRStrip& s) { s.mul(strip, scratch); });
}

void qvIRGrid::add(qvIRGrid const& other) {
    if (this == &other || other.c.empty()) return;
    if (c.empty()) {
        c = other.c;
        return;
    }
    qvIRStrip::Intervals scratch;
    for_each_band_over(other.c, other.c.begin()->first, std::prev(other.c.end())->first,
                       [&](double y1, double y2, qvIRStrip const& strip) {
                           if (!strip.empty()) add(y1, y2, strip, scratch);
                       });
}

void qvIRGrid::sub(qvIRGrid const& other) {
    if (this == &other) {
        erase();
        return;
    }
    if (c.empty() || other.c.empty()) return;
    qvIRStrip::Intervals scratch;
    for_each_band_over(other.c, c.begin()->first, std::prev(c.end())->first,
                       [&](double y1, double y2, qvIRStrip const& strip) {
                           if (!strip.empty()) sub(y1, y2, strip, scratch);
                       });
    trim();
}

void qvIRGrid::mul(qvIRGrid const& other) {
    if (this == &other || c.empty()) return;
    if (other.c.empty()) {
        erase();
        return;
    }
    clip_rows(c, other.c.begin()->first, std::prev(other.c.end())->first);
    if (c.empty()) return;
    // Every row now lies inside other's bands; an empty band empties it.
    qvIRStrip::Intervals scratch;
    for_each_band_over(other.c, c.begin()->first, std::prev(c.end())->first,
                       [&](double y1, double y2, qvIRStrip const& strip) {
                           mul(y1, y2, strip, scratch);
                       });
    trim();
}

// === qvIRGrid: normal form and output ==============================================

void qvIRGrid::drop_leading_empty_rows() {
    auto i = c.begin();
    while (i != c.end() && i->second.empty()) ++i;
    c.erase(c.begin(), i);
}

void qvIRGrid::trim() {
    drop_leading_empty_rows();
    if (c.size() < 2) return;
    auto i = std::prev(c.end());
    QV_ASSERT_TEXT(i->second.empty(), "(*i).row.c.empty()");
    // Of a trailing run of empty rows only the lowest marks the top.
    while (i != c.begin() && std::prev(i)->second.empty()) i = std::prev(c.erase(i));
    QV_ASSERT_TEXT(c.empty() || c.size() != 1, "c.empty() || c.size() != 1");
}

void qvIRGrid::optimize(qvMathRectOf<double>& bbox) {
    drop_leading_empty_rows();
    if (c.empty()) {
        bbox = qvMathRectOf<double>::make_empty();
        return;
    }
    auto kept = c.begin();
    double x_min = kept->second.front().start;
    double x_max = kept->second.back().end;
    for (auto i = std::next(kept); i != c.end();) {
        if (i->second == kept->second) {
            i = c.erase(i);
            continue;
        }
        if (!i->second.empty()) {
            x_min = std::min(x_min, i->second.front().start);
            x_max = std::max(x_max, i->second.back().end);
        }
        kept = i++;
    }
    bbox = qvMathRectOf<double>(x_min, c.begin()->first, x_max, std::prev(c.end())->first);
}

void qvIRGrid::print() const { print(std::cout); }

void qvIRGrid::print(std::ostream& os) const {
    if (c.empty()) {
        os << "GRID IS EMPTY\n";
        return;
    }
    for (auto const& [key, strip] : c) {
        os << key << ": ";
        strip.print(os);
        os << '\n';
    }
}
