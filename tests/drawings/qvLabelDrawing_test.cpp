// Label drawings: the fixed box, the change reports, the text box by
// alignment and scale, the drawing order of shade, border and text, and
// the port's palette on every exit.

#include "qvDrawingTestSupport.hpp"
#include "qvTextTestSupport.hpp"

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/drawings/qvLabelDrawing.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;

// A flavour port that keeps, per record, its kind, box and the palette it
// was drawn with.
class LabelRecordingPort : public qvFlavorPort {
public:
    struct Drawn {
        int kind;
        Rect box;
        qvPalette* palette;
        long handle;
    };
    std::vector<Drawn> drawn;
    qvRestrictedTransformation t;

    qvDrawObject& draw() override { std::abort(); }
    qvRestrictedTransformation const& transformation() const override { return t; }
    void transformation(qvRestrictedTransformation const& n) override { t = n; }
    qvRestrictedTransformation const& inverse_transformation() const override { return t; }
    qvMathRectOf<double> const& device_bbox() const override { return box_; }
    void device_bbox(qvMathRectOf<double> const&) override {}
    qvMathRectOf<double> const& model_bbox() const override { return box_; }
    void scene(qvScene*) override {}
    qvScene* scene() const override { return nullptr; }
    void palette(qvPalette* p) override { palette_ = p; }
    qvPalette* palette() const override { return palette_; }
    bool draw_shape(qvShapeBase const& record) override {
        drawn.push_back({record.kind, Rect(record.box), palette_, record.attribute_handle});
        return true;
    }
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

private:
    Rect box_;
    qvPalette* palette_ = nullptr;
};

// Every text measures 6 wide, ascent 2, descent 1 (device units for a
// restricted text).
struct LabelFixture : ::testing::Test {
    text_test::DefaultMetricScope metrics;
    text_test::HostProvider provider{761, qvTextExtent(6, 2, 1, 0)};
    qvStandardPalette scene_palette, text_palette;
    qvSharedAttribute text_attr{qvCreateAttributeProxy(&text_palette, 0)};
    qvSharedAttribute border_attr{qvCreateAttributeProxy(&scene_palette, 0)};
    qvSharedAttribute shade_attr{qvCreateAttributeProxy(&scene_palette, 0)};
    LabelRecordingPort port;

    LabelFixture() {
        qvTextExtent::current_metric(761);
        port.palette(&scene_palette);
    }
    void expect_assertion(qvLabelDrawing& l, char const* text) {
        try {
            l.render(port, Rect(0, 0, 1, 1));
            ADD_FAILURE() << "no error";
        } catch (qvAssertionError const& e) {
            EXPECT_EQ(std::string(static_cast<char const*>(e)), text);
        }
        EXPECT_EQ(port.palette(), &scene_palette);
        EXPECT_TRUE(port.drawn.empty());
    }
};

}  // namespace

TEST_F(LabelFixture, A_new_label_has_the_defaults_and_cannot_draw_without_its_text_attribute) {
    qvLabelDrawing l;
    EXPECT_EQ(l.text_box(), Rect(0, 0, 0, 0));
    EXPECT_EQ(l.alignment(), 15u);
    EXPECT_EQ(l.shade_margin(), 10.0);
    EXPECT_TRUE(l.box_fixed_size());
    EXPECT_FALSE(l.scalable());
    expect_assertion(l, "_text_attr");
    l.text_attribute(text_attr);
    l.text("abc");
    l.show_border(true);
    expect_assertion(l, "_border_attr");
    l.border_attribute(border_attr);
    l.show_shade(true);
    expect_assertion(l, "_shade_attr");
}

TEST_F(LabelFixture, The_fixed_box_and_the_change_reports) {
    qvRecordingDrawingHost host;
    qvLabelDrawing l;
    l.anchor(qvCrdOf<double>(10, 10));
    l.height(2);
    l.width(-4);
    EXPECT_EQ(l.text_box(), Rect(8, 9, 12, 11));
    l.host(&host);
    l.anchor(qvCrdOf<double>(10, 10));
    l.width(-4);
    l.text("");
    EXPECT_TRUE(host.rects.empty());
    l.text_attribute(l.text_attribute());
    EXPECT_EQ(host.rects, (std::vector<Rect>{Rect(8, 9, 12, 11), Rect(8, 9, 12, 11)}));
    l.host(nullptr);

    qvLabelDrawing shaded;
    shaded.anchor(qvCrdOf<double>(110, 105));
    shaded.width(20);
    shaded.height(10);
    shaded.show_shade(true);
    EXPECT_EQ(shaded.bbox(nullptr), Rect(100, 100, 130, 120));
}

TEST_F(LabelFixture, Alignment_places_a_restricted_texts_box) {
    qvLabelDrawing l;
    l.text_attribute(text_attr);
    l.text("abc");
    l.anchor(qvCrdOf<double>(50, 50));
    const qvRestrictedTransformation identity;
    l.alignment(8 | 1);   // left of and below the anchor
    EXPECT_EQ(l.bbox(&identity), Rect(44, 47, 50, 50));
    l.alignment(4 | 2);
    EXPECT_EQ(l.bbox(&identity), Rect(50, 50, 56, 53));
    l.alignment(0);
    const Rect centred = l.bbox(&identity);
    l.alignment(15);
    EXPECT_EQ(l.bbox(&identity), centred);
    EXPECT_EQ(centred, Rect(47, 48.5, 53, 51.5));
    const qvRestrictedTransformation zoomed(2, -4, 0, 0);   // device 6 x 3: model 3 x 0.75
    EXPECT_EQ(l.bbox(&zoomed), Rect(48.5, 49.625, 51.5, 50.375));
    l.alignment(8 | 2);   // left of and above the anchor, in model units
    EXPECT_EQ(l.bbox(&zoomed), Rect(47, 50, 50, 50.75));
}

TEST_F(LabelFixture, Shade_border_and_text_are_drawn_in_order_with_the_shade_moved_in_device_units) {
    qvLabelDrawing l;
    l.text_attribute(text_attr);
    l.border_attribute(border_attr);
    l.shade_attribute(shade_attr);
    l.text("abc");
    l.anchor(qvCrdOf<double>(50, 50));
    l.box_fixed_size(false);
    l.show_shade(true);
    port.t = qvRestrictedTransformation(2, -4, 0, 0);
    l.render(port, Rect(0, 0, 100, 100));
    ASSERT_EQ(port.drawn.size(), 1u);   // shade without border: the text alone
    EXPECT_EQ(port.drawn[0].palette, &text_palette);
    EXPECT_EQ(l.bbox(nullptr), Rect(50, 50, 60, 60));   // still counts the shade

    port.drawn.clear();
    l.show_border(true);
    l.render(port, Rect(0, 0, 100, 100));
    ASSERT_EQ(port.drawn.size(), 3u);
    const Rect text_box(48.5, 49.625, 51.5, 50.375);
    EXPECT_EQ(port.drawn[0].box, Rect(53.5, 47.125, 56.5, 47.875));   // 10 device units: (+5, -2.5) model
    EXPECT_EQ(port.drawn[0].handle, shade_attr->attribute_handle());
    EXPECT_EQ(port.drawn[1].box, text_box);
    EXPECT_EQ(port.drawn[1].palette, &scene_palette);
    EXPECT_EQ(port.drawn[2].handle, text_attr->attribute_handle());
    EXPECT_EQ(port.drawn[2].palette, &text_palette);
    EXPECT_EQ(port.palette(), &scene_palette);
    // The box under that transformation covers the shade where it went.
    EXPECT_EQ(l.bbox(&port.t), Rect(48.5, 47.125, 56.5, 50.375));
}

TEST_F(LabelFixture, A_scaled_text_of_no_height_draws_border_but_no_text) {
    text_test::HostProvider flat{762, qvTextExtent(6, 0, 0, 0)};
    qvTextExtent::current_metric(762);
    qvLabelDrawing l;
    l.scalable(true);
    l.text_attribute(text_attr);
    l.border_attribute(border_attr);
    l.show_border(true);
    l.text("abc");
    l.width(10);
    l.height(10);
    EXPECT_NO_THROW(l.render(port, Rect(0, 0, 100, 100)));
    ASSERT_EQ(port.drawn.size(), 1u);
    EXPECT_EQ(port.drawn[0].box, Rect(-5, -5, 5, 5));
}

TEST_F(LabelFixture, A_change_repaints_the_overflowing_text_it_drew) {
    qvRecordingDrawingHost host;
    qvLabelDrawing l;
    l.text_attribute(text_attr);
    l.text("abc");
    l.width(2);
    l.height(2);
    port.t = qvRestrictedTransformation(0.5, 1.5, 0, 0);   // the text is 12 by 2 model units
    l.render(port, Rect(-20, -20, 20, 20));
    port.t = qvRestrictedTransformation(0.25, 4, 0, 0);    // 24 by 0.75
    l.render(port, Rect(-20, -20, 20, 20));
    l.host(&host);
    EXPECT_EQ(l.bbox(nullptr), Rect(-1, -1, 1, 1));
    l.text("abcd");
    ASSERT_EQ(host.rects.size(), 2u);
    EXPECT_EQ(host.rects[0], Rect(-12, -1, 12, 1));   // the smallest scale of each axis
    l.host(nullptr);
}

// A render used to build and measure its text up to four times (for its
// bbox, for the text's box again, and for the text drawn); now the text it
// measures is the one it draws.
TEST_F(LabelFixture, A_render_measures_its_text_once_and_draws_the_text_it_measured) {
    for (bool scalable : {false, true}) {
        qvLabelDrawing l;
        l.scalable(scalable);
        l.text_attribute(text_attr);
        l.border_attribute(border_attr);
        l.show_border(true);
        l.box_fixed_size(false);
        l.text("abc");
        l.anchor(qvCrdOf<double>(50, 50));
        l.text_rotation(30);
        port.t = qvRestrictedTransformation(2, -2, 0, 0);
        port.drawn.clear();
        provider.calls.clear();
        l.render(port, Rect(0, 0, 100, 100));
        long measured = 0;
        for (std::string const& call : provider.calls) measured += call.rfind("text ", 0) == 0 ? 1 : 0;
        EXPECT_EQ(measured, 1) << scalable;
        ASSERT_EQ(port.drawn.size(), 2u) << scalable;
        if (!scalable) {
            EXPECT_EQ(port.drawn[1].box, port.drawn[0].box);   // text record and border: the text's box
        }
    }
}
