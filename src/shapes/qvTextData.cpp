// The text data's copy operator and its geometry (see qvTextData.hpp).

#include <orvane/shapes/qvTextData.hpp>

#include <orvane/geometry/qvAperture.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/shapes/qvTextAlignment.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

void qvTextData::copy_from(qvTextData const& source) {
    const std::int16_t n = source.length;
    char const* const from = n > 0 ? source.text() : nullptr;
    anchor = source.anchor;
    angle = source.angle;
    aperture = source.aperture;
    alignment = source.alignment;
    padding = 0;
    extent = source.extent;
    stretch = source.stretch;
    length = n;
    height = source.height;
    if (n <= 0) {
        text_offset = 0;
        return;
    }
    char* const to = qvSelfRelative::align8(reinterpret_cast<char*>(this) + sizeof(qvTextData));
    // The source bytes are read before any is written: source and
    // destination may be the same record.
    void const* const zero = std::memchr(from, 0, static_cast<std::size_t>(n));
    const std::size_t kept =
        zero != nullptr ? static_cast<std::size_t>(static_cast<char const*>(zero) - from) : static_cast<std::size_t>(n);
    std::memmove(to, from, kept);
    std::memset(to + kept, 0, static_cast<std::size_t>(n) - kept + 1);
    qvSelfRelative::point(text_offset, to);
}

// ---------------------------------------------------------------------------
// Text geometry

void qvTextData::compute_vectors(qvExtent const& e, qvCrdOf<double>& p0, qvCrdOf<double>& p1, qvCrdOf<double>& p2,
                                 qvCrdOf<double>& p3) const {
    p0 = {0.0, 0.0};
    p1 = {e.width, 0.0};
    p2 = {0.0, e.ascent};
    p3 = {0.0, -e.descent};
    const unsigned word = static_cast<unsigned>(alignment);
    switch (qvTextAlignment::horizontal(word)) {
    case qvTextAlignment::end:
        p0 = p1 * -1.0;
        p1 = {0.0, 0.0};
        break;
    case qvTextAlignment::horizontal_centre:
        p1 = p1 * 0.5;
        p0 = p1 * -1.0;
        break;
    default:
        break;
    }
    switch (qvTextAlignment::vertical(word)) {
    case qvTextAlignment::top:
        p3 = p3 - p2;
        p2 = {0.0, 0.0};
        break;
    case qvTextAlignment::bottom:
        p2 = p2 - p3;
        p3 = {0.0, 0.0};
        break;
    case qvTextAlignment::vertical_centre:
        p2 = (p2 - p3) * 0.5;
        p3 = p2 * -1.0;
        break;
    default:
        break;
    }
    if (aperture != 90.0) {
        const qvAperture shear(aperture);
        p2 = shear * p2;
        p3 = shear * p3;
    }
    if (angle != 0.0) {
        const qvRotation turn(angle);
        p0 = turn * p0;
        p1 = turn * p1;
        p2 = turn * p2;
        p3 = turn * p3;
    }
}

void qvTextData::compute_vectors(qvCrdOf<double>& p0, qvCrdOf<double>& p1, qvCrdOf<double>& p2,
                                 qvCrdOf<double>& p3) const {
    compute_vectors(extent, p0, p1, p2, p3);
}

namespace {

// The larger of m and |v|; a NaN, once met, stays.
double larger_magnitude(double m, double v) noexcept {
    const double a = std::fabs(v);
    return (a > m || std::isnan(a)) ? a : m;
}

}  // namespace

qvMathRectOf<double> qvTextData::bbox() const {
    qvCrdOf<double> p0, p1, p2, p3;
    compute_vectors(p0, p1, p2, p3);
    const qvCrdOf<double> corners[] = {p0 + p2, p0 + p3, p1 + p2, p1 + p3};
    double mx = 0.0, my = 0.0;
    for (qvCrdOf<double> const& c : corners) {
        mx = larger_magnitude(mx, c.x);
        my = larger_magnitude(my, c.y);
    }
    return qvMathRectOf<double>(qvRectOf<double>(anchor.x - mx, anchor.y - my, anchor.x + mx, anchor.y + my));
}

// ---------------------------------------------------------------------------
// Preparing a text for a device
//
// The device box is the stored box mapped by the magnitude k of the
// transformation's smaller axis scale, the signs of its two axis scales
// applied per axis (a device whose y axis points down flips every y). A
// scaled text keeps its proportions: its font size is its height times k.
// A restricted text was measured for one view: its device size is its
// ascent times k, and it may be drawn at a smaller font size, its box
// shrunk by the same factor (`scale`), never at a larger one. A restricted
// text never measured (no width or no ascent) gets a square of the font
// size along the glyph transformation's axes, alignment not applied.

namespace {

double sign_of(double m) noexcept { return m > 0 ? 1.0 : m < 0 ? -1.0 : 0.0; }

}  // namespace

qvTransformedTextData qvTextData::get_transformed_text_data(qvTransformation const& t, double size,
                                                            bool scaled) const {
    qvTransformedTextData out;
    if (length == 0 || stretch == 0.0f || size == 0.0)
        return out;
    out.anchor = t * anchor;
    compute_vectors(out.p0, out.p1, out.p2, out.p3);
    double k = std::min(std::fabs(t.m0()), std::fabs(t.m3()));
    out.size = (scaled ? height : extent.ascent) * k;
    out.stretch = scaled ? static_cast<double>(stretch) : 1.0;
    out.transformation = qvTransformation(out.stretch, 0, 0, 1, 0, 0);
    if (aperture != 90.0)
        out.transformation = qvAperture(aperture) * out.transformation;
    if (angle != 0.0)
        out.transformation = qvRotation(angle) * out.transformation;
    if (!scaled) {
        if (extent.width > 0 && extent.ascent > 0) {
            if (!(size <= out.size))
                return out;
            out.scale = size / out.size;
            out.size = size;
            k *= out.scale;
        } else {
            out.size = size;
            out.p0 = {0.0, 0.0};
            out.p1 = out.transformation * qvCrdOf<double>(size, 0.0);
            out.p2 = out.transformation * qvCrdOf<double>(0.0, size);
            out.p3 = {0.0, 0.0};
            k = 1.0;
        }
    }
    const double fx = sign_of(t.m0()) * k, fy = sign_of(t.m3()) * k;
    for (qvCrdOf<double>* p : {&out.p0, &out.p1, &out.p2, &out.p3}) {
        p->x *= fx;
        p->y *= fy;
    }
    out.height = out.p2.distance(out.p3);
    out.width = out.p0.distance(out.p1);
    out.valid = true;
    return out;
}
