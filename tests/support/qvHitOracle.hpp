#pragma once
// qvHitOracle: slow, obviously right answers to the selectors' questions,
// written apart from the library's hit tests so that the property tests
// compare two independent computations.
//
// Every answer is three-valued: hit, miss, or near (the case lies within
// `eps` of a decision boundary, where rounding may go either way; property
// tests skip it). Combinations: any_of is a hit when one part is a clear
// hit, all_of a miss when one part is a clear miss; otherwise a near part
// makes the whole near.
//
// The models:
//  - band: P within r of a segment, the segment extended by r at both ends
//    and the band's ends square (a rectangle around the segment); a
//    segment of length 0 is a disc of radius r;
//  - inside: crossing number (even-odd) of a ray from P, with P near when
//    it lies within eps of an edge; meant for simple polygons, where it
//    agrees with the non-zero winding rule;
//  - crossing: two segments cross when their parametric intersection lies
//    inside both; near when an end point of one lies within eps of the
//    other;
//  - boxes: inclusive and strict comparisons with their slack.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace hit_oracle {

using Pt = qvCrdOf<double>;
using Poly = std::vector<Pt>;

enum class Verdict { miss, hit, near };

inline constexpr double eps = 1e-6;

// Slack > eps: the condition clearly holds; < -eps: clearly fails.
inline Verdict from_slack(double slack) {
    if (slack > eps) return Verdict::hit;
    if (slack < -eps) return Verdict::miss;
    return Verdict::near;
}

inline Verdict negate(Verdict v) {
    return v == Verdict::near ? v : (v == Verdict::hit ? Verdict::miss : Verdict::hit);
}

struct AnyOf {
    bool hit = false, near = false;
    void add(Verdict v) {
        hit = hit || v == Verdict::hit;
        near = near || v == Verdict::near;
    }
    Verdict result() const { return hit ? Verdict::hit : (near ? Verdict::near : Verdict::miss); }
};

struct AllOf {
    bool miss = false, near = false;
    void add(Verdict v) {
        miss = miss || v == Verdict::miss;
        near = near || v == Verdict::near;
    }
    Verdict result() const { return miss ? Verdict::miss : (near ? Verdict::near : Verdict::hit); }
};

inline double length(Pt d) { return std::hypot(d.x, d.y); }

inline double distance_to_segment(Pt p, Pt a, Pt b) {
    const Pt d{b.x - a.x, b.y - a.y};
    const double l2 = d.x * d.x + d.y * d.y;
    double s = l2 > 0 ? ((p.x - a.x) * d.x + (p.y - a.y) * d.y) / l2 : 0.0;
    s = std::clamp(s, 0.0, 1.0);
    return length({p.x - (a.x + s * d.x), p.y - (a.y + s * d.y)});
}

// P in the square-ended band of radius r around a-b.
inline Verdict band(Pt p, Pt a, Pt b, double r) {
    const Pt d{b.x - a.x, b.y - a.y};
    const double l = length(d);
    if (l == 0) return from_slack(r - length({p.x - a.x, p.y - a.y}));
    const double ux = d.x / l, uy = d.y / l;
    const double along = (p.x - a.x) * ux + (p.y - a.y) * uy;
    const double across = std::fabs(-(p.x - a.x) * uy + (p.y - a.y) * ux);
    return from_slack(std::min({along + r, l + r - along, r - across}));
}

// P on a polyline (closed: with the edge back to the first point).
inline Verdict on_outline(Pt p, Poly const& pts, double r, bool closed) {
    AnyOf any;
    for (std::size_t i = 1; i < pts.size(); ++i) any.add(band(p, pts[i - 1], pts[i], r));
    if (closed && pts.size() > 1) any.add(band(p, pts.back(), pts.front(), r));
    return any.result();
}

inline Verdict near_marker(Pt p, Poly const& pts, double r) {
    AnyOf any;
    for (Pt q : pts) any.add(from_slack(r - length({q.x - p.x, q.y - p.y})));
    return any.result();
}

// Even-odd crossing number; near within eps of the boundary. A polygon of
// one point is its vertex: inside only there, which is always near.
inline Verdict inside(Pt p, Poly const& poly) {
    const std::size_t n = poly.size();
    if (n == 0) return Verdict::miss;
    for (std::size_t i = 0; i < n; ++i)
        if (distance_to_segment(p, poly[i], poly[(i + 1) % n]) <= eps) return Verdict::near;
    bool in = false;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        Pt const& a = poly[i];
        Pt const& b = poly[j];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
            if (p.x < x) in = !in;
        }
    }
    return in ? Verdict::hit : Verdict::miss;
}

inline double cross(Pt a, Pt b) { return a.x * b.y - a.y * b.x; }

inline Verdict crossing(Pt a, Pt b, Pt c, Pt d) {
    if (distance_to_segment(a, c, d) <= eps || distance_to_segment(b, c, d) <= eps ||
        distance_to_segment(c, a, b) <= eps || distance_to_segment(d, a, b) <= eps)
        return Verdict::near;
    const Pt r{b.x - a.x, b.y - a.y}, s{d.x - c.x, d.y - c.y}, ca{c.x - a.x, c.y - a.y};
    const double denom = cross(r, s);
    if (denom == 0) return Verdict::miss;  // parallel and apart (collinear would be near)
    const double t = cross(ca, s) / denom, u = cross(ca, r) / denom;
    return (t > 0 && t < 1 && u > 0 && u < 1) ? Verdict::hit : Verdict::miss;
}

inline Verdict crosses_polygon(Pt a, Pt b, Poly const& poly) {
    AnyOf any;
    for (std::size_t i = 0; i < poly.size(); ++i) any.add(crossing(a, b, poly[i], poly[(i + 1) % poly.size()]));
    return any.result();
}

// The segments of a figure: consecutive points, and the closing edge.
template <class F>
void each_segment(Poly const& pts, bool closed, F&& f) {
    for (std::size_t i = 1; i < pts.size(); ++i) f(pts[i - 1], pts[i]);
    if (closed && pts.size() > 1) f(pts.back(), pts.front());
}

// Whether a figure lies inside the selection polygon (containment), or
// touches it (touch; a closed figure also when it holds the selection's
// first vertex).
inline Verdict selected(Poly const& shape, bool line, bool closed, Poly const& selection, bool touch) {
    if (shape.empty() || selection.empty()) return Verdict::miss;
    if (touch) {
        AnyOf any;
        for (Pt p : shape) any.add(inside(p, selection));
        if (line) each_segment(shape, closed, [&](Pt a, Pt b) { any.add(crosses_polygon(a, b, selection)); });
        if (closed) any.add(inside(selection.front(), shape));
        return any.result();
    }
    AllOf all;
    for (Pt p : shape) all.add(inside(p, selection));
    if (line) each_segment(shape, closed, [&](Pt a, Pt b) { all.add(negate(crosses_polygon(a, b, selection))); });
    return all.result();
}

// Strict overlap of two boxes, as the redraw area filters records.
inline Verdict boxes_overlap(qvMathRectOf<double> const& a, qvMathRectOf<double> const& b) {
    return from_slack(std::min({a.x2 - b.x1, b.x2 - a.x1, a.y2 - b.y1, b.y2 - a.y1}));
}

// P inside a box (edges included).
inline Verdict in_box(Pt p, qvMathRectOf<double> const& b) {
    return from_slack(std::min({p.x - b.x1, b.x2 - p.x, p.y - b.y1, b.y2 - p.y}));
}

}  // namespace hit_oracle
