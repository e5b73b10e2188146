// qvClipPolygon2Rect: clipping of a polygon or polyline to a rectangle, one
// edge at a time (left, bottom, right, top).
//
// A pass over one point sequence cuts it into runs: stretches of consecutive
// points strictly on the inner side of the edge, each with the crossings
// where the sequence enters (entry) and leaves (exit). A piece is an ordered
// list of runs: one run, or two when a closed sequence starts and ends
// inside and its last run continues into its first. Open sequences write each
// piece as a polyline; closed ones sort their pieces by their lower crossing
// (stable) and join them along the edge into polygons.
//
// Keeps true:
//   - every crossing lies exactly on its edge line and, on the other axis,
//     between the two points it interpolates (a rounding overshoot is
//     clamped), so every output point lies in the rectangle once all four
//     passes have run;
//   - crossings are finite: a crossing that overflows fails the whole call,
//     because a NaN would break the ordering the sort and the join rely on;
//   - the join finds each piece in O(log k): the sorted pieces are linked so
//     removal is O(1), and a max-tree over their upper crossings answers
//     "the first later piece whose upper crossing is not below v".

#include <orvane/geometry/qvClipping.hpp>

#include <orvane/core/qvAssertionError.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <span>
#include <utility>

namespace {

using Point = qvCrdOf<double>;
using Polygon = std::vector<Point>;
using PolygonList = std::list<Polygon>;
using Points = std::span<Point const>;

constexpr std::size_t npos = static_cast<std::size_t>(-1);

// Crossings are ordered x first, then y. Non-finite crossings never reach a
// comparison, so this is a strict total order.
bool lex_less(Point const& a, Point const& b) noexcept {
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

bool is_finite(Point const& p) noexcept { return std::isfinite(p.x) && std::isfinite(p.y); }

// ---- edges -----------------------------------------------------------------

// One edge of the rectangle as a pass sees it. "Across" is the coordinate the
// edge tests (x for the vertical edges), "along" the other one.
struct Edge {
    bool vertical;
    bool inside_above;  // inside means across > value (left, bottom edges)
    double value;

    double across(Point const& p) const noexcept { return vertical ? p.x : p.y; }
    double along(Point const& p) const noexcept { return vertical ? p.y : p.x; }

    bool inside(Point const& p) const noexcept {
        return inside_above ? across(p) > value : across(p) < value;
    }

    // The crossing of the segment from p (the point before) to c with the
    // edge line, or NaN coordinates when it overflows. The formula multiplies
    // before it divides; the clamp only undoes a rounding overshoot beyond
    // the segment's own span.
    Point crossing(Point const& p, Point const& c) const noexcept {
        const double ap = along(p), ac = along(c), xp = across(p), xc = across(c);
        double a = ap - (value - xp) * (ap - ac) / (xc - xp);
        if (!std::isnan(a)) a = std::clamp(a, std::min(ap, ac), std::max(ap, ac));
        return vertical ? Point{value, a} : Point{a, value};
    }
};

// ---- runs and pieces -------------------------------------------------------

struct Run {
    std::size_t first = 0;  // position of its first input point
    std::size_t last = 0;   // position of its last input point
    Point entry{};
    Point exit{};
    bool has_entry = false;
    bool has_exit = false;

    void set_entry(Point const& p) noexcept {
        entry = p;
        has_entry = true;
    }
    void set_exit(Point const& p) noexcept {
        exit = p;
        has_exit = true;
    }
};

struct Piece {
    Run runs[2];
    int run_count = 1;

    Run& front() noexcept { return runs[0]; }
    Run& back() noexcept { return runs[run_count - 1]; }
    Run const& front() const noexcept { return runs[0]; }
    Run const& back() const noexcept { return runs[run_count - 1]; }
    Point const& entry() const noexcept { return front().entry; }
    Point const& exit() const noexcept { return back().exit; }
    Point lower() const noexcept { return lex_less(exit(), entry()) ? exit() : entry(); }
    Point upper() const noexcept { return lex_less(entry(), exit()) ? exit() : entry(); }
};

// Writes a run: its entry, its input points and its exit, skipping what
// repeats the point written just before (and entry/exit equal to the run's
// own end points). A run that lacks a crossing writes nothing.
void write_run(Run const& run, Points pts, Polygon& out) {
    if (!run.has_entry || !run.has_exit) return;
    auto repeats_last = [&out](Point const& p) { return !out.empty() && out.back() == p; };
    if (!(run.entry == pts[run.first]) && !repeats_last(run.entry)) out.push_back(run.entry);
    std::size_t from = run.first;
    if (repeats_last(pts[from])) ++from;
    out.insert(out.end(), pts.begin() + static_cast<std::ptrdiff_t>(from),
               pts.begin() + static_cast<std::ptrdiff_t>(run.last + 1));
    if (!(run.exit == pts[run.last]) && !repeats_last(run.exit)) out.push_back(run.exit);
}

void write_piece(Piece const& piece, Points pts, Polygon& out) {
    for (int i = 0; i < piece.run_count; ++i) write_run(piece.runs[i], pts, out);
}

// ---- the index of upper crossings ------------------------------------------

// A max-tree over the upper crossings of the sorted pieces. A removed piece
// holds (-inf, -inf), below every finite crossing.
class UpperIndex {
public:
    void build(std::vector<Point> const& uppers) {
        leaves_ = 1;
        while (leaves_ < uppers.size()) leaves_ *= 2;
        tree_.assign(2 * leaves_, removed());
        std::copy(uppers.begin(), uppers.end(), tree_.begin() + static_cast<std::ptrdiff_t>(leaves_));
        for (std::size_t n = leaves_ - 1; n >= 1; --n) tree_[n] = max_of(tree_[2 * n], tree_[2 * n + 1]);
    }

    void remove(std::size_t pos) {
        std::size_t n = pos + leaves_;
        tree_[n] = removed();
        for (n /= 2; n >= 1; n /= 2) tree_[n] = max_of(tree_[2 * n], tree_[2 * n + 1]);
    }

    // The first position >= from whose upper crossing is not below v.
    std::size_t first_not_below(std::size_t from, Point const& v) const {
        return find(1, 0, leaves_, from, v);
    }

private:
    static Point removed() noexcept {
        constexpr double inf = std::numeric_limits<double>::infinity();
        return {-inf, -inf};
    }
    static Point max_of(Point const& a, Point const& b) noexcept { return lex_less(a, b) ? b : a; }

    std::size_t find(std::size_t node, std::size_t lo, std::size_t hi, std::size_t from,
                     Point const& v) const {
        if (hi <= from || lex_less(tree_[node], v)) return npos;
        if (hi - lo == 1) return lo;
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t left = find(2 * node, lo, mid, from, v);
        return left != npos ? left : find(2 * node + 1, mid, hi, from, v);
    }

    std::size_t leaves_ = 1;
    std::vector<Point> tree_;
};

// ---- one pass --------------------------------------------------------------

enum class Outcome { nothing_inside, wholly_inside, split, failed };

// The scratch storage of the passes, reused from one sequence to the next.
class Pass {
public:
    // Clips one sequence against one edge; on `split`, the resulting vectors
    // are appended to `out`.
    Outcome run(Points pts, Edge const& edge, bool open, PolygonList& out) {
        edge_ = &edge;
        failed_ = false;
        const bool last_inside = collect_pieces(pts);
        if (failed_) return Outcome::failed;
        if (pieces_.empty()) return last_inside ? Outcome::wholly_inside : Outcome::nothing_inside;
        if (open) {
            finish_open(pts);
            for (Piece const& piece : pieces_) write_piece(piece, pts, out.emplace_back());
        } else {
            finish_closed(pts);
            if (failed_) return Outcome::failed;
            join(pts, out);
        }
        return Outcome::split;
    }

private:
    Point crossing(Point const& p, Point const& c) {
        const Point x = edge_->crossing(p, c);
        if (!is_finite(x)) failed_ = true;
        return x;
    }

    // Walks consecutive pairs; returns whether the last point is inside.
    bool collect_pieces(Points pts) {
        pieces_.clear();
        bool prev_inside = edge_->inside(pts[0]);
        for (std::size_t i = 1; i < pts.size(); ++i) {
            const bool inside = edge_->inside(pts[i]);
            if (prev_inside && !inside) {
                if (pieces_.empty()) pieces_.emplace_back();  // began inside: run from 0
                Run& run = pieces_.back().back();
                run.last = i - 1;
                run.set_exit(crossing(pts[i - 1], pts[i]));
            } else if (!prev_inside && inside) {
                Run& run = pieces_.emplace_back().front();
                run.first = i;
                run.set_entry(crossing(pts[i - 1], pts[i]));
            }
            prev_inside = inside;
        }
        if (!pieces_.empty() && !pieces_.back().back().has_exit)
            pieces_.back().back().last = pts.size() - 1;
        return prev_inside;
    }

    void finish_open(Points pts) {
        Run& first = pieces_.front().front();
        Run& last = pieces_.back().back();
        if (!first.has_entry) first.set_entry(pts.front());
        if (!last.has_exit) last.set_exit(pts.back());
    }

    // Accounts for the closing edge from the last input point to the first.
    void finish_closed(Points pts) {
        Run& first = pieces_.front().front();
        Run& last = pieces_.back().back();
        if (!first.has_entry && !last.has_exit) {
            // Starts and ends inside: the last run goes on into the first.
            // A piece without entry was begun by an exit, so they differ.
            QV_ASSERT(pieces_.size() >= 2);
            first.set_entry(pts.front());
            last.set_exit(pts.back());
            Piece& head = pieces_.front();
            Piece const& tail = pieces_.back();
            QV_ASSERT(head.run_count + tail.run_count <= 2);
            Piece merged;
            merged.run_count = 0;
            for (int i = 0; i < tail.run_count; ++i) merged.runs[merged.run_count++] = tail.runs[i];
            for (int i = 0; i < head.run_count; ++i) merged.runs[merged.run_count++] = head.runs[i];
            head = merged;
            pieces_.pop_back();
        } else if (!first.has_entry) {
            first.set_entry(crossing(pts.back(), pts.front()));
        } else if (!last.has_exit) {
            last.set_exit(crossing(pts.back(), pts.front()));
        }
    }

    // Sorts the pieces by lower crossing (stable) and joins them into
    // polygons, one per round: the first remaining piece P alone when the
    // next one starts at or above P's upper crossing; otherwise P followed by
    // the chain that starts at the next piece and goes on, each time, to the
    // first later piece whose upper crossing is not below the one just taken.
    void join(Points pts, PolygonList& out) {
        const std::size_t k = pieces_.size();
        order_.resize(k);
        for (std::size_t i = 0; i < k; ++i) order_[i] = i;
        std::stable_sort(order_.begin(), order_.end(), [this](std::size_t a, std::size_t b) {
            return lex_less(pieces_[a].lower(), pieces_[b].lower());
        });
        uppers_.resize(k);
        next_.resize(k);
        prev_.resize(k);
        for (std::size_t i = 0; i < k; ++i) {
            uppers_[i] = pieces_[order_[i]].upper();
            next_[i] = i + 1 < k ? i + 1 : npos;
            prev_[i] = i > 0 ? i - 1 : npos;
        }
        head_ = 0;
        index_.build(uppers_);

        while (head_ != npos) {
            Polygon& polygon = out.emplace_back();
            const std::size_t p = head_;
            Piece const& first = piece_at(p);
            const std::size_t n = next_[p];
            remove(p);
            write_piece(first, pts, polygon);
            if (n == npos || !lex_less(piece_at(n).lower(), uppers_[p])) continue;

            chain_.clear();
            for (std::size_t c = head_; c != npos;) {
                chain_.push_back(c);
                remove(c);
                c = index_.first_not_below(c + 1, uppers_[c]);
            }
            if (edge_->along(first.exit()) > edge_->along(first.entry()))
                std::reverse(chain_.begin(), chain_.end());
            for (std::size_t c : chain_) write_piece(piece_at(c), pts, polygon);
        }
    }

    Piece const& piece_at(std::size_t pos) const noexcept { return pieces_[order_[pos]]; }

    void remove(std::size_t pos) {
        if (prev_[pos] != npos) next_[prev_[pos]] = next_[pos];
        else head_ = next_[pos];
        if (next_[pos] != npos) prev_[next_[pos]] = prev_[pos];
        index_.remove(pos);
    }

    Edge const* edge_ = nullptr;
    bool failed_ = false;
    std::vector<Piece> pieces_;
    // Join state, by position in the sorted order.
    std::vector<std::size_t> order_;
    std::vector<Point> uppers_;
    std::vector<std::size_t> next_, prev_, chain_;
    std::size_t head_ = npos;
    UpperIndex index_;
};

// ---- the four passes -------------------------------------------------------

bool clip_to_rect(Points input, qvMathRectOf<double> const& rect, bool open, PolygonList& out) {
    // Inverted, zero-size and NaN rectangles have no strict inside.
    if (!(rect.x1 < rect.x2) || !(rect.y1 < rect.y2)) return false;
    if (input.empty() || !std::all_of(input.begin(), input.end(), is_finite)) return false;

    const Edge edges[4] = {{true, true, rect.x1},
                           {false, true, rect.y1},
                           {true, false, rect.x2},
                           {false, false, rect.y2}};
    Pass pass;
    bool split = false;  // false while the input lies wholly inside so far
    for (Edge const& edge : edges) {
        if (!split) {
            switch (pass.run(input, edge, open, out)) {
            case Outcome::wholly_inside: continue;
            case Outcome::split: split = true; continue;
            case Outcome::nothing_inside:
            case Outcome::failed: out.clear(); return false;
            }
        }
        for (auto it = out.begin(); it != out.end();) {
            PolygonList parts;
            switch (pass.run(*it, edge, open, parts)) {
            case Outcome::wholly_inside: ++it; break;
            case Outcome::nothing_inside: it = out.erase(it); break;
            case Outcome::split:
                out.splice(it, parts);
                it = out.erase(it);
                break;
            case Outcome::failed: out.clear(); return false;
            }
        }
        if (out.empty()) return false;
    }
    return true;
}

}  // namespace

bool qvClipPolygon2Rect(qvCrdOf<double> const* begin, qvCrdOf<double> const* end,
                        qvMathRectOf<double> const& rect,
                        std::list<std::vector<qvCrdOf<double>>>& result, bool open) {
    Points input;
    if (begin != nullptr && end != nullptr && begin < end)
        input = Points(begin, static_cast<std::size_t>(end - begin));
    PolygonList clipped;
    const bool inside = clip_to_rect(input, rect, open, clipped);
    // The input may point into `result`: it is replaced only now.
    result.swap(clipped);
    return inside;
}
