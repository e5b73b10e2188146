#pragma once
// qvGenericNodeSetProxyBase: what the compact and the exact node-set layers
// share: growing a box point by point, the walk that finds the area around
// edited points, and how a layer reaches the point of each node type.
//
// The four node types (qvPointSetData.hpp, qvBezierData.hpp):
//   node                      point                     bytes
//   qvCrdOf<uint16_t>         the node itself (a word)      4
//   qvCompactBezierNode       .point (a word), .tag         8
//   qvCrdOf<double>           the node itself              16
//   qvBezierNode              .point, .tag, .padding       24
// A node made by an insertion holds its point and, in a Bezier set, tag 1
// (on the curve) and zero padding.
//
// Keeps true: every index sum of the walk is formed in 64 bits, and the
// walk visits at most `count` points, all inside [0, count), whatever
// n_from and n a caller passes (it runs before their checks).

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

class qvGenericNodeSetProxyBase {
public:
    // Takes p into box. The first point (started false) makes box the
    // zero-size box at p; later ones move the edges they pass, each move
    // putting its axis back in order. The box never shrinks.
    static void expand_bbox(qvCrdOf<double> p, qvMathRectOf<double>& box, bool& started) noexcept {
        if (!started) {
            box = qvMathRectOf<double>(qvRectOf<double>(p.x, p.y, p.x, p.y));
            started = true;
            return;
        }
        if (p.x < box.x1)
            box.left(p.x);
        if (p.x > box.x2)
            box.right(p.x);
        if (p.y < box.y1)
            box.bottom(p.y);
        if (p.y > box.y2)
            box.top(p.y);
    }

    // The box around the n points from n_from and one neighbour on each
    // side, the points taken as a closed ring (the neighbour before point 0
    // is the last point): min(n + 2, count) points from n_from - 1, going
    // round past the end. (0, 0, 0, 0) when that is no point.
    template <class PointAt>
    static qvMathRectOf<double> ring_box(std::int64_t n_from, std::int64_t n, std::int64_t count, PointAt point_at) {
        qvMathRectOf<double> box(0, 0, 0, 0);
        bool started = false;
        std::int64_t k = std::min(n + 2, count);
        std::int64_t j = n_from - 1;
        if (j < 0)
            j = count - 1;
        for (; k > 0 && j < count; --k, ++j)
            expand_bbox(point_at(j), box, started);
        for (j = 0; k > 0; --k, ++j)
            expand_bbox(point_at(j), box, started);
        return box;
    }

    // A double box as the four floats of a record header, each rounded,
    // none reordered.
    static qvMathRectOf<float> to_float(qvMathRectOf<double> const& box) noexcept {
        return qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
    }

protected:
    qvGenericNodeSetProxyBase() noexcept = default;

    // Where the layers keep the nodes of `data`: the first 8-aligned
    // address after its fixed part (record offset 48, offset field 4).
    template <class D>
    static typename D::Node* first_node(D& data) noexcept {
        return reinterpret_cast<typename D::Node*>(
            qvSelfRelative::align8(reinterpret_cast<char*>(&data) + sizeof(qvNodeSetData<typename D::Node>)));
    }

    // Brings the nodes of a record to first_node before the record is
    // resized: a record read from outside may keep them further on, where a
    // resize to count nodes would cut them off. The record check has placed
    // them after the fixed part and inside the record, so the move stays
    // inside it. An empty set keeps its offset.
    template <class D>
    static void settle(D& data) noexcept {
        if (data.count <= 0)
            return;
        typename D::Node* const first = first_node(data);
        typename D::Node* const now = data.nodes();
        if (now != first)
            std::memmove(static_cast<void*>(first), now, static_cast<std::size_t>(data.count) * sizeof(*first));
        qvSelfRelative::point(data.offset, first);
    }
};

// The point of a node, and the filling of a new node, per node type.
namespace qvNodeSetNodes {

inline qvCrdOf<std::uint16_t>& word(qvCrdOf<std::uint16_t>& node) noexcept { return node; }
inline qvCrdOf<std::uint16_t> const& word(qvCrdOf<std::uint16_t> const& node) noexcept { return node; }
inline qvCrdOf<std::uint16_t>& word(qvCompactBezierNode& node) noexcept { return node.point; }
inline qvCrdOf<std::uint16_t> const& word(qvCompactBezierNode const& node) noexcept { return node.point; }

inline qvCrdOf<double>& point(qvCrdOf<double>& node) noexcept { return node; }
inline qvCrdOf<double> const& point(qvCrdOf<double> const& node) noexcept { return node; }
inline qvCrdOf<double>& point(qvBezierNode& node) noexcept { return node.point; }
inline qvCrdOf<double> const& point(qvBezierNode const& node) noexcept { return node.point; }

inline void fill(qvCrdOf<std::uint16_t>& node, qvCrdOf<std::uint16_t> w) noexcept { node = w; }
inline void fill(qvCompactBezierNode& node, qvCrdOf<std::uint16_t> w) noexcept {
    node.point = w;
    node.tag = qvPointOnCurve;
}
inline void fill(qvCrdOf<double>& node, qvCrdOf<double> p) noexcept { node = p; }
inline void fill(qvBezierNode& node, qvCrdOf<double> p) noexcept {
    node.point = p;
    node.tag = qvPointOnCurve;
    node.padding = 0;
}

}  // namespace qvNodeSetNodes
