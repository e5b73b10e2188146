// Texts, images and groups through the adapters: text rotation and its
// unwrapped angle, the measured text boxes, anchors that only move, and the
// group's box, corner moves and refusals.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolyline.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using palette_test::expect_raises;

using Box = qvMathRectOf<double>;

Box rect_of(qvGraphic const& g) { return qvQueryInterface<qvRectangleDataAccess>(g.get())->rectangle(); }

// A list whose iterator yields an empty graphic, or is itself empty.
struct HoleList : qvInteractionTarget, qvGraphicListDataAccess {
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvGraphicListDataAccess>(this, info);
    }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const&) const override {
        return &qvInterfaceIdentity<qvGraphicListDataAccess>();
    }
    void add(qvGraphicListDataAccess const&) override {}
    void add(qvGraphic const&) override {}
    void remove(qvIndirectIterator<qvGraphic>) override {}
    void remove_all() override {}
    qvIndirectIterator<qvGraphic> enumerate() override {
        return without_iterator ? qvIndirectIterator<qvGraphic>()
                                : qvIndirectIterator<qvGraphic>(new shape_test::GraphicIterator({qvGraphic()}));
    }
    int size() const override { return 1; }
    bool without_iterator = false;
};

class TextGroupAdapters : public ::testing::Test {
protected:
    qvRestrictedText restricted(qvCrdOf<double> anchor) {
        qvRestrictedText text(scene, anchor, "label", 0u, nullptr, nullptr);
        text->extent(qvExtent{10, 2, 8});
        return text;
    }
    qvGraphicList list_of(std::vector<qvGraphic> const& members) {
        qvGraphicList list;
        for (qvGraphic const& g : members)
            list->add(g);
        return list;
    }

    qvMemoryScene scene;
};

}  // namespace

TEST_F(TextGroupAdapters, A_rotated_text_turns_its_anchor_and_adds_to_its_angle_without_wrapping) {
    const qvRestrictedText text(scene, qvCrdOf<double>(1, 0), "t", 0u, 30.0, nullptr, nullptr);
    qvAdapter<qvRotateInteraction> rotation(text);
    rotation->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_NEAR(text->anchor().x, 0, 1e-12);
    EXPECT_NEAR(text->anchor().y, 1, 1e-12);
    EXPECT_EQ(text->angle(), 120);
    rotation->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_EQ(text->angle(), 210);
    rotation->rotate(qvCrdOf<double>(0, 0), 90);
    rotation->rotate(qvCrdOf<double>(0, 0), 90);
    EXPECT_EQ(text->angle(), 390);
}

TEST_F(TextGroupAdapters, An_image_moves_by_its_anchor) {
    qvRestrictedImage image(scene);
    image->anchor(qvCrdOf<double>(1, 2));
    qvAdapter<qvMoveInteraction>(image)->move(qvCrdOf<double>(3, -4));
    EXPECT_EQ(image->anchor(), qvCrdOf<double>(4, -2));
    EXPECT_EQ(qvAdapter<qvScaleInteraction>(image).get(), nullptr);
}

TEST_F(TextGroupAdapters, A_restricted_text_box_is_measured_in_device_units_and_mapped_back) {
    const qvRestrictedText text = restricted({0, 0});
    qvAdapter<qvExtendedScaleInteraction> scaling(text);
    EXPECT_EQ(scaling->bbox(), Box(0, -2, 10, 8));  // the identity until told otherwise
    scaling->transformation(qvTransformation(2, 0, 0, 2, 0, 0));
    EXPECT_EQ(scaling->bbox(), Box(0, -1, 5, 4));
    scaling->transformation(qvTransformation(2, 0, 0, -2, 0, 0));  // y downwards: mirrored, then mapped back
    EXPECT_EQ(scaling->bbox(), Box(0, -1, 5, 4));
    scaling->transformation(qvTransformation(2, 0, 0, 2, 6, -4));  // the offsets cancel out
    EXPECT_EQ(scaling->bbox(), Box(0, -1, 5, 4));
}

TEST_F(TextGroupAdapters, A_turned_text_box_holds_all_four_corners) {
    // Turned by 45 degrees, the box of the four layout vectors alone would
    // lose the ascent above the end of the baseline.
    const qvScaledText text(scene, qvCrdOf<double>(0, 0), "s", 2.0, 1.0f, 0u, 45.0, nullptr);
    text->extent(qvExtent{10, 2, 8});
    const Box box = qvAdapter<qvExtendedScaleInteraction>(text)->bbox();
    const double r = std::sqrt(0.5);
    EXPECT_NEAR(box.x1, -8 * r, 1e-12);
    EXPECT_NEAR(box.y1, -2 * r, 1e-12);
    EXPECT_NEAR(box.x2, 12 * r, 1e-12);
    EXPECT_NEAR(box.y2, 18 * r, 1e-12);
}

TEST_F(TextGroupAdapters, A_text_keeps_its_box_under_corner_moves_and_resize_only_moves_it) {
    const qvRestrictedText text = restricted({1, 1});
    qvAdapter<qvExtendedScaleInteraction> scaling(text);
    scaling->scale(15, 3, 3);
    scaling->move_rt(5, 5);
    scaling->move_left(2);
    EXPECT_EQ(text->anchor(), qvCrdOf<double>(1, 1));
    EXPECT_EQ(text->extent(), (qvExtent{10, 2, 8}));
    scaling->resize(Box(0, 0, 100, 100));  // the box (1, -1, 11, 9) goes to (0, 0)
    EXPECT_EQ(text->anchor(), qvCrdOf<double>(0, 2));
}

TEST_F(TextGroupAdapters, An_empty_group_has_the_empty_box_and_ignores_moves) {
    qvGraphicList list;
    qvAdapter<qvScaleInteraction> scaling(list);
    qvAdapter<qvRotateInteraction> rotation(list);
    EXPECT_EQ(scaling->bbox(), Box::make_empty());
    EXPECT_EQ(rotation->bbox(), Box::make_empty());
    scaling->move(qvCrdOf<double>(1, 1));
    rotation->rotate(qvCrdOf<double>(0, 0), 45);
    EXPECT_EQ(list->size(), 0);
}

TEST_F(TextGroupAdapters, A_group_drives_each_member_that_can_follow_and_skips_the_rest) {
    const qvGraphic rect = qvRectangle(scene, 0, 0, 10, 10);
    const qvRestrictedText text = restricted({20, 0});
    const qvGraphicList list = list_of({rect, text});
    qvAdapter<qvScaleInteraction> scaling(list);
    EXPECT_EQ(scaling->bbox(), Box(0, -8, 30, 10));  // the text's own (symmetric) box counts
    scaling->scale(6, 2, 1);                         // the text has no plain scale
    EXPECT_EQ(rect_of(rect), Box(0, 0, 20, 10));
    EXPECT_EQ(text->anchor(), qvCrdOf<double>(20, 0));
    scaling->move(qvCrdOf<double>(1, 1));
    EXPECT_EQ(rect_of(rect), Box(1, 1, 21, 11));
    EXPECT_EQ(text->anchor(), qvCrdOf<double>(21, 1));
    qvAdapter<qvRotateInteraction>(list)->rotate(qvCrdOf<double>(0, 0), 90);  // a rectangle cannot turn
    EXPECT_EQ(rect_of(rect), Box(1, 1, 21, 11));
    EXPECT_EQ(text->angle(), 90);
}

TEST_F(TextGroupAdapters, Each_group_corner_move_scales_about_the_opposite_corner) {
    struct Case {
        void (*call)(qvScaleInteraction&);
        Box first, second;
    };
    const Case cases[] = {
        {[](qvScaleInteraction& s) { s.move_rt(20, 20); }, {0, 0, 20, 20}, {20, 20, 40, 40}},
        {[](qvScaleInteraction& s) { s.move_lb(-20, -20); }, {-20, -20, 0, 0}, {0, 0, 20, 20}},
        {[](qvScaleInteraction& s) { s.move_rb(20, -20); }, {0, -20, 20, 0}, {20, 0, 40, 20}},
        {[](qvScaleInteraction& s) { s.move_lt(-20, 20); }, {-20, 0, 0, 20}, {0, 20, 20, 40}},
        {[](qvScaleInteraction& s) { s.move_rt(-40, 0); }, {-10, 0, 0, 10}, {-20, 10, -10, 20}},  // mirrored
    };
    for (Case const& c : cases) {
        const qvGraphic a = qvRectangle(scene, 0, 0, 10, 10), b = qvRectangle(scene, 10, 10, 20, 20);
        c.call(*qvAdapter<qvScaleInteraction>(list_of({a, b})));
        EXPECT_EQ(rect_of(a), c.first);
        EXPECT_EQ(rect_of(b), c.second);
    }
}

TEST_F(TextGroupAdapters, A_group_of_zero_width_refuses_to_open_it_before_any_member_changes) {
    const std::vector<qvCrdOf<double>> long_line{{5, 0}, {5, 10}}, short_line{{5, 2}, {5, 6}};
    const qvExactPolyline first(scene, 2, long_line.data()), second(scene, 2, short_line.data());
    const qvGraphicList list = list_of({first, second});
    qvAdapter<qvScaleInteraction> scaling(list);
    expect_raises<qvErrorFrom<qvRectToRectTransformation>>([&] { scaling->move_rt(3, 0); },
                                                           "Degenerate rectangles cannot define transformation");
    EXPECT_EQ(first->point(1), qvCrdOf<double>(5, 10));
    EXPECT_EQ(second->point(0), qvCrdOf<double>(5, 2));
    scaling->move_rt(0, 4);  // y by 1.4 about y = 0; x stays
    EXPECT_NEAR(first->point(1).y, 14, 1e-12);
    EXPECT_NEAR(second->point(0).y, 2.8, 1e-12);
    EXPECT_NEAR(second->point(1).y, 8.4, 1e-12);
    EXPECT_EQ(second->point(1).x, 5);
}

TEST_F(TextGroupAdapters, A_member_that_raises_stops_the_group_and_earlier_members_keep_their_change) {
    const qvGraphic before = qvRectangle(scene, 0, 0, 1, 1), after = qvRectangle(scene, 0, 0, 1, 1);
    const long handle = qvRectangle(scene, 0, 0, 1, 1)->shape_handle();
    scene.read_only(true);
    const qvGraphic refusing = qvRectangle(scene, handle);  // connected to a read-only scene
    scene.read_only(false);
    EXPECT_THROW(qvAdapter<qvMoveInteraction>(list_of({before, refusing, after}))->move(qvCrdOf<double>(5, 0)),
                 qvErrorFrom<qvSingleShapeProxyBase>);
    EXPECT_EQ(rect_of(before), Box(5, 0, 6, 1));
    EXPECT_EQ(rect_of(after), Box(0, 0, 1, 1));
}

TEST_F(TextGroupAdapters, A_member_iterator_without_a_graphic_fails_the_iterator_assertion) {
    HoleList list;
    for (bool without_iterator : {false, true}) {
        list.without_iterator = without_iterator;
        expect_raises<qvAssertionError>([&] { qvAdapter<qvMoveInteraction>(&list)->move(qvCrdOf<double>(1, 1)); },
                                        "_object.get()");
    }
}
