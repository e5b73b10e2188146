#pragma once
// The curve step of the selectors' node walks over a Bézier record: a node
// followed by one or two control nodes starts a curve that ends at the
// node after them. A curve whose control nodes run past the last node has
// no end: nothing past the record is read.

#include <orvane/geometry/qvBezierGenerator.hpp>
#include <orvane/interaction/qvPointSetGenerator.hpp>

#include "interaction/qvSelectorFlatness.hpp"

// When node i (at `p`) starts a curve: sets `curve` to it, flattened for
// `width` and moved past its first point (node i itself, already taken),
// and answers the curve's end node. Answers 0 when node i starts no curve,
// -1 when the curve has no end.
inline long qvSelectorStartCurve(qvPointSetGenerator const& nodes, long i, qvCrdOf<double> const& p, double width,
                                 qvBezierGenerator& curve) {
    const long n = nodes.size();
    if (!(i + 1 < n && nodes.tag_at(i + 1) == qvPointControl))
        return 0;
    const bool two = i + 2 < n && nodes.tag_at(i + 2) == qvPointControl;
    const long end = two ? i + 3 : i + 2;
    if (end >= n)
        return -1;
    const qvCrdOf<double> c1 = nodes.point_at(i + 1);
    const qvCrdOf<double> c2 = two ? nodes.point_at(i + 2) : c1;
    const qvCrdOf<double> p3 = nodes.point_at(end);
    curve.reset(p, c1, c2, p3, qvSelectorFlatness(width, {p, c1, c2, p3}));
    curve.next();
    return end;
}
