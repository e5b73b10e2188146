// Device points no shape can hold, and mappings that send every point to an
// infinity (scale 0), on every manipulator and on the point-set adapters:
// each refusal raises a clear error and leaves the target's record and the
// gadgets byte for byte as they were. These inputs used to store NaN,
// infinities or quantised garbage (a NaN move put a compact point at
// (69.9998, 5)); a destroyed creation target used to be made again.
// The interaction test view maps device = 2 * model + 10.

#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvDragBoxManipulator.hpp>
#include <orvane/interaction/qvDragCircleManipulator.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>
#include <orvane/interaction/qvPointSetCreationManipulator.hpp>
#include <orvane/interaction/qvPointSetEditManipulator.hpp>
#include <orvane/interaction/qvPolygonManipulator.hpp>
#include <orvane/interaction/qvRectangleCreationManipulator.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/interaction/qvScaleManipulator.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvShapeTestSupport.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

const double not_a_number = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();
const std::string invalid_point = "Invalid device point";
const std::string uninitialized = "Attempt to query uninitialized shape";

// Every bad value on either axis, the other one an ordinary device value.
std::vector<Pt> bad_points() {
    std::vector<Pt> points;
    for (const double v : {not_a_number, inf, -inf, 1e40, 1e300}) {
        points.emplace_back(v, 40);
        points.emplace_back(40, v);
    }
    return points;
}

std::string text_of(Pt p) { return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")"; }

std::string bytes(qvGraphic const& g) {
    auto* const proxy = qvQueryInterface<qvSingleShapeProxyBase>(g.get());
    return proxy != nullptr ? shape_test::record_hex(proxy->record()) : "no proxy";
}

// A mapping of scale 0 on both axes: every device point maps to NaN or an
// infinity.
const qvRestrictedTransformation flat(0, 0, 10, 10);
// A mapping of scale 1e-38: every number stays finite, but a device point
// 50 units from its offset maps to 5e39, past the float range.
const qvRestrictedTransformation tiny(1e-38, 1e-38, 10, 10);

}  // namespace

// ---------------------------------------------------------------------------
// Scale manipulator (style 0: no aspect step; handle 7 at device (70, 50))

TEST(qvScaleManipulatorFinite, Bad_points_are_refused_unless_the_minimum_rule_settles_them) {
    qvInteractionTestView v;
    const qvRectangle target(v.scene(), Box(10, 10, 30, 20));
    qvScaleManipulator scale(0);
    ASSERT_TRUE(scale.activate(v.gadgets(), v.layer(), target));
    ASSERT_TRUE(scale.begin(Pt{70, 50}));
    const std::string before = bytes(target);
    for (const Pt p : bad_points()) {
        if (p.x == -inf || p.y == -inf)
            continue;  // past the opposite side: below
        EXPECT_EQ(qvRaisedText([&] { scale.move(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(bytes(target), before) << text_of(p);
    }
    // Dragged to an infinity past the opposite side, the box stops at its
    // 20-device-unit minimum (10 model units), as any far drag does.
    scale.move(Pt{-inf, 50});
    EXPECT_EQ(target->rectangle(), Box(10, 10, 20, 20));
    scale.move(Pt{50, -inf});
    EXPECT_EQ(target->rectangle(), Box(10, 10, 20, 20));
}

TEST(qvScaleManipulatorFinite, With_the_aspect_kept_the_finite_factor_wins) {
    qvInteractionTestView v;
    const qvRectangle target(v.scene(), Box(10, 10, 30, 20));
    qvScaleManipulator scale;  // style 2: corners keep the aspect
    ASSERT_TRUE(scale.activate(v.gadgets(), v.layer(), target));
    ASSERT_TRUE(scale.begin(Pt{70, 50}));
    scale.move(Pt{inf, 70});  // kx infinite, ky = 20 / 10 = 2: k = 2
    EXPECT_EQ(target->rectangle(), Box(10, 10, 50, 30));
    EXPECT_EQ(qvRaisedText([&] { scale.move(Pt{not_a_number, 70}); }), invalid_point);
    EXPECT_EQ(target->rectangle(), Box(10, 10, 50, 30));
}

TEST(qvScaleManipulatorFinite, A_mapping_of_scale_0_moves_nothing) {
    qvInteractionTestView v;
    const Pt three[] = {{10, 10}, {30, 12}, {20, 20}};
    const qvPolygon target(v.scene(), 3, three);
    qvScaleManipulator scale(0);
    ASSERT_TRUE(scale.activate(v.gadgets(), v.layer(), target));
    ASSERT_TRUE(scale.begin(Pt{70, 50}));
    const std::string before = bytes(target);
    v.layer()->mapping(flat);
    EXPECT_EQ(qvRaisedText([&] { scale.move(Pt{80, 60}); }), invalid_point);
    EXPECT_EQ(bytes(target), before);
}

// ---------------------------------------------------------------------------
// Rectangle creation

TEST(qvRectangleCreationFinite, Bad_points_and_a_flat_mapping_move_neither_band_nor_target) {
    qvInteractionTestView v;
    const qvRectangle target(v.scene(), Box(1, 1, 2, 2));
    qvRectangleCreationManipulator create;
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    create.begin(Pt{30, 30});
    create.move(Pt{50, 40});
    const std::string before = bytes(target);
    ASSERT_EQ(target->rectangle(), Box(10, 10, 20, 15));
    for (const Pt p : bad_points()) {
        EXPECT_EQ(qvRaisedText([&] { create.move(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(qvRaisedText([&] { create.begin(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(bytes(target), before) << text_of(p);
    }
    create.notify(0);  // the band still shows the target: (30, 30)-(50, 40)
    create.move(Pt{70, 50});
    EXPECT_EQ(target->rectangle(), Box(10, 10, 30, 20)) << "the drag still starts at (30, 30)";

    const std::string last = bytes(target);
    for (qvRestrictedTransformation const& mapping : {flat, tiny}) {
        v.layer()->mapping(mapping);
        EXPECT_EQ(qvRaisedText([&] { create.move(Pt{60, 60}); }), invalid_point) << mapping.m0();
        EXPECT_EQ(qvRaisedText([&] { create.begin(Pt{60, 60}); }), invalid_point) << mapping.m0();
        EXPECT_EQ(bytes(target), last) << mapping.m0();
    }
}

TEST(qvRectangleCreationFinite, A_destroyed_target_raises_and_is_not_made_again) {
    qvInteractionTestView v;
    qvRectangle target(v.scene(), Box(1, 1, 2, 2));
    qvRectangleCreationManipulator create;
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    create.begin(Pt{30, 30});
    target->destroy_shape();
    EXPECT_EQ(qvRaisedText([&] { create.move(Pt{50, 40}); }), uninitialized);
    EXPECT_EQ(qvRaisedText([&] { create.begin(Pt{50, 40}); }), uninitialized);
    EXPECT_EQ(target->record(), nullptr);

    // A shape made without a box has no record yet: its first drag makes it.
    qvRectangle fresh(v.scene());
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), fresh));
    create.begin(Pt{30, 30});
    create.move(Pt{50, 40});
    EXPECT_EQ(fresh->rectangle(), Box(10, 10, 20, 15));
}

// ---------------------------------------------------------------------------
// Point-set creation

TEST(qvPointSetCreationFinite, Bad_points_append_nothing_and_leave_the_band) {
    qvInteractionTestView v;
    const Pt two[] = {{10, 10}, {30, 12}};
    const qvPolygon target(v.scene(), 2, two);  // compact: its frame must stay finite
    qvPointSetCreationManipulator create;
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    create.add_point(Pt{50, 70});
    create.track(Pt{60, 60});
    const std::string before = bytes(target);
    const qvViewSceneLayer companion = v.gadgets()->gadget_scene_layer(v.layer());
    auto* const gadgets = qvQueryInterface<qvContainerScene>(&companion->scene());
    ASSERT_NE(gadgets, nullptr);
    std::string band;
    for (qvIndirectIterator<qvGraphic> it = gadgets->enumerate(-1); it; ++it)
        band += bytes(*it);
    ASSERT_FALSE(band.empty());
    for (const Pt p : bad_points()) {
        EXPECT_EQ(qvRaisedText([&] { create.add_point(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(qvRaisedText([&] { create.track(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(bytes(target), before) << text_of(p);
    }
    std::string band_after;
    for (qvIndirectIterator<qvGraphic> it = gadgets->enumerate(-1); it; ++it)
        band_after += bytes(*it);
    EXPECT_EQ(band_after, band);

    v.layer()->mapping(flat);
    EXPECT_EQ(qvRaisedText([&] { create.add_point(Pt{40, 40}); }), invalid_point);
    EXPECT_EQ(qvRaisedText([&] { create.track(Pt{40, 40}); }), invalid_point);
    EXPECT_EQ(bytes(target), before);
}

TEST(qvPointSetCreationFinite, A_destroyed_target_raises_and_is_not_made_again) {
    qvInteractionTestView v;
    const Pt two[] = {{10, 10}, {30, 12}};
    qvExactPolygon target(v.scene(), 2, two);
    qvPointSetCreationManipulator create;
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), target));
    create.add_point(Pt{50, 70});
    target->destroy_shape();
    EXPECT_EQ(qvRaisedText([&] { create.add_point(Pt{40, 40}); }), uninitialized);
    EXPECT_EQ(target->record(), nullptr);

    // Destroyed before its first point: it had a record when activated.
    qvPolygon compact(v.scene(), 2, two);
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), compact));
    compact->destroy_shape();
    EXPECT_EQ(qvRaisedText([&] { create.add_point(Pt{40, 40}); }), uninitialized);
    EXPECT_EQ(compact->record(), nullptr);

    // A new, empty target is made by its first point; destroyed after it,
    // it is not made again by the next one.
    qvPolygon fresh(v.scene());
    ASSERT_TRUE(create.activate(v.gadgets(), v.layer(), fresh));
    create.add_point(Pt{30, 30});
    ASSERT_EQ(fresh->size(), 1);
    fresh->destroy_shape();
    EXPECT_EQ(qvRaisedText([&] { create.add_point(Pt{40, 40}); }), uninitialized);
    EXPECT_EQ(fresh->record(), nullptr);
}

// ---------------------------------------------------------------------------
// Point-set edit

TEST(qvPointSetEditFinite, Bad_points_and_a_flat_mapping_keep_every_compact_point) {
    qvInteractionTestView v;
    const Pt three[] = {{10, 10}, {30, 12}, {20, 20}};
    const qvPolygon target(v.scene(), 3, three);
    qvPointSetEditManipulator edit;
    ASSERT_TRUE(edit.activate(v.gadgets(), v.layer(), target));
    ASSERT_TRUE(edit.begin(Pt{70, 34}));  // point 1
    const std::string before = bytes(target);
    for (const Pt p : bad_points()) {
        EXPECT_EQ(qvRaisedText([&] { edit.move(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(bytes(target), before) << text_of(p);
    }
    for (qvRestrictedTransformation const& mapping : {flat, tiny}) {
        v.layer()->mapping(mapping);
        EXPECT_EQ(qvRaisedText([&] { edit.move(Pt{60, 60}); }), invalid_point) << mapping.m0();
        EXPECT_EQ(bytes(target), before) << mapping.m0();
    }
}

// ---------------------------------------------------------------------------
// Device-space gadgets: drag box, drag circle, polygons

TEST(qvDragBoxFinite, Bad_points_show_no_band_and_keep_the_shown_one) {
    qvInteractionTestView v;
    qvDragBoxManipulator box;
    ASSERT_TRUE(box.activate(v.gadgets()));
    for (const Pt p : bad_points())
        EXPECT_EQ(qvRaisedText([&] { box.begin(p); }), invalid_point) << text_of(p);
    EXPECT_EQ(qvRaisedText([&] { box.rectangle(); }), "Cannot query the drag box before it is initialized");
    box.begin(Pt{10, 20});
    box.move(Pt{30, 25});
    for (const Pt p : bad_points())
        EXPECT_EQ(qvRaisedText([&] { box.move(p); }), invalid_point) << text_of(p);
    EXPECT_EQ(box.rectangle(), Box(10, 20, 30, 25));
}

TEST(qvDragCircleFinite, Bad_points_and_radii_no_shape_holds_leave_the_circle) {
    qvInteractionTestView v;
    qvDragCircleManipulator circle;
    ASSERT_TRUE(circle.activate(v.gadgets()));
    for (const Pt p : bad_points())
        EXPECT_EQ(qvRaisedText([&] { circle.begin(p); }), invalid_point) << text_of(p);
    circle.begin(Pt{40, 30});
    circle.move(Pt{43, 34});
    for (const Pt p : bad_points())
        EXPECT_EQ(qvRaisedText([&] { circle.move(p); }), invalid_point) << text_of(p);
    // Finite points whose distance no float holds.
    EXPECT_EQ(qvRaisedText([&] { circle.move(Pt{-3e38, 3e38}); }), invalid_point);
    EXPECT_EQ(qvRaisedText([&] { circle.radius(not_a_number); }), invalid_point);
    EXPECT_EQ(circle.center(), (Pt{40, 30}));
    EXPECT_EQ(circle.radius(), 5.0);
    EXPECT_EQ(circle.rectangle(), Box(35, 25, 45, 35));

    // A box that leaves the range on one side only, above or below: the
    // horizontal radius fits, so a half-checked circle would take it alone.
    // (The centre is read in float: beyond half the range it is no centre.)
    circle.end();
    for (const double y : {1.5e38, -1.5e38}) {
        circle.begin(Pt{40, y});
        circle.move(Pt{40, y - y / 3e4});   // a radius of 5e33 fits
        const Box shown = circle.rectangle();
        EXPECT_EQ(qvRaisedText([&] { circle.move(Pt{40, -y / 3}); }), invalid_point) << y;
        EXPECT_EQ(qvRaisedText([&] { circle.circle(Pt{40, y}, 2e38); }), invalid_point) << y;
        EXPECT_EQ(qvRaisedText([&] { circle.radius(2e38); }), invalid_point) << y;
        EXPECT_EQ(circle.rectangle(), shown) << y;
        circle.end();
    }
}

TEST(qvPolygonManipulatorFinite, Bad_points_add_no_vertex_and_move_none) {
    qvInteractionTestView v;
    qvClickPolygonManipulator click;
    ASSERT_TRUE(click.activate(v.gadgets()));
    for (const Pt p : bad_points())
        EXPECT_EQ(qvRaisedText([&] { click.begin(p); }), invalid_point) << text_of(p);
    EXPECT_EQ(click.size(), 0);
    click.begin(Pt{10, 10});
    click.track(Pt{20, 15});
    for (const Pt p : bad_points()) {
        EXPECT_EQ(qvRaisedText([&] { click.add_point(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(qvRaisedText([&] { click.track(p); }), invalid_point) << text_of(p);
    }
    ASSERT_EQ(click.size(), 2);
    EXPECT_EQ(click.point(1), (Pt{20, 15}));

    qvDragPolygonManipulator drag;
    ASSERT_TRUE(drag.activate(v.gadgets()));
    drag.begin(Pt{10, 10});
    for (const Pt p : bad_points()) {
        EXPECT_EQ(qvRaisedText([&] { drag.move(p); }), invalid_point) << text_of(p);
        EXPECT_EQ(qvRaisedText([&] { drag.begin(p); }), invalid_point) << text_of(p);
    }
    EXPECT_EQ(drag.size(), 1);
}

// ---------------------------------------------------------------------------
// The point-set adapters write point by point: a refusal must come first.

TEST(qvPointSetAdaptersFinite, A_refused_move_or_rotation_leaves_every_point) {
    qvInteractionTestView v;
    const Pt three[] = {{1, 2}, {3e38, 5}, {7, 3e38}};
    const qvExactPolygon target(v.scene(), 3, three);
    const std::string before = bytes(target);
    for (const double d : {not_a_number, inf, -inf, 1e40, 1e300}) {
        EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvMoveInteraction>(target)->move(Pt{d, 0}); }),
                  "Coordinate is not finite or out of range")
            << d;
        EXPECT_EQ(bytes(target), before) << d;
    }
    // Point 0 could move by 1e38, the others not: nothing moves.
    EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvMoveInteraction>(target)->move(Pt{1e38, 1e38}); }),
              "Coordinate is not finite or out of range");
    EXPECT_EQ(bytes(target), before);
    // A rotation that carries (3e38, 5) past the float range used to empty
    // the set before the refill was refused.
    EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvRotateInteraction>(target)->rotate(Pt{-3e38, 0}, 30); }),
              "Coordinate is not finite or out of range");
    EXPECT_EQ(bytes(target), before);
    EXPECT_EQ(target->size(), 3);
}

TEST(qvGroupAdaptersFinite, A_group_refuses_before_its_first_member_moves) {
    qvInteractionTestView v;
    const qvRectangle near(v.scene(), Box(0, 0, 10, 10));
    const qvRectangle far(v.scene(), Box(3e38, 0, 3.2e38, 10));
    qvGraphicList group;
    group->add(near);
    group->add(far);
    const std::string a = bytes(near), b = bytes(far);
    for (const double d : {not_a_number, inf, -inf, 1e40, 1e300}) {
        EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvMoveInteraction>(group)->move(Pt{d, 0}); }),
                  "Coordinate is not finite or out of range")
            << d;
        EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvScaleInteraction>(group)->move_rt(Pt{0, d}); }),
                  "Coordinate is not finite or out of range")
            << d;
    }
    // `near` could move by 1e38, `far` not: neither moves.
    EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvMoveInteraction>(group)->move(Pt{1e38, 0}); }),
              "Coordinate is not finite or out of range");
    EXPECT_EQ(qvRaisedText([&] { qvAdapter<qvScaleInteraction>(group)->move_rt(Pt{1e38, 0}); }),
              "Coordinate is not finite or out of range");
    EXPECT_EQ(bytes(near), a);
    EXPECT_EQ(bytes(far), b);
}
