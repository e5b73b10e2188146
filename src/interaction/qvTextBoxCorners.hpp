#pragma once
// The four corners of a text's box relative to its anchor, shared by the
// text scale adapters: the text's alignment, extent, angle and aperture laid
// out by qvTextData::compute_vectors, each corner one of the first two
// vectors plus one of the last two. The box of the corners, not of the four
// vectors alone: those differ once the text is turned, and only the corners
// hold the whole text.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/shapes/qvTextData.hpp>
#include <orvane/shapes/qvTextDataAccess.hpp>

#include <array>

inline std::array<qvCrdOf<double>, 4> qvTextBoxCorners(qvTextDataAccess& text) {
    qvTextData layout;
    layout.alignment = static_cast<std::int32_t>(text.alignment());
    layout.extent = text.extent();
    layout.angle = text.angle();
    layout.aperture = text.aperture();
    qvCrdOf<double> p0, p1, p2, p3;
    layout.compute_vectors(p0, p1, p2, p3);
    return {p0 + p2, p0 + p3, p1 + p2, p1 + p3};
}

// The normalised box of `origin` plus each of `corners`.
inline qvMathRectOf<double> qvTextCornersBox(qvCrdOf<double> origin, std::array<qvCrdOf<double>, 4> const& corners) {
    qvCrdOf<double> low = corners[0], high = corners[0];
    for (qvCrdOf<double> const& c : corners) {
        if (c.x < low.x) low.x = c.x;
        if (c.y < low.y) low.y = c.y;
        if (c.x > high.x) high.x = c.x;
        if (c.y > high.y) high.y = c.y;
    }
    return qvMathRectOf<double>(origin + low, origin + high);
}
