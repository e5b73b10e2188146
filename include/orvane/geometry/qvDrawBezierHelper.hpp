#pragma once
// qvDrawBezierHelper: draws a tagged point set (see qvPointTag) through a
// qvDrawBezierPortInterface.
//
// The set is cut into figures: every point whose tag is neither 1 nor 2
// ends one, and so does the last point. A figure is closed when its end has
// tag 4. Within a figure, a point followed by one control point (tag 2)
// makes a quadratic piece, by two a cubic piece, by none a straight piece;
// control points running into the end of the set shorten the piece.
//
// Keeps true:
//   - the point set is borrowed: it must outlive the helper and keep its
//     size and tags while the helper lives (figure ends are found once, at
//     construction);
//   - the helper never asks the set for an index outside [0, size()), even
//     for malformed tags (unknown values, control points at the end, tag 0
//     inside the set); a negative size counts as 0, and an empty set draws
//     begin and end only;
//   - the cursor reads the point at its index whenever the set holds that
//     index; outside it, the last point read stays current.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvDrawBezierPortInterface.hpp>
#include <orvane/geometry/qvPointSetInterface.hpp>
#include <orvane/geometry/qvPointTag.hpp>

#include <vector>

class qvDrawBezierHelper {
public:
    explicit qvDrawBezierHelper(qvPointSetInterface const& points);
    ~qvDrawBezierHelper();

    // Emits the whole point set: begin, the figures grouped by kind, end.
    void draw(qvDrawBezierPortInterface& port);

    // ---- the cursor ------------------------------------------------------------
    void reset();  // to index 0
    void next();   // one index on
    void prev();   // one index back
    // Re-reads the tag and the point at the cursor; returns the point.
    qvCrdOf<double> const& get();
    // The segment starting at the cursor: 1 straight, 2 quadratic, 3 cubic.
    int detect_segment();

protected:
    // Re-reads the tag at the cursor and returns it.
    qvPointTag get_sym();

private:
    qvPointTag tag_at(long long index) const;
    bool holds(long long index) const noexcept { return index >= 0 && index <= last_; }
    void draw_segment(qvDrawBezierPortInterface& port, int figure_end);

    qvPointSetInterface const& points_;
    int index_ = 0;
    int last_ = -1;
    std::vector<int> figure_ends_;
    qvPointTag tag_{};
    qvCrdOf<double> point_{};
};
