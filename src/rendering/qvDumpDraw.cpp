// The dump driver's draw object and port (see qvDumpDraw.hpp).
//
// draw_shape: the record check first, then the kind code picks the steps:
//   kind        shape                 sink calls, in order
//   -1          rectangle             line, fill, rectangle(box)
//   -2          ellipse               line, fill, ellipse(box)
//   -4, -13     polymarker            fill, line, marker, polymarker
//   -5, -14     polyline              line, polyline
//   -6, -15     polygon               fill, line, polygon
//   -7, -16     Bezier curve          fill, line, bezier (points and tags)
//   -9, -10     text                  fill, font, restricted_text / scaled_text
//                                     (nothing at all for an empty text)
//   -11, -12    image                 restricted_image / scaled_image
//   others (arcs, pie slices, -8, 0, flavour codes): false, no call.
// Points are decoded by the shared record decoding (qvShapeRecordPoints),
// which every driver of the library's records uses.

#include "rendering/qvDumpDraw.hpp"

#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvStandardCookie.hpp>
#include <orvane/rendering/qvDumpDriverUser.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include "rendering/qvShapeRecordPoints.hpp"
#include "shapes/qvShapeRecordCheck.hpp"

namespace {

// ---------------------------------------------------------------------------
// Attribute steps: one cookie access each, found in the palette's cache
// after the first bake.

void fill(qvDumpDriverUser& user, qvPalette& palette, long attribute) {
    const qvCookieAccess<qvStandardBrushCookie> access(palette, attribute);
    qvStandardBrushCookie const& brush = *access.cookie;
    user.fill_attributes(brush.color, brush.fill_style, brush.fill_image);
}

void line(qvDumpDriverUser& user, qvPalette& palette, long attribute) {
    const qvCookieAccess<qvStandardPenCookie> access(palette, attribute);
    qvStandardPenCookie const& pen = *access.cookie;
    user.line_attributes(pen.color, pen.line_width, pen.line_style, pen.line_pattern);
}

void marker(qvDumpDriverUser& user, qvPalette& palette, long attribute) {
    const qvCookieAccess<qvStandardMarkerCookie> access(palette, attribute);
    user.marker_attributes(access.cookie->marker_style, access.cookie->marker_image);
}

void font(qvDumpDriverUser& user, qvPalette& palette, long attribute) {
    const qvCookieAccess<qvStandardFontCookie> access(palette, attribute);
    qvStandardFontCookie const& f = *access.cookie;
    user.font_attributes(f.font_family, f.font_name, f.font_slant, f.font_weight);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and state

qvDumpDraw::qvDumpDraw(qvDumpVBuf& vbuf)
    : vbuf_(&vbuf),
      clip_region_(qvMathRectOf<double>(0, 0, static_cast<double>(vbuf.width()), static_cast<double>(vbuf.height()))) {}

void* qvDumpDraw::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvFlavorPort>(this, info);
}

void qvDumpDraw::clip(qvBaseRegion const& region) {
    clip_region_ = region;
    if (qvDumpDriverUser* const user = sink())
        user->clip(clip_region_);
}

void qvDumpDraw::transformation(qvRestrictedTransformation const& t) {
    geometry_.transformation(t);
    if (qvDumpDriverUser* const user = sink())
        user->transformation(geometry_.transformation());
}

// ---------------------------------------------------------------------------
// draw_shape

bool qvDumpDraw::draw_shape(qvShapeBase const& record) {
    qvDumpDriverUser* const user = sink();
    if (user == nullptr || palette_ == nullptr || !qvShapeRecordValid(record))
        return false;
    qvPalette& p = *palette_;
    const long a = record.attribute_handle;
    auto points = [this] { return points_.empty() ? nullptr : points_.data(); };
    auto tags = [this] { return tags_.empty() ? nullptr : tags_.data(); };
    auto count = [&record] { return qvShapeRecordPointCount(record); };

    switch (record.kind) {
    case qvRectangleKind:
        line(*user, p, a);
        fill(*user, p, a);
        user->rectangle(record.bbox());
        return true;
    case qvEllipseKind:
        line(*user, p, a);
        fill(*user, p, a);
        user->ellipse(record.bbox());
        return true;
    case qvCompactPolyMarkerKind:
    case qvExactPolyMarkerKind:
        qvDecodeShapeRecordPoints(record, points_, tags_);
        fill(*user, p, a);
        line(*user, p, a);
        marker(*user, p, a);
        user->polymarker(points(), count());
        return true;
    case qvCompactPolylineKind:
    case qvExactPolylineKind:
        qvDecodeShapeRecordPoints(record, points_, tags_);
        line(*user, p, a);
        user->polyline(points(), count());
        return true;
    case qvCompactPolygonKind:
    case qvExactPolygonKind:
        qvDecodeShapeRecordPoints(record, points_, tags_);
        fill(*user, p, a);
        line(*user, p, a);
        user->polygon(points(), count());
        return true;
    case qvCompactBezierKind:
    case qvExactBezierKind:
        qvDecodeShapeRecordPoints(record, points_, tags_);
        fill(*user, p, a);
        line(*user, p, a);
        user->bezier(points(), tags(), count());
        return true;
    case qvRestrictedTextKind:
    case qvScaledTextKind: {
        qvTextData const& text = qvShapeRecordData<qvTextData>(record);
        if (text.length == 0)
            return true;
        // The check found the text's zero within the record.
        fill(*user, p, a);
        font(*user, p, a);
        if (record.kind == qvRestrictedTextKind)
            user->restricted_text(text.text(), text.anchor, text.angle, static_cast<unsigned>(text.alignment));
        else
            user->scaled_text(text.text(), text.anchor, text.height, static_cast<double>(text.stretch), text.angle,
                              static_cast<unsigned>(text.alignment));
        return true;
    }
    case qvRestrictedImageKind:
    case qvScaledImageKind: {
        qvImageData const& image = qvShapeRecordData<qvImageData>(record);
        qvColorMapEntry const* const colors = image.header.color_count > 0 ? image.colormap() : nullptr;
        unsigned char const* const pixels = image.pixel_bytes() > 0 ? image.pixels() : nullptr;
        if (record.kind == qvRestrictedImageKind) {
            qvRestrictedImageData const& r = qvShapeRecordData<qvRestrictedImageData>(record);
            user->restricted_image(image.anchor, static_cast<unsigned>(r.alignment), image.header, colors, pixels);
        } else {
            qvScaledImageData const& s = qvShapeRecordData<qvScaledImageData>(record);
            user->scaled_image(image.anchor, s.x_vector, s.y_vector, image.header, colors, pixels);
        }
        return true;
    }
    default:
        return false;
    }
}
