// Labels and symbols whose boxes no shape can hold draw nothing and raise
// nothing: a NaN or infinite width or shade margin, an anchor or size of
// 1e40 or 1e300, a device-sized drawing under a port of scale 0. They used
// to hand the driver NaN and infinite coordinates. Each case is set beside
// a finite one that does draw, so an empty port tells the two apart.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/drawings/qvStandardSymbolPainters.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "qvTextTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;
using RT = qvRestrictedTransformation;

const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const double bad_values[] = {not_a_number, inf, -inf, 1e40, 1e300};

// A port that keeps the float box of every record it is handed, under a
// transformation the test sets.
class BoxPort : public qvFlavorPort {
public:
    std::vector<qvMathRectOf<float>> boxes;
    RT t;

    qvDrawObject& draw() override { std::abort(); }
    RT const& transformation() const override { return t; }
    void transformation(RT const& n) override { t = n; }
    RT const& inverse_transformation() const override { return t; }
    Rect const& device_bbox() const override { return box_; }
    void device_bbox(Rect const&) override {}
    Rect const& model_bbox() const override { return box_; }
    void scene(qvScene*) override {}
    qvScene* scene() const override { return nullptr; }
    void palette(qvPalette* p) override { palette_ = p; }
    qvPalette* palette() const override { return palette_; }
    bool draw_shape(qvShapeBase const& record) override {
        boxes.push_back(record.box);
        return true;
    }
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

    // Everything drawn had finite coordinates.
    bool all_finite() const {
        for (auto const& b : boxes)
            if (!std::isfinite(b.x1) || !std::isfinite(b.y1) || !std::isfinite(b.x2) || !std::isfinite(b.y2))
                return false;
        return true;
    }

private:
    Rect box_;
    qvPalette* palette_ = nullptr;
};

// Every text measures 6 wide, ascent 2, descent 1.
struct LabelFinite : ::testing::Test {
    text_test::DefaultMetricScope metrics;
    text_test::HostProvider provider{761, qvTextExtent(6, 2, 1, 0)};
    qvStandardPalette palette;
    BoxPort port;

    LabelFinite() {
        qvTextExtent::current_metric(761);
        port.palette(&palette);
        port.t = RT(2, 2, 0, 0);
    }
    // A restricted label at (10, 10) with a 20 x 8 fixed box, border and shade.
    qvLabelDrawing label() {
        qvLabelDrawing l;
        l.text_attribute(qvCreateAttributeProxy(&palette, 0));
        l.border_attribute(qvCreateAttributeProxy(&palette, 0));
        l.shade_attribute(qvCreateAttributeProxy(&palette, 0));
        l.text("abc");
        l.anchor(Pt(10, 10));
        l.width(20);
        l.height(8);
        l.show_border(true);
        l.show_shade(true);
        return l;
    }
    // How many records a render hands the port; they must all be finite.
    size_t drawn(qvLabelDrawing& l) {
        port.boxes.clear();
        l.render(port, Rect(0, 0, 100, 100));
        EXPECT_TRUE(port.all_finite());
        return port.boxes.size();
    }
};

}  // namespace

TEST_F(LabelFinite, Widths_heights_shade_margins_and_anchors_no_shape_holds_draw_nothing) {
    qvLabelDrawing good = label();
    ASSERT_EQ(drawn(good), 3u);  // shade, border, text
    for (const double v : bad_values) {
        qvLabelDrawing l = label();
        l.width(v);
        EXPECT_EQ(drawn(l), 0u) << "width " << v;
        l = label();
        l.height(v);
        EXPECT_EQ(drawn(l), 0u) << "height " << v;
        l = label();
        l.shade_margin(v);
        EXPECT_EQ(drawn(l), 0u) << "shade margin " << v;
        l = label();
        l.anchor(Pt(v, 10));
        EXPECT_EQ(drawn(l), 0u) << "anchor " << v;
        EXPECT_NO_THROW(l.bbox(&port.t)) << "anchor " << v;
    }
    // Without a border only the text is drawn, whatever the margin.
    qvLabelDrawing text_only = label();
    text_only.show_border(false);
    text_only.shade_margin(not_a_number);
    EXPECT_EQ(drawn(text_only), 1u);
}

TEST_F(LabelFinite, A_restricted_label_under_a_scale_of_0_draws_nothing) {
    qvLabelDrawing l = label();
    l.box_fixed_size(false);
    port.t = RT(0, 2, 0, 0);
    EXPECT_EQ(drawn(l), 0u);
    port.t = RT(2, 0, 0, 0);
    EXPECT_EQ(drawn(l), 0u);
    port.t = RT(2, 2, 0, 0);
    EXPECT_EQ(drawn(l), 3u);
}

TEST(qvSymbolDrawingFinite, Sizes_and_anchors_no_shape_holds_draw_nothing) {
    BoxPort port;
    qvSymbolPainterPtr square(new qvSquareSymbolPainter());
    qvSymbolPainterPtr cross(new qvCrossSymbolPainter());
    for (qvSymbolPainterPtr const& painter : {square, cross}) {
        qvSymbolDrawing good(nullptr, Pt(10, 10), 4, 2, true);
        good.painter(painter);
        good.render(port, Rect(0, 0, 100, 100));
        ASSERT_FALSE(port.boxes.empty());
        for (const double v : bad_values) {
            port.boxes.clear();
            qvSymbolDrawing wide(nullptr, Pt(10, 10), v, 2, true);
            wide.painter(painter);
            wide.render(port, Rect(0, 0, 100, 100));
            qvSymbolDrawing far(nullptr, Pt(10, v), 4, 2, true);
            far.painter(painter);
            far.render(port, Rect(0, 0, 100, 100));
            EXPECT_TRUE(port.boxes.empty()) << v;
        }
    }
}

TEST(qvSymbolDrawingFinite, A_device_sized_symbol_under_a_scale_of_0_draws_nothing) {
    BoxPort port;
    qvSymbolDrawing d(new qvCircleSymbolPainter(), Pt(10, 10), 4, 2, false);
    port.t = RT(0, 1, 0, 0);
    d.render(port, Rect(0, 0, 100, 100));
    EXPECT_TRUE(port.boxes.empty());
    port.t = RT(2, 1, 0, 0);
    d.render(port, Rect(0, 0, 100, 100));
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0], qvMathRectOf<float>(qvRectOf<float>(9, 9, 11, 11)));
}
