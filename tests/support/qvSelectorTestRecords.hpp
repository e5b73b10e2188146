#pragma once
// Support of the selector tests: shape records of every kind built byte by
// byte (so a test states exactly what a record holds), and attributes of a
// palette with the few values the hit tests read.
//
// Point-set records take their box from their points (the smallest box
// holding them, in float); a compact point is its fraction of that box on
// the 0..65535 grid, rounded, so points on the box's edges are exact.

#include <orvane/attributes/qvAttributeEnums.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvSelfRelativeOffset.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "attributes/qvAttributeFolders.hpp"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace selector_test {

using Record = std::unique_ptr<qvShapeBase>;
using Pt = qvCrdOf<double>;
using Box = qvMathRectOf<double>;

inline Record make(long kind, Box const& box, int extra = 0, long attribute = 0) {
    const int fixed = qvFixedRecordSize(kind) > 0 ? qvFixedRecordSize(kind) : 40;
    Record r(qvNewShapeRecord((fixed + extra + 7) / 8 * 8));
    r->kind = static_cast<std::int32_t>(kind);
    r->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
    r->attribute_handle = static_cast<std::int32_t>(attribute);
    r->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<float>(box.x1), static_cast<float>(box.y1),
                                                 static_cast<float>(box.x2), static_cast<float>(box.y2)));
    return r;
}

template <class D>
D& data(Record const& r) {
    return *reinterpret_cast<D*>(reinterpret_cast<char*>(r.get()) + sizeof(qvShapeBase));
}

inline Box box_of(std::vector<Pt> const& pts) {
    if (pts.empty()) return Box(0, 0, 0, 0);
    Box b(pts[0], pts[0]);
    for (Pt const& p : pts) b += Box(p, p);
    return b;
}

inline std::uint16_t fraction(double v, double lo, double hi) {
    return hi > lo ? static_cast<std::uint16_t>(std::lround((v - lo) / (hi - lo) * 65535.0)) : 0;
}

// Nodes start right after the 8-byte node-set header (record offset 48).
template <class Data>
void place_nodes(Record const& r, int n) {
    auto& d = data<Data>(r);
    d.count = n;
    if (n > 0) qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
}

inline Record exact(long kind, std::vector<Pt> const& pts, long attribute = 0) {
    const int n = static_cast<int>(pts.size());
    Record r = make(kind, box_of(pts), 16 * n, attribute);
    place_nodes<qvPointSetData>(r, n);
    for (int i = 0; i < n; ++i) data<qvPointSetData>(r).nodes()[i] = pts[static_cast<std::size_t>(i)];
    return r;
}

inline Record compact(long kind, std::vector<Pt> const& pts, long attribute = 0) {
    const int n = static_cast<int>(pts.size());
    Record r = make(kind, box_of(pts), 4 * n, attribute);
    const Box b = r->bbox();
    place_nodes<qvCompactPointSetData>(r, n);
    for (int i = 0; i < n; ++i) {
        Pt const& p = pts[static_cast<std::size_t>(i)];
        data<qvCompactPointSetData>(r).nodes()[i] = {fraction(p.x, b.x1, b.x2), fraction(p.y, b.y1, b.y2)};
    }
    return r;
}

using Node = std::pair<Pt, qvPointTag>;

inline Record bezier(bool compact_form, std::vector<Node> const& nodes, long attribute = 0) {
    const int n = static_cast<int>(nodes.size());
    std::vector<Pt> pts;
    for (Node const& node : nodes) pts.push_back(node.first);
    if (!compact_form) {
        Record r = make(qvExactBezierKind, box_of(pts), 24 * n, attribute);
        place_nodes<qvBezierData>(r, n);
        for (int i = 0; i < n; ++i) {
            auto& node = data<qvBezierData>(r).nodes()[i];
            node.point = nodes[static_cast<std::size_t>(i)].first;
            node.tag = nodes[static_cast<std::size_t>(i)].second;
        }
        return r;
    }
    Record r = make(qvCompactBezierKind, box_of(pts), 8 * n, attribute);
    const Box b = r->bbox();
    place_nodes<qvCompactBezierData>(r, n);
    for (int i = 0; i < n; ++i) {
        auto& node = data<qvCompactBezierData>(r).nodes()[i];
        Pt const& p = nodes[static_cast<std::size_t>(i)].first;
        node.point = {fraction(p.x, b.x1, b.x2), fraction(p.y, b.y1, b.y2)};
        node.tag = nodes[static_cast<std::size_t>(i)].second;
    }
    return r;
}

// A text record (kind -9 or -10) with its text at record offset 120.
inline Record text(long kind, Pt anchor, char const* chars, qvExtent extent, int alignment, long attribute = 0) {
    const int n = static_cast<int>(std::strlen(chars));
    Record r = make(kind, Box(anchor, anchor), n + 1, attribute);
    auto& d = data<qvTextData>(r);
    new (&d) qvTextData();
    d.anchor = anchor;
    d.extent = extent;
    d.alignment = alignment;
    d.length = static_cast<std::int16_t>(n);
    char* const target = reinterpret_cast<char*>(r.get()) + 120;
    std::memcpy(target, chars, static_cast<std::size_t>(n) + 1);
    if (n > 0) qvSelfRelative::point(d.text_offset, target);
    return r;
}

inline Record restricted_image(Pt anchor, int width, int height, int alignment, double x_res = 0.0,
                               double y_res = 0.0, long attribute = 0) {
    Record r = make(qvRestrictedImageKind, Box(anchor, anchor), 0, attribute);
    auto& d = data<qvRestrictedImageData>(r);
    new (&d) qvRestrictedImageData();
    d.image.anchor = anchor;
    d.image.header.width = width;
    d.image.header.height = height;
    d.alignment = alignment;
    d.x_resolution = x_res;
    d.y_resolution = y_res;
    return r;
}

inline Record scaled_image(Pt anchor, Pt u, Pt v, long attribute = 0) {
    Record r = make(qvScaledImageKind, box_of({anchor, anchor + u, anchor + v, anchor + u + v}), 0, attribute);
    auto& d = data<qvScaledImageData>(r);
    new (&d) qvScaledImageData();
    d.image.anchor = anchor;
    d.x_vector = u;
    d.y_vector = v;
    return r;
}

// ---- attributes ------------------------------------------------------------
template <class T>
long set(qvPalette& palette, long handle, qvAttributeFolderId folder, T value) {
    return palette.property(handle, qvAttributeFolder(folder), &value, false);
}

struct Style {
    double line_width = -1;   // < 0: absent
    int fill_style = -1;      // < 0: absent
    bool fill_color = false;  // a non-empty fill colour
    int marker_style = -1;
    int marker_diameter = -1;
};

inline long attribute(qvPalette& palette, Style const& s) {
    long h = palette.alloc(false);
    using F = qvAttributeFolderId;
    if (s.line_width >= 0) h = set(palette, h, F::line_width, qvWrap<double>(s.line_width));
    if (s.fill_style >= 0) h = set(palette, h, F::fill_style, qvFillStyle{s.fill_style});
    if (s.fill_color) h = set(palette, h, F::fill_color, qvRgbColor(1, 0, 0));
    if (s.marker_style >= 0) h = set(palette, h, F::marker_style, qvMarkerStyle{s.marker_style});
    if (s.marker_diameter >= 0) h = set(palette, h, F::marker_diameter, qvMarkerDiameter{s.marker_diameter});
    return h;
}

}  // namespace selector_test
