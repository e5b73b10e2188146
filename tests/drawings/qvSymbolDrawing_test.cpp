// Symbol drawings, the library painters on the dump driver, and the
// coordinate helpers.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/drawings/qvStandardSymbolPainters.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvTFlavorPort.hpp>
#include <orvane/rendering/qvTVBuf.hpp>

#include "qvDrawingTestSupport.hpp"
#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
using Points = std::vector<qvCrdOf<double>>;

struct SymbolDump : ::testing::Test {
    qvRecordingDumpUser user;
    qvStandardPalette palette;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);

    // Draws d through a port of the given model-to-device transformation;
    // returns what the driver was handed.
    std::vector<std::string> draw(qvSymbolDrawing& d, qvRestrictedTransformation const& t = {}) {
        user.lines.clear();
        qvTVBuf tv(*driver->new_master_vbuf());
        qvISafePtr<qvDrawObject> object = tv->new_draw();
        qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(object.get());
        port.palette(&palette);
        port.transformation(t);
        d.render(port, Rect(0, 0, 100, 100));
        return user.lines;
    }
    std::vector<std::string> with_prefix(std::vector<std::string> const& lines, std::string const& p) {
        std::vector<std::string> out;
        for (auto const& l : lines)
            if (l.rfind(p, 0) == 0) out.push_back(l);
        return out;
    }
};

qvSymbolDrawing centred_symbol(qvSymbolPainter* p) {
    return qvSymbolDrawing(p, qvCrdOf<double>(10, 10), 4, 2, true);
}

}  // namespace

TEST(qvSymbolDrawing, Boxes_follow_the_corners_scale_and_alignment) {
    qvSymbolDrawing from_rect(nullptr, Rect(qvRectOf<double>(12, 11, 8, 9)));
    EXPECT_EQ(from_rect.bbox(nullptr), Rect(8, 9, 12, 11));
    EXPECT_TRUE(from_rect.scalable());

    qvSymbolDrawing fixed(nullptr, qvCrdOf<double>(0, 0), 10, 4, false);
    const qvRestrictedTransformation t(-2, 4, 0, 0);
    const Rect b = fixed.bbox(&t);
    EXPECT_EQ(b.x2 - b.x1, 5.0);
    EXPECT_EQ(b.y2 - b.y1, 1.0);
    fixed.alignment(8 | 2);   // anchor on the right and high edges
    EXPECT_EQ(fixed.bbox(nullptr), Rect(-10, -4, 0, 0));
    fixed.alignment(0);
    EXPECT_EQ(fixed.bbox(nullptr), Rect(0, 0, 10, 4));
    fixed.alignment(15);
    fixed.rect(Rect(2, 2, 6, 4));
    EXPECT_EQ(fixed.anchor(), (qvCrdOf<double>(4, 3)));
    EXPECT_EQ(fixed.bbox(nullptr), Rect(2, 2, 6, 4));
}

TEST(qvSymbolDrawing, Unchanged_setters_report_nothing_and_changes_report_twice) {
    qvRecordingDrawingHost host;
    qvSymbolDrawing d(nullptr, qvCrdOf<double>(1, 1), 4, 4, true);
    d.host(&host);
    d.width(4 + 2.220446049250313e-16);
    d.anchor(qvCrdOf<double>(1, 1));
    d.alignment(15);
    d.scalable(true);
    EXPECT_TRUE(host.rects.empty());
    d.width(6);
    ASSERT_EQ(host.rects.size(), 2u);
    EXPECT_EQ(host.rects[0], Rect(-1, -1, 3, 3));
    EXPECT_EQ(host.rects[1], Rect(-2, -1, 4, 3));
    d.host(nullptr);
}

TEST(qvSymbolDrawing, A_painters_attribute_reaches_only_the_drawings_that_use_it) {
    qvStandardPalette palette;
    qvSymbolPainterPtr shared(new qvPlusSymbolPainter());
    qvSymbolPainterPtr other(new qvCrossSymbolPainter());
    qvRecordingDrawingHost host_a, host_b, host_c;
    qvSymbolDrawing a(shared.get(), Rect(0, 0, 2, 2)), b(shared.get(), Rect(5, 5, 6, 6));
    qvSymbolDrawing c(other.get(), Rect(0, 0, 1, 1));
    a.host(&host_a);
    b.host(&host_b);
    c.host(&host_c);
    static_cast<qvPlusSymbolPainter&>(*shared).attribute(qvCreateAttributeProxy(&palette, 0));
    EXPECT_EQ(host_a.rects, (std::vector<Rect>{Rect(0, 0, 2, 2)}));
    EXPECT_EQ(host_b.rects, (std::vector<Rect>{Rect(5, 5, 6, 6)}));
    EXPECT_TRUE(host_c.rects.empty());

    // A drawing reports its own box, whatever rectangle the painter names.
    host_b.rects.clear();
    shared->publisher().invalidate(Rect(40, 30, 41, 31), 0);
    EXPECT_EQ(host_b.rects, (std::vector<Rect>{Rect(5, 5, 6, 6)}));

    // Painters change hands: a hears no more, c hears its new painter only.
    a.painter(qvSymbolPainterPtr());
    c.painter(shared);
    for (auto* h : {&host_a, &host_b, &host_c}) h->rects.clear();
    static_cast<qvPlusSymbolPainter&>(*shared).attribute(qvSharedAttribute());
    EXPECT_TRUE(host_a.rects.empty());
    EXPECT_EQ(host_b.rects, (std::vector<Rect>{Rect(5, 5, 6, 6)}));
    EXPECT_EQ(host_c.rects, (std::vector<Rect>{Rect(0, 0, 1, 1)}));
    other->invalidate();
    EXPECT_EQ(host_c.rects.size(), 1u);
    for (auto* d : {&a, &b, &c}) d->host(nullptr);
}

TEST(qvSymbolDrawing, Copies_share_the_painter_and_hear_it) {
    qvSymbolPainterPtr painter(new qvSquareSymbolPainter());
    qvRecordingDrawingHost host;
    qvSymbolDrawing original(painter.get(), Rect(0, 0, 2, 2));
    {
        qvSymbolDrawing copy(original);
        EXPECT_EQ(copy.host(), nullptr);
        copy.host(&host);
        painter->invalidate();
        EXPECT_EQ(host.rects.size(), 1u);
        qvSymbolDrawing assigned(nullptr, Rect(3, 4, 9, 5));
        assigned = original;
        EXPECT_EQ(assigned.painter().get(), painter.get());
        qvRecordingDrawingHost assigned_host;
        assigned.host(&assigned_host);
        painter->invalidate();
        EXPECT_EQ(assigned_host.rects, (std::vector<Rect>{Rect(0, 0, 2, 2)}));
        EXPECT_EQ(host.rects.size(), 2u);
        assigned.host(nullptr);
    }
    painter->invalidate();   // the copies are gone and disconnected
    EXPECT_EQ(host.rects.size(), 2u);
}

TEST_F(SymbolDump, Painters_draw_their_geometry_in_order) {
    qvSymbolDrawing plus = centred_symbol(new qvPlusSymbolPainter());
    EXPECT_EQ(plus.bbox(nullptr), Rect(8, 9, 12, 11));
    EXPECT_EQ(with_prefix(draw(plus), "polyline"),
              (std::vector<std::string>{"polyline 2 (8,10)(12,10)", "polyline 2 (10,11)(10,9)"}));
    EXPECT_EQ(with_prefix(draw(plus), "polyline").size(), 2u);   // shapes rewritten, not grown

    qvSymbolDrawing triangle = centred_symbol(new qvTriangleSymbolPainter());
    EXPECT_EQ(with_prefix(draw(triangle), "polygon"),
              (std::vector<std::string>{"polygon 3 (10,9)(8,11)(12,11)"}));
    qvSymbolDrawing diamond = centred_symbol(new qvDiamondSymbolPainter());
    EXPECT_EQ(with_prefix(draw(diamond), "polygon"),
              (std::vector<std::string>{"polygon 4 (10,9)(12,10)(10,11)(8,10)"}));
    qvSymbolDrawing star = centred_symbol(new qvStarSymbolPainter());
    EXPECT_EQ(with_prefix(draw(star), "polyline").size(), 4u);

    qvSymbolDrawing none(nullptr, qvCrdOf<double>(10, 10), 4, 2, true);
    EXPECT_TRUE(with_prefix(draw(none), "poly").empty());
}

TEST_F(SymbolDump, A_fixed_size_symbol_keeps_its_device_size) {
    qvSymbolDrawing cross(new qvCrossSymbolPainter(), qvCrdOf<double>(10, 10), 10, 10, false);
    // Under x scale 2 and y scale -2 the box is 5 by 5 model units: 10 by
    // 10 device units whatever the zoom. The port hands model points on.
    EXPECT_EQ(with_prefix(draw(cross, qvRestrictedTransformation(2, -2, 0, 40)), "polyline"),
              (std::vector<std::string>{"polyline 2 (7.5,7.5)(12.5,12.5)", "polyline 2 (7.5,12.5)(12.5,7.5)"}));
}

TEST_F(SymbolDump, The_square_draws_with_its_attributes_palette_and_puts_the_ports_back) {
    qvStandardPalette own;
    auto* square = new qvSquareSymbolPainter(qvCreateAttributeProxy(&own, 0));
    qvSymbolDrawing d = centred_symbol(square);

    qvTVBuf tv(*driver->new_master_vbuf());
    qvISafePtr<qvDrawObject> object = tv->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(object.get());
    port.palette(&palette);
    d.render(port, Rect(0, 0, 1, 1));
    EXPECT_EQ(port.palette(), &palette);
    EXPECT_FALSE(user.lines.empty());
}

TEST(SymbolPainterUtils, Align_moves_without_scaling_unless_nothing_fits) {
    const Rect dst(0, 0, 10, 2);
    EXPECT_EQ(SymbolPainterUtils::align_rect_into_rect(Rect(0, 0, 4, 4), dst, 0), Rect(0, -1, 4, 3));
    EXPECT_EQ(SymbolPainterUtils::align_rect_into_rect(Rect(0, 0, 20, 20), dst, 0), dst);
    const Rect big(0, 0, 10, 10);
    EXPECT_EQ(SymbolPainterUtils::align_rect_into_rect(Rect(0, 0, 2, 2), big, 8 | 2), Rect(8, 8, 10, 10));
    EXPECT_EQ(SymbolPainterUtils::align_rect_into_rect(Rect(0, 0, 2, 2), big, 4 | 1), Rect(0, 0, 2, 2));
}

TEST(SymbolPainterUtils, Model_coordinates_stretch_or_place_the_points) {
    qvSymbolDrawing d(nullptr, qvCrdOf<double>(0, 0), 10, 10, false);
    const Points in{{0, 0}, {2, 0}, {2, 2}};
    Points out;
    SymbolPainterUtils::get_model_coords(d, in, out);
    EXPECT_EQ(out, (Points{{-1, -1}, {1, -1}, {1, 1}}));
    d.scalable(true);
    SymbolPainterUtils::get_model_coords(d, in, out);
    EXPECT_EQ(out, (Points{{-5, -5}, {5, -5}, {5, 5}}));
    SymbolPainterUtils::get_model_coords(d, Points{}, out);
    EXPECT_TRUE(out.empty());
}
