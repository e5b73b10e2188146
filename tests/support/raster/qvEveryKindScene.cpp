// The every-kind scene (see qvEveryKindScene.hpp).

#include "qvEveryKindScene.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBitmapLayout.hpp>
#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactBezier.hpp>
#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledImage.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvShapeKind.hpp>


namespace {

using P = qvCrdOf<double>;

// A small RGBA picture whose every pixel differs from its neighbours.
qvBitmap every_kind_picture(int width, int height) {
    qvBitmap picture(qvBitmapLayout(qvRgbaBitmap), width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* bgra = picture.pixel(x, y);
            bgra[0] = static_cast<unsigned char>(40 * y);
            bgra[1] = static_cast<unsigned char>(60 * x);
            bgra[2] = static_cast<unsigned char>(200 - 30 * x - 20 * y);
            bgra[3] = 255;
        }
    return picture;
}

}  // namespace

std::vector<int> const& qvEveryKindScene::kinds() {
    static const std::vector<int> all{qvRectangleKind,         qvEllipseKind,         qvCompactPolyMarkerKind,
                                      qvExactPolyMarkerKind,   qvCompactPolylineKind, qvExactPolylineKind,
                                      qvCompactPolygonKind,    qvExactPolygonKind,    qvCompactBezierKind,
                                      qvExactBezierKind,       qvRestrictedTextKind,  qvScaledTextKind,
                                      qvRestrictedImageKind,   qvScaledImageKind};
    return all;
}

qvEveryKindScene::qvEveryKindScene() {
    int index = 0;
    for (const int kind : kinds()) {
        // The cell of this shape: 4 columns of 45, rows of 32.
        const double x = 45.0 * (index % 4) + 4, y = 32.0 * (index / 4) + 4;
        const double k = index;
        Style style;
        style.fill = qvRgbColor(0.1 + 0.05 * k, 0.8 - 0.04 * k, 0.3);
        style.line = qvRgbColor(0.9 - 0.05 * k, 0.15, 0.05 * k);
        qvAttributeProxy attributes(scene_, 0);
        attributes.line_style(qvLineStyle{2});
        attributes.line_color(style.line);
        attributes.fill_style(qvFillStyle{2});
        attributes.fill_color(style.fill);
        qvAttributeFolderInterface* const a = &attributes;

        const P zig[] = {{x, y}, {x + 12, y + 20}, {x + 24, y + 3}, {x + 36, y + 22}};
        const P shape[] = {{x, y}, {x + 36, y + 4}, {x + 18, y + 24}, {x + 30, y + 12}, {x + 4, y + 20}};
        switch (kind) {
        case qvRectangleKind: qvRectangle(scene_, x, y, x + 36, y + 24, a); break;
        case qvEllipseKind: qvEllipse(scene_, qvMathRectOf<double>(x, y, x + 36, y + 24), a); break;
        case qvCompactPolyMarkerKind: qvPolyMarker(scene_, 4, zig, a); break;
        case qvExactPolyMarkerKind: qvExactPolyMarker(scene_, 4, zig, a); break;
        case qvCompactPolylineKind: qvPolyline(scene_, 4, zig, a); break;
        case qvExactPolylineKind: qvExactPolyline(scene_, 4, zig, a); break;
        case qvCompactPolygonKind: qvPolygon(scene_, 5, shape, a); break;
        case qvExactPolygonKind: qvExactPolygon(scene_, 5, shape, a); break;
        case qvCompactBezierKind: {
            const P curve[] = {{x, y + 12}, {x + 6, y - 4}, {x + 30, y - 4}, {x + 36, y + 12},
                               {x + 30, y + 28}, {x + 6, y + 28}, {x, y + 12}};
            const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOnCurve,
                                       qvPointControl, qvPointControl, qvPointClosedEnd};
            qvBezier(scene_, 7, curve, tags, a);
            break;
        }
        case qvExactBezierKind: {
            const P curve[] = {{x, y + 20}, {x + 10, y - 10}, {x + 26, y + 34}, {x + 36, y + 4}};
            const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, qvPointControl, qvPointOpenEnd};
            qvExactBezier(scene_, 4, curve, tags, a);
            break;
        }
        case qvRestrictedTextKind: qvRestrictedText(scene_, P{x, y + 4}, "O", a, nullptr); break;
        case qvScaledTextKind: qvScaledText(scene_, P{x, y + 4}, "sc", 0.5, a); break;
        case qvRestrictedImageKind: {
            // Centred on its anchor (alignment 15), 36 x 24 model units.
            qvRestrictedImage image(scene_, P{x + 18, y + 12}, every_kind_picture(5, 4), 15, a);
            image->resolution(36, 24);
            break;
        }
        case qvScaledImageKind:
            qvScaledImage(scene_, P{x, y}, every_kind_picture(4, 3), P{32, 0}, P{0, 24}, a);
            break;
        default: break;
        }
        style.attribute = attributes.attribute_handle();
        styles_[kind] = style;
        ++index;
    }
}

long qvEveryKindScene::attribute(int kind) const {
    const auto found = styles_.find(kind);
    return found == styles_.end() ? 0 : found->second.attribute;
}

qvRgbColor qvEveryKindScene::fill_color(int kind) const {
    const auto found = styles_.find(kind);
    return found == styles_.end() ? qvRgbColor() : found->second.fill;
}

qvRgbColor qvEveryKindScene::line_color(int kind) const {
    const auto found = styles_.find(kind);
    return found == styles_.end() ? qvRgbColor() : found->second.line;
}
