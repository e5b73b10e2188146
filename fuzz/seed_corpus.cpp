// orvane_fuzz_seeds DIR: writes a seed corpus for every fuzz target into
// DIR/<target>/, each seed made by the library's own writers, so the seeds
// follow the formats as they are written today. Selector bytes come first
// where a target serves several loaders (see each target).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvColorRamp.hpp>
#include <orvane/attributes/qvConicalGradient.hpp>
#include <orvane/attributes/qvConicalGradientIO.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvCustomBrushIO.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvLinearGradient.hpp>
#include <orvane/attributes/qvLinearGradientIO.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/attributes/qvRadialGradient.hpp>
#include <orvane/attributes/qvRadialGradientIO.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvObjectRegistryInternal.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvShapeList.hpp>
#include <orvane/scenes/qvQTree.hpp>
#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>
#include <orvane/shapes/qvSimpleArc.hpp>
#include <orvane/shapes/qvSimpleBezier.hpp>
#include <orvane/shapes/qvSimpleCompactBezier.hpp>
#include <orvane/shapes/qvSimpleCompactPolyMarker.hpp>
#include <orvane/shapes/qvSimpleCompactPolygon.hpp>
#include <orvane/shapes/qvSimpleCompactPolyline.hpp>
#include <orvane/shapes/qvSimpleEllipse.hpp>
#include <orvane/shapes/qvSimplePieSlice.hpp>
#include <orvane/shapes/qvSimplePolyMarker.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>
#include <orvane/shapes/qvSimplePolyline.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>
#include <orvane/shapes/qvSimpleRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleRestrictedText.hpp>
#include <orvane/shapes/qvSimpleScaledImage.hpp>
#include <orvane/shapes/qvSimpleScaledText.hpp>

#include <orvane/geometry/qvRotation.hpp>
#include <orvane/rendering/qvBitmapTransformation.hpp>

#include "bitmap_transform_input.hpp"
#include "core/qvStreamFields.hpp"
#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const qvVersion v000{0};
const qvVersion v341 = qvVersion::default_version();

class Corpus {
public:
    Corpus(fs::path root, char const* target) : dir_(std::move(root) / target) {
        fs::create_directories(dir_);
    }

    // One seed: the selector (when not negative), then what `write` puts on
    // a stream of `version`, behind its header when `header` is set.
    void add(std::function<void(qvOutputStream&)> const& write, qvVersion version = v000, bool header = false,
             int selector = -1) {
        std::stringbuf buffer;
        if (selector >= 0) buffer.sputc(static_cast<char>(selector));
        {
            qvOutputStream out(&buffer, version, header);
            write(out);
        }
        std::ofstream(dir_ / ("seed-" + std::to_string(++count_)), std::ios::binary) << buffer.str();
    }

    // One seed of the given bytes, as they are.
    void add_raw(std::string const& bytes) {
        std::ofstream(dir_ / ("seed-" + std::to_string(++count_)), std::ios::binary) << bytes;
    }

private:
    fs::path dir_;
    int count_ = 0;
};

void stream_seeds(fs::path const& root) {
    Corpus c(root, "stream_fuzz");
    auto mixed = [](qvOutputStream& out) {
        out.put(0);   // op: string into qvString
        out << qvString("pen/color_device/line_width");
        out.put(1);   // op: string into a char array
        out << "";
        out.put(5);
        qvWriteInt32(out, -7);
        out.put(6);
        qvWriteValue(out, 2.5);
        out.put(3 | 4 << 3);
        out.putn("abcd", 4);
    };
    c.add(mixed, v341, true);
    c.add(mixed, v000, false);
    c.add([](qvOutputStream&) {}, v341, true);
}

void registry_seeds(fs::path const& root) {
    Corpus c(root, "registry_fuzz");
    std::unique_ptr<qvObjectRegistryInternal> small(qvObjectRegistryInternal::create());
    for (char const* name : {"a", "b", "c", "d"}) small->insert(name, nullptr);
    small->remove(2);
    small->remove(4);
    c.add([&](qvOutputStream& out) { small->save(out); });
    c.add([](qvOutputStream& out) { qvFolder::registry()->save(out); });
    c.add([](qvOutputStream& out) { qvPropertyClass::registry()->save(out); });
}

void value_seeds(fs::path const& root) {
    Corpus c(root, "values_fuzz");
    const double dashes[4] = {3, 1.5, 0.25, 8};
    for (qvVersion v : {v000, v341}) {
        c.add([](qvOutputStream& out) { out << qvRgbColor(0.2, 0.4, 0.6); }, v, true, 0);
        c.add([](qvOutputStream& out) { out << qvGrayColor(0.5f); }, v, true, 1);
    }
    c.add([&](qvOutputStream& out) { out << qvLinePattern(dashes, 4, 0.5); }, v000, false, 2);
    c.add([](qvOutputStream& out) { out << qvLinePattern(); }, v000, false, 2);
    c.add([](qvOutputStream& out) { out << qvMarkerSize(6.0); }, v000, false, 3);
}

// Small bitmaps of every type, pixels in a fixed pattern.
std::vector<qvBitmap> sample_bitmaps() {
    std::vector<qvBitmap> out;
    for (qvStandardBitmapType type : {qvMonochromeBitmap, qvIndexedBitmap, qvRgbaBitmap}) {
        for (int side : {1, 5, 13}) {
            qvBitmap b(qvBitmapLayout(type), side, side + 2);
            for (long i = 0; i < b.size(); ++i) b.data()[i] = static_cast<unsigned char>(i * 37 + side);
            if (type == qvIndexedBitmap)
                b.colormap(qvColorRamp(side + 1, qvRgbColor(1.0f, 0.5f, 0.0f), qvRgbColor(0.0f, 0.0f, 1.0f)));
            if (side == 5) {
                b.dpi(96, 150);
                b.transparent_index(1);
            }
            out.push_back(b);
        }
    }
    return out;
}

void bitmap_seeds(fs::path const& root) {
    Corpus c(root, "bitmap_fuzz");
    c.add([](qvOutputStream& out) { qvColorCube().save(out); }, v000, false, 0);
    c.add([](qvOutputStream& out) { qvColorMap(3).save(out); }, v000, false, 0);
    const qvColorMapEntry sparse[3] = {
        {qvBitmapColor(10, 20, 30), 7}, {qvBitmapColor(1, 2, 3), 2}, {qvBitmapColor(9, 9, 9), 200}};
    c.add([&](qvOutputStream& out) { qvColorMap(sparse, 3, false).save(out); }, v000, false, 0);
    for (qvBitmap const& b : sample_bitmaps())
        c.add([&](qvOutputStream& out) { b.save(out); }, v000, false, 1);
}

void brush_seeds(fs::path const& root) {
    Corpus c(root, "brush_fuzz");
    qvLinearGradient linear(qvCrdOf<double>(0, 0), qvRgbColor(1.0f, 0.0f, 0.0f), qvCrdOf<double>(4, 2),
                            qvRgbColor(0.0f, 0.0f, 1.0f, 0.5f));
    linear->add_stop(0.25, qvRgbColor(0.0f, 1.0f, 0.0f));
    linear->setting_a(2);
    linear->transformation(qvTransformation(2, 0.5, -0.5, 1, 3, 4));
    const qvRadialGradient radial(qvCrdOf<double>(1, 1), qvRgbColor(1.0f, 1.0f, 1.0f), 3.0,
                                  qvRgbColor(0.0f, 0.0f, 0.0f), qvCrdOf<double>(1.5, 1));
    const qvConicalGradient conical(qvCrdOf<double>(0, 0), qvRgbColor(0.5f, 0.5f, 0.5f), 45.0,
                                    qvRgbColor(1.0f, 0.0f, 1.0f));
    const qvCustomBrush brushes[4] = {linear, radial, conical, qvCustomBrush()};
    for (qvCustomBrush const& b : brushes) {
        c.add([&](qvOutputStream& out) { b.save(out); }, v341, false, 0);
        c.add([&](qvOutputStream& out) { qvCustomBrushIO::save(out, b); }, v341, false, 1);
    }
    c.add([&](qvOutputStream& out) { qvLinearGradientIO::save(out, linear); }, v341, false, 2);
    c.add([&](qvOutputStream& out) { qvRadialGradientIO::save(out, radial); }, v341, false, 3);
    c.add([&](qvOutputStream& out) { qvConicalGradientIO::save(out, conical); }, v341, false, 4);
}

void image_seeds(fs::path const& root) {
    Corpus bmp(root, "bmp_fuzz"), gif(root, "gif_fuzz");
    bool interlaced = false;
    for (qvBitmap const& b : sample_bitmaps()) {
        bmp.add([&](qvOutputStream& out) { qvSaveToBmp(out, b); });
        gif.add([&](qvOutputStream& out) { qvSaveToGif(out, b, interlaced, !interlaced); });
        interlaced = !interlaced;
    }
}

// Palettes holding a value of many property classes: colours, numbers,
// patterns, bitmaps, brushes, names, shared and unshared attributes.
void palette_seeds(fs::path const& root) {
    Corpus c(root, "palette_fuzz");
    auto folder = [](char const* path) -> qvFolder const& { return *qvFolder::folder_by_name(path); };
    const double dashes[2] = {4, 2};
    const qvLinePattern pattern(dashes, 2, 1);
    const qvWrap<double> width{1.5};
    const qvRgbColor blue(0.0f, 0.0f, 1.0f, 0.5f);
    const qvMarkerSize marker(6.0);
    const qvCustomBrush brush = qvLinearGradient(qvCrdOf<double>(0, 0), qvRgbColor(1.0f, 1.0f, 1.0f),
                                                 qvCrdOf<double>(1, 1), qvRgbColor(0.0f, 0.0f, 0.0f));
    const qvBitmap image = sample_bitmaps()[4];
    auto fill = [&](qvPalette& p) {
        long a = p.alloc(false);
        a = p.property(a, folder("pen/color_device/color"), &blue, false);
        a = p.property(a, folder("pen/color_device/line_width"), &width, false);
        a = p.property(a, folder("pen/color_device/line_pattern"), &pattern, false);
        long b = p.alloc(true);
        b = p.property(b, folder("marker/color_device/marker_size"), &marker, true);
        b = p.property(b, folder("brush/color_device/fill_custom_brush"), &brush, true);
        long c2 = p.alloc(false);
        c2 = p.property(c2, folder("brush/color_device/fill_image"), &image, false);
        c2 = p.add_name(c2, "named attribute", false);
    };
    for (int matching : {0, 1}) {
        for (qvVersion v : {v000, v341}) {
            std::unique_ptr<qvPalette> p;
            if (matching)
                p = std::make_unique<qvMatchingPalette>();
            else
                p = std::make_unique<qvStandardPalette>();
            fill(*p);
            c.add([&](qvOutputStream& out) { p->save(out); }, v, true, matching);
        }
        c.add([](qvOutputStream& out) { qvStandardPalette().save(out); }, v341, true, matching);
    }
}

// One record of every standard kind, laid out as their data structs place
// their parts, and a flavour record.
std::vector<std::unique_ptr<qvShapeBase>> sample_records() {
    std::vector<std::unique_ptr<qvShapeBase>> out;
    auto make = [&out](long kind, int extra) -> char* {
        out.emplace_back(qvNewShapeRecord(qvFixedRecordSize(kind) + extra));
        qvShapeBase& r = *out.back();
        r.kind = static_cast<std::int32_t>(kind);
        r.proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(kind));
        r.shape_handle = static_cast<std::int32_t>(out.size());
        r.box = qvMathRectOf<float>(-1.5f, 2, 10, 20.25f);
        return reinterpret_cast<char*>(&r);
    };
    for (long kind : {qvRectangleKind, qvEllipseKind, qvArcKind, qvPieSliceKind}) make(kind, 0);
    for (long kind : {qvCompactPolyMarkerKind, qvCompactPolylineKind, qvCompactPolygonKind}) {
        auto& d = *reinterpret_cast<qvCompactPointSetData*>(make(kind, 3 * 4) + 40);
        d.count = 3;
        qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
        for (int i = 0; i < 3; ++i) d.nodes()[i] = {static_cast<std::uint16_t>(i * 30000), 65535};
    }
    for (long kind : {qvExactPolyMarkerKind, qvExactPolylineKind, qvExactPolygonKind}) {
        auto& d = *reinterpret_cast<qvPointSetData*>(make(kind, 3 * 16) + 40);
        d.count = 3;
        qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
        for (int i = 0; i < 3; ++i) d.nodes()[i] = {i * 2.5, -i * 1.0};
    }
    {
        auto& d = *reinterpret_cast<qvCompactBezierData*>(make(qvCompactBezierKind, 4 * 8) + 40);
        d.count = 4;
        qvSelfRelative::point(d.offset, reinterpret_cast<char*>(&d) + 8);
        for (int i = 0; i < 4; ++i) d.nodes()[i] = {{static_cast<std::uint16_t>(i * 20000), 100}, i == 3 ? qvPointOpenEnd : qvPointControl};
        auto& e = *reinterpret_cast<qvBezierData*>(make(qvExactBezierKind, 4 * 24) + 40);
        e.count = 4;
        qvSelfRelative::point(e.offset, reinterpret_cast<char*>(&e) + 8);
        for (int i = 0; i < 4; ++i) e.nodes()[i] = {{i * 1.0, i * i * 1.0}, i == 3 ? qvPointClosedEnd : qvPointOnCurve, 0};
    }
    for (long kind : {qvRestrictedTextKind, qvScaledTextKind}) {
        const char text[] = "Orvane";
        auto& d = *::new (make(kind, sizeof text) + 40) qvTextData();
        d.anchor = {3, 4};
        d.extent = {6, 0.25, 0.75};
        d.length = static_cast<std::int16_t>(sizeof text - 1);
        qvSelfRelative::point(d.text_offset, reinterpret_cast<char*>(&d) + sizeof(qvTextData));
        std::memcpy(d.text(), text, sizeof text);
    }
    {
        qvBitmapHeader indexed(qvBitmapLayout(qvIndexedBitmap), 3, 2);
        indexed.color_count = 2;
        char* const base = make(qvRestrictedImageKind, 8 + 8);
        auto& d = *::new (base + 40) qvRestrictedImageData();
        d.image.header = indexed;
        d.x_resolution = 3;
        d.y_resolution = 2;
        d.image.place_parts(base + 136);
        std::memset(d.image.colormap(), 0x40, 8);
        std::memset(d.image.pixels(), 1, 8);
    }
    {
        char* const base = make(qvScaledImageKind, 16);
        auto& d = *::new (base + 40) qvScaledImageData();
        d.image.header = qvBitmapHeader(qvBitmapLayout(qvRgbaBitmap), 2, 2);
        d.x_vector = {4, 0};
        d.y_vector = {0, 4};
        d.image.place_parts(base + 144);
        std::memset(d.image.pixels(), 0x7F, 16);
    }
    auto* const flavour = reinterpret_cast<qvShapeBase*>(make(qvRectangleKind, 0));
    flavour->kind = 42;   // a flavour shape, whose 8 data bytes are its own
    flavour->proxy_class_id = 0;
    return out;
}

// Records of the box-shaped kinds as their stand-alone shapes write them
// (proxy class id 0): boxes left inverted, angles beyond a turn and not a
// number, a record grown beyond its kind's size.
std::vector<std::unique_ptr<qvShapeBase>> box_shape_records() {
    std::vector<std::unique_ptr<qvShapeBase>> out;
    auto keep = [&out](qvShapeBase const* record) {
        out.emplace_back(qvNewShapeRecord(record->size));
        std::memcpy(static_cast<void*>(out.back().get()), record, static_cast<std::size_t>(record->size));
    };
    qvSimpleRectangle rectangle;
    rectangle->rectangle(qvMathRectOf<double>(qvRectOf<double>(3, 3, 1, 1)));
    keep(rectangle->record());
    qvSimpleEllipse ellipse;
    ellipse->center(qvCrdOf<double>(10, 20));
    ellipse->radius(-5);
    keep(ellipse->record());
    ellipse->x_radius(FLT_MAX);   // the largest a shape takes: its box at the float range
    keep(ellipse->record());
    qvSimpleArc arc;
    arc->rectangle(qvMathRectOf<double>(-2, -1, 2, 1));
    arc->span(-45, 720);
    keep(arc->record());
    qvSimplePieSlice slice;
    slice->span(std::nan(""), 90);
    slice->allocate(8);
    keep(slice->record());
    return out;
}

// Records of the point-set and Bezier kinds as their stand-alone shapes
// write them: a frame widened by the frame rule, a set emptied again (its
// record longer than its count needs), tags outside 1 to 4, a curve closed
// on a copy of its first point, and points not a number.
std::vector<std::unique_ptr<qvShapeBase>> point_set_records() {
    std::vector<std::unique_ptr<qvShapeBase>> out;
    auto keep = [&out](qvShapeBase const* record) {
        out.emplace_back(qvNewShapeRecord(record->size));
        std::memcpy(static_cast<void*>(out.back().get()), record, static_cast<std::size_t>(record->size));
    };
    const qvCrdOf<double> points[] = {{0, 0}, {0.5, 0}, {10, 20}, {-3, 4.25}};
    const qvPointTag tags[] = {qvPointOnCurve, qvPointControl, static_cast<qvPointTag>(7), qvPointControl};
    qvSimpleCompactPolygon polygon;
    polygon->insert(0, 2, points);
    keep(polygon->record());
    polygon->insert(2, 2, points + 2);
    keep(polygon->record());
    polygon->remove(0, 4);
    keep(polygon->record());
    qvSimpleCompactPolyline polyline;
    polyline->insert(0, 4, points);
    polyline->rectangle(qvMathRectOf<double>(qvRectOf<double>(5, 5, -5, -5)));
    keep(polyline->record());
    qvSimpleCompactPolyMarker markers;
    markers->insert(0, 3, points + 1);
    keep(markers->record());
    qvSimplePolygon exact_polygon;
    exact_polygon->insert(0, 4, points);
    keep(exact_polygon->record());
    qvSimplePolyline exact_polyline;
    exact_polyline->insert(0, 4, points);
    exact_polyline->remove(1, 2);
    keep(exact_polyline->record());
    // A shape refuses points no record should hold, but a record read from
    // outside may carry them: these are written as stand-ins, then their
    // bytes are put in the kept record.
    qvSimplePolyMarker exact_markers;
    const qvCrdOf<double> stand_ins[] = {{1234.5, 1}, {2345.25, -3456.75}};
    exact_markers->insert(0, 2, stand_ins);
    keep(exact_markers->record());
    auto put = [&out](double stand_in, double odd) {
        auto* const bytes = reinterpret_cast<unsigned char*>(out.back().get());
        const std::size_t size = static_cast<std::size_t>(out.back()->size);
        for (std::size_t at = 0; at + sizeof(double) <= size; ++at)
            if (std::memcmp(bytes + at, &stand_in, sizeof(double)) == 0)
                std::memcpy(bytes + at, &odd, sizeof(double));
    };
    put(1234.5, std::nan(""));
    put(2345.25, 1e300);
    put(-3456.75, -1e300);
    qvSimpleCompactBezier compact_curve;
    compact_curve->insert(0, 4, points, tags);
    compact_curve->close_segment();
    keep(compact_curve->record());
    qvSimpleBezier curve;
    curve->insert(0, 4, points, tags);
    curve->close_segment();
    keep(curve->record());
    curve->insert_bezier(1, qvCrdOf<double>(2, 2), qvCrdOf<double>(3, 3), qvCrdOf<double>(4, 1));
    curve->end_segment();
    keep(curve->record());
    return out;
}

// Records of both text kinds as their stand-alone proxies write them (proxy
// class id 0, the new header's box), and each again as its in-scene proxy
// stamps it (proxy class 7 or 8, the text box in the header): a new record
// with no text placed, the empty text placed, a measured text turned and
// sheared, and a record left longer than a shortened text.
std::vector<std::unique_ptr<qvShapeBase>> text_records() {
    std::vector<std::unique_ptr<qvShapeBase>> out;
    auto keep = [&out](qvShapeBase const* record, qvTextDataAccess& text) {
        for (int in_scene = 0; in_scene < 2; ++in_scene) {
            out.emplace_back(qvNewShapeRecord(record->size));
            std::memcpy(static_cast<void*>(out.back().get()), record, static_cast<std::size_t>(record->size));
            if (in_scene == 0) continue;
            out.back()->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(record->kind));
            const qvMathRectOf<double> box = text.bbox();
            out.back()->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
        }
    };
    qvSimpleRestrictedText restricted;
    restricted->anchor(qvCrdOf<double>(3, 4));
    keep(restricted->record(), *restricted);
    restricted->text("");
    keep(restricted->record(), *restricted);
    restricted->text("Orvane text");
    restricted->extent(qvExtent{66, 1.5, 4.5});
    restricted->angle(30);
    restricted->aperture(75);
    restricted->alignment(15);
    keep(restricted->record(), *restricted);
    restricted->text("Or");
    keep(restricted->record(), *restricted);
    qvSimpleScaledText scaled;
    scaled->text("scaled");
    scaled->extent(qvExtent{6, 0.25, 0.75});
    scaled->height(2.5);
    scaled->stretch(1.5f);
    scaled->alignment(20);
    keep(scaled->record(), *scaled);
    return out;
}

// Records of both image kinds as their stand-alone proxies write them, and
// each again as its in-scene proxy stamps it (proxy class 9 or 10, the
// image box in the header): a 256-colour indexed bitmap, an RGBA one without
// colours, a bitmap with rows wider than its pixels need, and the new record.
std::vector<std::unique_ptr<qvShapeBase>> image_records() {
    std::vector<std::unique_ptr<qvShapeBase>> out;
    auto keep = [&out](qvShapeBase const* record, qvQueryBboxDataAccess& image) {
        for (int in_scene = 0; in_scene < 2; ++in_scene) {
            out.emplace_back(qvNewShapeRecord(record->size));
            std::memcpy(static_cast<void*>(out.back().get()), record, static_cast<std::size_t>(record->size));
            if (in_scene == 0) continue;
            out.back()->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(record->kind));
            const qvMathRectOf<double> box = image.bbox();
            out.back()->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<qvRectOf<double> const&>(box)));
        }
    };
    qvBitmap indexed(qvBitmapLayout(qvIndexedBitmap), 8, 2);
    std::vector<qvColorMapEntry> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[static_cast<std::size_t>(i)] = qvColorMapEntry(qvBitmapColor(static_cast<unsigned char>(i), 0, 255), static_cast<unsigned char>(i));
    indexed.colormap(qvColorMapReference(256, true, colours.data()));
    for (int i = 0; i < 16; ++i) indexed.data()[i] = static_cast<unsigned char>(i * 16);
    qvBitmap rgba(qvBitmapLayout(qvRgbaBitmap), 2, 2);
    for (int i = 0; i < 16; ++i) rgba.data()[i] = static_cast<unsigned char>(0x80 + i);
    qvBitmapHeader wide(qvBitmapLayout(qvIndexedBitmap), 3, 2);
    wide.row_bytes = 12;
    wide.image_size = 24;
    unsigned char wide_pixels[24] = {1, 2, 3};

    qvSimpleRestrictedImage restricted;
    restricted->anchor(qvCrdOf<double>(0, 0));
    keep(restricted->record(), *restricted);
    restricted->bitmap(indexed);
    restricted->anchor(qvCrdOf<double>(5, 6));
    restricted->alignment(15);
    restricted->adjust_extent(nullptr);
    keep(restricted->record(), *restricted);
    qvSimpleRestrictedImage narrow;
    narrow->bitmap(qvBitmapReference(&wide, wide_pixels, nullptr));
    narrow->resolution(3, 2);
    keep(narrow->record(), *narrow);
    qvSimpleScaledImage scaled;
    scaled->bitmap(rgba);
    scaled->vectors(qvCrdOf<double>(4, 1), qvCrdOf<double>(-1, 3));
    keep(scaled->record(), *scaled);
    qvSimpleScaledImage coloured;
    coloured->bitmap(indexed);
    coloured->vectors(qvCrdOf<double>(8, 0), qvCrdOf<double>(0, 2));
    keep(coloured->record(), *coloured);
    return out;
}

// Written records of every kind, one a seed and all in one.
void written_record_seeds(fs::path const& root, char const* target) {
    Corpus c(root, target);
    auto records = sample_records();
    for (auto& r : box_shape_records()) records.push_back(std::move(r));
    for (auto& r : point_set_records()) records.push_back(std::move(r));
    for (auto& r : text_records()) records.push_back(std::move(r));
    for (auto& r : image_records()) records.push_back(std::move(r));
    for (auto const& r : records) c.add([&](qvOutputStream& out) { qvWriteShapeRecord(out, *r); });
    c.add([&](qvOutputStream& out) {
        for (auto const& r : records) qvWriteShapeRecord(out, *r);
    });
}

void shape_record_seeds(fs::path const& root) { written_record_seeds(root, "shape_record_fuzz"); }

// The same records for the hit tests.
void selector_seeds(fs::path const& root) { written_record_seeds(root, "selector_fuzz"); }

// Raw records of every kind, as the draw target reads its input.
void shape_draw_seeds(fs::path const& root) {
    Corpus c(root, "shape_draw_fuzz");
    auto records = sample_records();
    for (auto& r : point_set_records()) records.push_back(std::move(r));
    for (auto& r : text_records()) records.push_back(std::move(r));
    for (auto& r : image_records()) records.push_back(std::move(r));
    for (auto const& r : records)
        c.add_raw(std::string(reinterpret_cast<char const*>(r.get()), static_cast<std::size_t>(r->size)));
}

// Raw records of the kinds a scene port maps (and a few it refuses), each
// once with attribute handle 0 and once with each attribute of the scene
// port target's palette (handles 1 to 3).
void scene_port_seeds(fs::path const& root) {
    Corpus c(root, "scene_port_fuzz");
    auto records = sample_records();
    for (auto& r : box_shape_records()) records.push_back(std::move(r));
    for (auto& r : point_set_records()) records.push_back(std::move(r));
    for (auto& r : image_records()) records.push_back(std::move(r));
    // Images far wider than the window once turned: one without pixels
    // (which once cost seconds a draw) and one a pixel high.
    for (int height : {0, 1}) {
        qvSimpleRestrictedImage wide;
        wide->bitmap(qvBitmap(qvBitmapLayout(qvRgbaBitmap), 4352, height));
        wide->anchor(qvCrdOf<double>(40, 30));
        wide->alignment(15);
        records.emplace_back(qvNewShapeRecord(wide->record()->size));
        std::memcpy(static_cast<void*>(records.back().get()), wide->record(),
                    static_cast<std::size_t>(wide->record()->size));
        records.back()->kind = qvRestrictedImageKind;
    }
    for (auto const& r : records)
        for (std::int32_t attribute = 0; attribute <= 3; ++attribute) {
            r->attribute_handle = attribute;
            c.add_raw(std::string(reinterpret_cast<char const*>(r.get()), static_cast<std::size_t>(r->size)));
        }
}

// Shape lists and memory scenes holding the sample records; the selector
// of scene_stream_fuzz picks list or scene, its layers and palette owning.
void scene_stream_seeds(fs::path const& root) {
    Corpus c(root, "scene_stream_fuzz");
    const auto records = sample_records();
    auto fill = [&](qvContainerScene& scene) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            qvShapeBase& r = *scene.allocate(records[i]->size, nullptr);
            const std::int32_t handle = r.shape_handle;
            std::memcpy(static_cast<void*>(&r), records[i].get(), static_cast<std::size_t>(records[i]->size));
            r.shape_handle = handle;
            if (i % 2 == 1) scene.shape_layer(handle, 1);
        }
    };
    qvShapeList list(0);
    for (auto const& r : records) {
        qvShapeBase* const copy = qvNewShapeRecord(r->size);
        std::memcpy(static_cast<void*>(copy), r.get(), static_cast<std::size_t>(r->size));
        list.create(copy);
    }
    c.add([&](qvOutputStream& out) { list.save(out); }, v000, false, 0);
    c.add([&](qvOutputStream& out) { qvShapeList(1).save(out); }, v000, false, 0);

    qvStandardPalette palette;
    qvMemoryScene shared(2, &palette, false);
    fill(shared);
    c.add([&](qvOutputStream& out) { shared.save(out); }, v000, false, 1 | 2);
    c.add([&](qvOutputStream& out) { shared.save(out); }, v000, false, 1 | 4);
    c.add([&](qvOutputStream& out) { qvMemoryScene(3, &palette, false).save(out); }, v000, false, 1);
    qvMemoryScene owning(2);
    fill(owning);
    long a = owning.palette().alloc(false);
    const qvWrap<double> width{1.5};
    a = owning.palette().property(a, *qvFolder::folder_by_name("pen/color_device/line_width"), &width, false);
    for (qvVersion v : {v000, v341})
        c.add([&](qvOutputStream& out) { owning.save(out); }, v, true, 1 | 8);
    // Paged scenes (selector bit 4) read the memory scene's stream form.
    c.add([&](qvOutputStream& out) { shared.save(out); }, v000, false, 16 | 2);
    c.add([&](qvOutputStream& out) { shared.save(out); }, v000, false, 16);
}

// A paged scene file closed with its layout: three layers, the middle one
// deleted (a hole), records in the first and the last.
void paged_scene_layout_seed(fs::path const& name) {
    qvPagedSceneFile file;
    file.create(name.string().c_str(), std::size_t{1} << 20);
    {
        qvMatchingPalette palette;
        qvPagedSceneSegment segment(file);
        qvBasicPagedScene scene(file, &palette, false);
        scene.add_segment(segment, true);
        scene.create(qvMathRectOf<double>(0, 0, 1000, 1000));
        for (int l = 0; l < 3; ++l) scene.insert_layer(l);
        qvMemoryScene records(3, &palette, false);
        for (auto const& r : sample_records()) {
            qvShapeBase& copy = *records.allocate(r->size, nullptr);
            const std::int32_t handle = copy.shape_handle;
            std::memcpy(static_cast<void*>(&copy), r.get(), static_cast<std::size_t>(r->size));
            copy.shape_handle = handle;
            records.shape_layer(handle, 2);
        }
        std::stringbuf buffer;
        {
            qvOutputStream out(&buffer, v000, false);
            records.save(out);
        }
        qvInputStream in(&buffer);
        scene.load(in);
        scene.delete_layer(1);
        scene.close();
    }
    file.close();
}

// Page files with page streams: a header-only stream, a stream of three
// pages beside a short one (written through the mapped device), and a
// stream rewritten shorter, whose freed pages stay behind.
void page_stream_seeds(fs::path const& dir) {
    auto bytes = [](std::size_t n) {
        std::string out(n, '\0');
        for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(i * 7);
        return out;
    };
    auto write = [](qvPageDevice& device, char const* name, std::string const& data) {
        qvPageOStream out(device, name);
        out.putn(data.data(), static_cast<int>(data.size()));
        out.close();
    };
    qvPagedSceneFile file;
    file.create((dir / "seed-4").string().c_str(), 0);
    qvPageOStream(file.device(), "$Layout").close();
    file.close();
    file.create((dir / "seed-5").string().c_str(), -1);
    write(file.device(), "$Layout", bytes(40000));
    write(file.device(), "$UserData", bytes(100));
    file.close();
    file.create((dir / "seed-6").string().c_str(), 0);
    write(file.device(), "$UserData", bytes(40000));
    write(file.device(), "$UserData", bytes(20000));
    file.close();
}

// Files of the ready-made paged scene: closed cleanly with rectangles in
// two layers, and a snapshot taken while it was still open ("$Open" set).
void ready_made_scene_seeds(fs::path const& dir) {
    const std::string name = (dir / "seed-8").string();
    qvPagedScene scene;
    scene.create(name.c_str(), 2, qvMathRectOf<double>(0, 0, 100, 100), std::size_t{1} << 20);
    for (int k = 0; k < 40; ++k) {
        qvRectangle r(scene, qvMathRectOf<double>(k, k % 7, k + 2, k % 7 + 3));
        if (k % 3 == 0) scene.shape_layer(r->shape_handle(), 1);
    }
    scene.close();
    scene.open(name.c_str(), 1 << 20, false);
    qvRectangle(scene, qvMathRectOf<double>(50, 50, 60, 60));
    scene.device().flush();
    fs::copy_file(name, dir / "seed-9");
    scene.close();
}

// Closed files of the ready-made paged scene (its own palette and handle
// tree), each as its writer left it: empty; one record of each kind; two
// root nodes of records that straddle the centre lines; a split tree; a
// deleted layer between two with records; "$UserData" beside records.
void paged_scene_file_seeds(fs::path const& dir) {
    const qvMathRectOf<double> bounds(0, 0, 1024, 1024);
    const auto made = [&](char const* name, int layers, auto&& fill) {
        qvPagedScene scene;
        scene.create((dir / name).string().c_str(), layers, bounds, 1 << 20);
        fill(scene);
        scene.close();
    };
    made("scene-empty", 1, [](qvPagedScene&) {});
    made("scene-kinds", 1, [](qvPagedScene& scene) {
        qvMatchingPalette palette;
        qvMemoryScene records(1, &palette, false);
        auto samples = sample_records();
        for (auto& r : point_set_records()) samples.push_back(std::move(r));
        for (auto& r : text_records()) samples.push_back(std::move(r));
        for (auto& r : image_records()) samples.push_back(std::move(r));
        for (auto const& r : samples) {
            qvShapeBase& copy = *records.allocate(r->size, nullptr);
            const std::int32_t handle = copy.shape_handle;
            std::memcpy(static_cast<void*>(&copy), r.get(), static_cast<std::size_t>(r->size));
            copy.shape_handle = handle;
        }
        // The scene's stream form: its own palette first, then the records.
        std::stringbuf buffer;
        {
            qvOutputStream out(&buffer, v000, false);
            scene.palette().save(out);
            records.save(out);
        }
        qvInputStream in(&buffer);
        scene.load(in);
    });
    made("scene-straddlers", 1, [](qvPagedScene& scene) {
        for (int k = 0; k < 400; ++k)
            qvRectangle(scene, qvMathRectOf<double>(500 + k % 9, (k * 5) % 1000, 530 + k % 9, (k * 5) % 1000 + 4));
    });
    made("scene-split", 1, [](qvPagedScene& scene) {
        for (int k = 0; k < 800; ++k)
            qvRectangle(scene, qvMathRectOf<double>((k * 37) % 1000, (k * 91) % 1000, (k * 37) % 1000 + 3,
                                                    (k * 91) % 1000 + 3));
    });
    made("scene-hole", 3, [](qvPagedScene& scene) {
        for (int k = 0; k < 20; ++k) {
            qvRectangle r(scene, qvMathRectOf<double>(k * 10, k * 10, k * 10 + 5, k * 10 + 5));
            scene.shape_layer(r->shape_handle(), (k % 2) * 2);
        }
        scene.delete_layer(1);
    });
    made("scene-user-data", 2, [](qvPagedScene& scene) {
        for (int k = 0; k < 5; ++k) qvRectangle(scene, qvMathRectOf<double>(k, k, k + 1, k + 1));
        scene.output_stream().putn("application bytes", 17);
    });
}

// Page files as our writer leaves them: new, reopened (a free probe page),
// and with roots and written pages.
void pagefile_seeds(fs::path const& root) {
    const fs::path dir = root / "pagefile_fuzz";
    fs::create_directories(dir);
    const std::string name = (dir / "seed-1").string();
    qvPageFile(name.c_str(), 0, true, false).release();
    fs::copy_file(name, dir / "seed-2");
    qvPageFile((dir / "seed-2").string().c_str(), 0, false, false).release();
    {
        qvPageFile device((dir / "seed-3").string().c_str(), 0, true, false);
        for (char const* stream : {"$Layout", "$UserData"}) {
            const long page = device.allocate();
            qvPageLock(device, page, true, 0.0f).set_word(0, 0);
            device.create_root(stream, page);
        }
        device.free(device.allocate());
        device.release();
    }
    page_stream_seeds(dir);
    paged_scene_layout_seed(dir / "seed-7");
    ready_made_scene_seeds(dir);
    paged_scene_file_seeds(dir);
}

// Requests through transform() (whole frames) of the sample bitmaps, their
// pixel values kept inside their colour maps, under the identity, 2x, a flip
// and 30 degrees, with and without smoothing, mask and table; and one request
// on sub-frames through transform_extended.
void bitmap_transform_seeds(fs::path const& root) {
    Corpus c(root, "bitmap_transform_fuzz");
    const qvTransformation turns[] = {qvTransformation(), qvTransformation(2, 0, 0, 2, 0, 0),
                                      qvTransformation(1, 0, 0, -1, 0, 0), qvRotation(30)};
    const qvColorCube cube;
    int n = 0;
    for (qvBitmap source : sample_bitmaps()) {
        if (source.type() == qvMonochromeBitmap)
            source.colormap(qvColorRamp(2, qvRgbColor(0.0f, 0.0f, 0.0f), qvRgbColor(1.0f, 1.0f, 1.0f)));
        if (source.type() == qvIndexedBitmap)
            for (long i = 0; i < source.size(); ++i)
                source.data()[i] = static_cast<unsigned char>(source.data()[i] % source.header()->color_count);
        for (qvTransformation const& turn : turns) {
            ++n;
            const bool smooth = n % 2 == 0, with_mask = n % 3 == 0, with_table = n % 5 == 0;
            const qvBitmapFrame f = qvBitmapTransformation(turn, smooth).query_frame(qvBitmapFrame(source));
            const qvStandardBitmapType dst_type = n % 4 == 0 ? qvIndexedBitmap : qvRgbaBitmap;
            qvBitmap destination(qvBitmapLayout(dst_type), f.width(), f.height());
            if (dst_type == qvIndexedBitmap && !with_table) destination.colormap(cube);
            const qvBitmap mask = with_mask ? qvBitmap(qvBitmapLayout(qvMonochromeBitmap), f.width(), f.height())
                                            : qvBitmap(qvBitmapLayout(qvMonochromeBitmap), 0, 0);
            std::string bytes;
            qvfuzz::put<std::uint8_t>(bytes, static_cast<std::uint8_t>((smooth ? 1 : 0) | 2 | (with_table ? 4 : 0)));
            for (double a : {turn.m0(), turn.m1(), turn.m2(), turn.m3()}) qvfuzz::put(bytes, a);
            qvfuzz::put_bitmap(bytes, source);
            qvfuzz::put_bitmap(bytes, destination);
            qvfuzz::put_bitmap(bytes, mask);
            bytes.append(32, '\0');   // frames: unused by transform()
            if (with_table) {
                qvfuzz::put<std::uint8_t>(bytes, 216);
                qvfuzz::put_bytes(bytes, cube.data(), 4 * 216);
            }
            c.add([&](qvOutputStream& out) { out.putn(bytes.data(), static_cast<int>(bytes.size())); });
        }
    }
    // A 2 x 2 sub-frame at (1, 1) of a 4 x 4 source, turned a quarter.
    qvBitmap source(qvBitmapLayout(qvRgbaBitmap), 4, 4), destination(qvBitmapLayout(qvRgbaBitmap), 3, 3);
    for (long i = 0; i < source.size(); ++i) source.data()[i] = static_cast<unsigned char>(i * 13);
    std::string bytes;
    qvfuzz::put<std::uint8_t>(bytes, 0);
    for (double a : {0.0, -1.0, 1.0, 0.0}) qvfuzz::put(bytes, a);
    qvfuzz::put_bitmap(bytes, source);
    qvfuzz::put_bitmap(bytes, destination);
    qvfuzz::put_bitmap(bytes, qvBitmap(qvBitmapLayout(qvMonochromeBitmap), 3, 3));
    for (std::int16_t v : {1, 1, 3, 3, -2, -1, 0, 1, 1, 1, 3, 3, 0, 0, 2, 2}) qvfuzz::put(bytes, v);
    c.add([&](qvOutputStream& out) { out.putn(bytes.data(), static_cast<int>(bytes.size())); });
}

// Quadtrees as our writer leaves them, in the quadtree target's input form:
// a cache byte, the stream form behind its length, then each page from 2 on
// behind its length, cut after its last byte that is not zero.
void quadtree_seed(fs::path const& dir, int number, std::function<void(qvQTree&)> const& build) {
    const std::string scratch = (dir / "scratch.pages").string();
    std::string seed(1, static_cast<char>(number % 4));
    {
        qvPageFile device(scratch.c_str(), 0, true, false);
        {
            qvQTree tree(&device, qvMathRectOf<double>(0, 0, 100, 100));
            build(tree);
            std::stringbuf buffer;
            {
                qvOutputStream out(&buffer, v341, false);
                tree.save(out);
            }
            const std::string stream = buffer.str();
            seed += static_cast<char>(stream.size() & 0xFF);
            seed += static_cast<char>(stream.size() >> 8);
            seed += stream;
        }
        for (long page = 2; page < device.page_count(); ++page) {
            qvPageLock lock(device, page, false, 0.0f);
            std::size_t used = qvPageBytes;
            while (used > 0 && lock.bytes()[used - 1] == 0) --used;
            seed += static_cast<char>(used & 0xFF);
            seed += static_cast<char>(used >> 8);
            seed.append(reinterpret_cast<char const*>(lock.bytes()), used);
        }
        device.release();
    }
    fs::remove(scratch);
    std::ofstream(dir / ("seed-" + std::to_string(number)), std::ios::binary) << seed;
}

void quadtree_seeds(fs::path const& root) {
    const fs::path dir = root / "quadtree_fuzz";
    fs::create_directories(dir);
    auto store = [](qvQTree& tree, int size, float x1, float y1, float x2, float y2, std::int32_t handle) {
        qvShapeBase header;
        header.size = size;
        header.shape_handle = handle;
        header.box = qvMathRectOf<float>(qvRectOf<float>(x1, y1, x2, y2));
        qvQuadTree::RecordLock lock;
        tree.create(&header, size, lock);
        std::memcpy(lock.record, &header, sizeof header);
        tree.release(lock);
    };
    quadtree_seed(dir, 1, [&](qvQTree& tree) {
        store(tree, 48, 10, 10, 20, 20, 1);
        store(tree, 40, 30, 70, 30, 70, 2);
        store(tree, 60, 40, 40, 60, 60, 3);
    });
    // A split into (-1, 1, 1); then a cell whose first node holds only
    // straddlers, a second node, and a record found in a later node.
    quadtree_seed(dir, 2, [&](qvQTree& tree) {
        store(tree, 4000, 10, 60, 20, 70, 1);
        store(tree, 4000, 60, 10, 70, 20, 2);
        store(tree, 4000, 40, 40, 60, 60, 3);
        store(tree, 4000, 10, 10, 20, 20, 4);
    });
    quadtree_seed(dir, 3, [&](qvQTree& tree) {
        for (int k = 1; k <= 3; ++k) store(tree, 4000, 45, 10.0f * k, 55, 10.0f * k + 5, k);
        for (int k = 11; k <= 14; ++k) store(tree, 4000, 10, 10, 20, 20, k);
    });
    // Small records down to level 15.
    quadtree_seed(dir, 4, [&](qvQTree& tree) {
        for (int k = 1; k <= 80; ++k) store(tree, 200, 30, 70, 30, 70, k);
    });
}

}   // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    stream_seeds(root);
    registry_seeds(root);
    value_seeds(root);
    bitmap_seeds(root);
    brush_seeds(root);
    image_seeds(root);
    palette_seeds(root);
    shape_record_seeds(root);
    shape_draw_seeds(root);
    selector_seeds(root);
    scene_port_seeds(root);
    pagefile_seeds(root);
    bitmap_transform_seeds(root);
    scene_stream_seeds(root);
    quadtree_seeds(root);
    return 0;
}
