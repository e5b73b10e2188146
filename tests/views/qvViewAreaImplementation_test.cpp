// The standard area of a layer: what invalidate and validate record under
// clipping and restriction, and what the redraw queries answer.

#include "qvViewTestDoubles.hpp"
#include <orvane/views/qvViewAreaImplementation.hpp>

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Rect = qvMathRectOf<double>;

struct Area : qvViewAreaImplementation {
    using qvViewAreaImplementation::copy_area_data;
    using qvViewAreaImplementation::gate;
};

}  // namespace

TEST(qvViewAreaImplementation, Zero_extents_are_widened_to_one_unit_and_NaN_is_left_alone) {
    Area area;
    EXPECT_FALSE(area.invalidate(Rect(10, 0, 10, 5), true));
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(10, 0, 11, 5)})));
    area.validate();
    area.invalidate(Rect(0, 3, 4, 3), false);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(0, 3, 4, 4)})));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    Rect odd(0, 0, 1, 1);
    odd.x2 = nan;
    const Rect kept = qvViewAreaImplementation::widened(odd);
    EXPECT_TRUE(std::isnan(kept.x2));
    EXPECT_EQ(kept.x1, 0);
    area.validate();
    area.invalidate(odd, false);
    EXPECT_TRUE(area.local_redraw_area().empty());
    // An inverted rectangle stays inverted: the regions read it as empty.
    Rect inverted(0, 0, 1, 1);
    inverted.x1 = 5;
    area.invalidate(inverted, false);
    EXPECT_TRUE(area.local_redraw_area().empty());
}

TEST(qvViewAreaImplementation, Whole_layer_without_clip_or_restriction_is_the_all_mark) {
    Area area;
    area.invalidate(Rect(0, 0, 5, 5), false);
    EXPECT_FALSE(area.invalidate(true));
    EXPECT_TRUE(area.redraw_all(false));
    EXPECT_TRUE(area.local_redraw_area().empty());   // pending was erased
    area.validate(Rect(0, 0, 100, 100));             // a wholly invalid layer stays so
    area.validate(qvGridOf({Rect(0, 0, 100, 100)}));
    EXPECT_TRUE(area.redraw_all(false));
    area.invalidate(Rect(1, 1, 2, 2), false);        // ignored while all is set
    area.validate();
    EXPECT_FALSE(area.redraw_all(false));
    EXPECT_TRUE(area.local_redraw_area().empty());
}

TEST(qvViewAreaImplementation, With_a_clip_the_whole_layer_is_the_clip_in_pending) {
    Area area;
    const qvGridRegion clip = qvGridOf({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)});
    area.clipping(&clip);
    EXPECT_FALSE(area.no_clipping());
    EXPECT_FALSE(area.invalidate(true));
    EXPECT_FALSE(area.redraw_all(false));
    EXPECT_TRUE(qvSameArea(area.redraw_area(false), clip));

    area.validate();
    area.invalidate(Rect(5, 5, 25, 6), false);   // cut to the clip
    EXPECT_TRUE(qvSameArea(area.redraw_area(false), qvGridOf({Rect(5, 5, 10, 6), Rect(20, 5, 25, 6)})));

    area.clipping(nullptr);
    EXPECT_TRUE(area.no_clipping());
    EXPECT_TRUE(area.clipping().empty());
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(5, 5, 10, 6), Rect(20, 5, 25, 6)})));
}

TEST(qvViewAreaImplementation, A_clip_that_is_set_but_empty_answers_pending) {
    Area area;
    area.invalidate(Rect(0, 0, 4, 4), false);
    const qvGridRegion none;
    area.clipping(&none);
    EXPECT_FALSE(area.no_clipping());
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(0, 0, 4, 4)})));
}

TEST(qvViewAreaImplementation, The_restriction_confines_invalidation_and_shrinks_pending) {
    Area area;
    area.invalidate(Rect(0, 0, 100, 100), false);
    const qvListRegion restriction(Rect(0, 0, 50, 50));
    area.restrict_invalidation(restriction);   // a later restriction shrinks pending
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(0, 0, 50, 50)})));

    area.validate();
    area.invalidate(Rect(40, 40, 60, 60), false);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(40, 40, 50, 50)})));
    area.invalidate(qvGridOf({Rect(45, 0, 70, 10)}), false);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(),
                          qvGridOf({Rect(40, 40, 50, 50), Rect(45, 0, 50, 10)})));

    area.restrict_invalidation(qvListRegion());   // an empty one leaves pending
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(),
                          qvGridOf({Rect(40, 40, 50, 50), Rect(45, 0, 50, 10)})));

    // Whole layer with a restriction: pending += restriction, no all mark.
    Area whole;
    whole.restrict_invalidation(restriction);
    whole.invalidate(true);
    EXPECT_FALSE(whole.redraw_all(false));
    EXPECT_TRUE(qvSameArea(whole.local_redraw_area(), restriction));
}

TEST(qvViewAreaImplementation, Validation_inside_a_restriction_removes_only_its_part) {
    Area area;
    const qvGridRegion restriction = qvGridOf({Rect(0, 0, 10, 10), Rect(20, 0, 30, 10)});
    area.restrict_invalidation(restriction);
    area.invalidate(true);
    area.validate(Rect(5, 0, 25, 10));
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(0, 0, 5, 10), Rect(25, 0, 30, 10)})));
}

TEST(qvViewAreaImplementation, Clip_and_restriction_together_add_their_intersection) {
    Area area;
    const qvGridRegion clip = qvGridOf({Rect(0, 0, 10, 10)});
    const qvGridRegion restriction = qvGridOf({Rect(5, 0, 15, 10), Rect(5, 20, 6, 21)});
    area.clipping(&clip);
    area.restrict_invalidation(restriction);
    area.invalidate(Rect(0, 0, 100, 100), false);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(5, 0, 10, 10)})));
    area.validate();
    area.invalidate(true);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(5, 0, 10, 10)})));
}

TEST(qvViewAreaImplementation, Copying_takes_clip_restriction_and_the_mark_or_the_area) {
    Area source;
    const qvGridRegion clip = qvGridOf({Rect(0, 0, 10, 10)});
    const qvListRegion restriction(Rect(0, 0, 8, 8));
    source.clipping(&clip);
    source.restrict_invalidation(restriction);
    source.invalidate(Rect(1, 1, 3, 3), false);

    Area copy;
    copy.invalidate(Rect(50, 50, 60, 60), false);   // replaced, not merged
    copy.copy_area_data(source);
    EXPECT_TRUE(qvSameArea(copy.clipping(), clip));
    EXPECT_TRUE(qvSameArea(copy.restrict_invalidation(), restriction));
    EXPECT_TRUE(qvSameArea(copy.redraw_area(false), qvGridOf({Rect(1, 1, 3, 3)})));

    Area whole;
    whole.invalidate(true);
    Area marked;
    const qvGridRegion other_clip = qvGridOf({Rect(0, 0, 1, 1)});
    marked.clipping(&other_clip);
    marked.copy_area_data(whole);
    EXPECT_TRUE(marked.no_clipping());
    EXPECT_TRUE(marked.redraw_all(false));
}

// Copying an area from itself used to validate first and then re-add its
// own (by then erased) redraw area, losing everything pending.
TEST(qvViewAreaImplementation, Copying_from_itself_keeps_the_pending_area) {
    Area area;
    area.invalidate(Rect(1, 1, 3, 3), false);
    area.copy_area_data(area);
    EXPECT_TRUE(qvSameArea(area.local_redraw_area(), qvGridOf({Rect(1, 1, 3, 3)})));
}

