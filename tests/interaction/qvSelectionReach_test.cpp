// The reach of ink beyond a record's box: a spot on the band of a wide line
// or near a large marker is a hit by the hit test's own rule (half the pen
// width plus the tolerance; the diameter plus the tolerance), so the
// selections must ask the scene for those records even though their boxes
// lie farther off than the tolerance. Lines of widths 1, 20 and 200 and
// markers of several diameters, in memory and paged scenes, with spots
// half a unit inside and outside the reach; and the reach kept current as
// attributes change.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/interaction/qvPointCallbackSelection.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>

#include "attributes/qvAttributeFolders.hpp"
#include "interaction/qvSelectionReach.hpp"
#include "qvPagedSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

constexpr double tolerance = 5.0;

// Each case gets a scene of its own: a memory scene, or a paged scene of
// one layer over (0, 0, 100, 100).
struct SceneMaker {
    char const* name;
    std::function<qvContainerScene&()> make;
};

class Scenes {
public:
    qvContainerScene& memory() {
        memory_ = std::make_unique<qvMemoryScene>();
        return *memory_;
    }
    qvContainerScene& paged() {
        paged_ = std::make_unique<paged_scene_test::PagedSceneFixture>();
        return paged_->created(1);
    }

private:
    std::unique_ptr<qvMemoryScene> memory_;
    std::unique_ptr<paged_scene_test::PagedSceneFixture> paged_;
};

// A horizontal line from (10, 40) to (90, 40) of the given pen width.
qvPolyline wide_line(qvContainerScene& scene, double width) {
    qvAttributeProxy pen(scene, 0);
    pen.line_width(width);
    const Pt points[] = {{10, 40}, {90, 40}};
    return qvPolyline(scene, 2, points, &pen);
}

// One marker at (30, 60) of the given diameter.
qvPolyMarker large_marker(qvContainerScene& scene, int diameter) {
    qvAttributeProxy marker(scene, 0);
    const qvMarkerDiameter value{diameter};
    marker.property(qvAttributeFolder(qvAttributeFolderId::marker_diameter), &value);
    const Pt at{30, 60};
    return qvPolyMarker(scene, 1, &at, &marker);
}

bool spot_hits(qvContainerScene& scene, Pt spot) {
    qvGraphicList list;
    return qvPointSelection(scene).select(list, spot, tolerance, 0x01);
}

int callback_hits(qvContainerScene& scene, Pt spot) {
    qvSelectionCallback counter;
    qvPointCallbackSelection(scene).select(counter, spot, tolerance);
    return counter.count();
}

}  // namespace

TEST(qvSelectionReach, A_spot_on_the_band_of_a_wide_line_hits_it_and_one_past_the_band_misses) {
    Scenes scenes;
    for (const bool paged : {false, true}) {
        for (const double width : {1.0, 20.0, 200.0}) {
            const double reach = width / 2 + tolerance;
            for (const double off : {reach - 0.5, reach + 0.5}) {
                const bool inside = off < reach;
                qvContainerScene& scene = paged ? scenes.paged() : scenes.memory();
                wide_line(scene, width);
                // Above the line's middle and beyond its end, both sides.
                EXPECT_EQ(spot_hits(scene, Pt{50, 40 + off}), inside)
                    << (paged ? "paged" : "memory") << " width " << width << " off " << off;
                EXPECT_EQ(spot_hits(scene, Pt{50, 40 - off}), inside) << width;
                EXPECT_EQ(spot_hits(scene, Pt{90 + off, 40}), inside) << width;
                EXPECT_EQ(callback_hits(scene, Pt{10 - off, 40}), inside ? 1 : 0) << width;
            }
        }
    }
}

TEST(qvSelectionReach, A_spot_within_diameter_and_tolerance_of_a_large_marker_hits_it) {
    Scenes scenes;
    for (const bool paged : {false, true}) {
        for (const int diameter : {4, 10, 20, 60}) {
            const double reach = diameter + tolerance;
            for (const double off : {reach - 0.5, reach + 0.5}) {
                const bool inside = off < reach;
                qvContainerScene& scene = paged ? scenes.paged() : scenes.memory();
                large_marker(scene, diameter);
                EXPECT_EQ(spot_hits(scene, Pt{30 + off, 60}), inside)
                    << (paged ? "paged" : "memory") << " diameter " << diameter << " off " << off;
                EXPECT_EQ(spot_hits(scene, Pt{30, 60 - off}), inside) << diameter;
                EXPECT_EQ(callback_hits(scene, Pt{30 - off, 60}), inside ? 1 : 0) << diameter;
            }
        }
    }
}

TEST(qvSelectionReach, A_selection_made_before_a_pen_widens_finds_the_wider_band) {
    qvMemoryScene scene;
    qvPolyline line = wide_line(scene, 1.0);
    qvPointSelection selection(scene);
    qvSelectionCallback counter;
    qvPointCallbackSelection by_callback(scene);
    qvGraphicList list;
    const Pt spot{50, 40 + 22};  // within 40 / 2 + 5, not within 20 / 2 + 5
    EXPECT_FALSE(selection.select(list, spot, tolerance, 0x01));

    line->line_width(40.0);
    EXPECT_TRUE(selection.select(list, spot, tolerance, 0x11));
    by_callback.select(counter, spot, tolerance);
    EXPECT_EQ(counter.count(), 1);

    line->line_width(20.0);  // the widest pen narrows again
    EXPECT_FALSE(selection.select(list, spot, tolerance, 0x11));
}

TEST(qvSelectionReach, A_box_selection_judges_a_wide_line_by_its_points_not_its_band) {
    qvMemoryScene scene;
    wide_line(scene, 200.0);
    qvGraphicList list;
    // The band covers this box; the line's points do not touch it.
    EXPECT_FALSE(qvRectangleSelection(scene).select(list, Box(40, 50, 60, 70), 0x08));
    EXPECT_TRUE(qvRectangleSelection(scene).select(list, Box(40, 30, 60, 70), 0x08));
}

TEST(qvSelectionReach, Widest_follows_the_palette_attribute_by_attribute) {
    qvMemoryScene scene;
    qvPalette& palette = scene.palette();
    qvSelectionReach reach;
    EXPECT_EQ(reach.widest(nullptr), 5.0);  // the default marker diameter
    EXPECT_EQ(reach.widest(&scene), 5.0);

    using F = qvAttributeFolderId;
    const qvWrap<double> width(31.0);
    const long pen = palette.property(palette.alloc(false), qvAttributeFolder(F::line_width), &width, false);
    EXPECT_EQ(reach.widest(&scene), 15.5);
    const qvMarkerDiameter diameter{7};
    const long marker =
        palette.property(palette.alloc(false), qvAttributeFolder(F::marker_diameter), &diameter, false);
    EXPECT_EQ(reach.widest(&scene), 15.5);

    const qvWrap<double> narrow(3.0);
    EXPECT_EQ(palette.property(pen, qvAttributeFolder(F::line_width), &narrow, false), pen);
    EXPECT_EQ(reach.widest(&scene), 7.0) << "the widest attribute narrowed: the next one counts";
    const qvWrap<double> broken(std::nan(""));
    palette.property(pen, qvAttributeFolder(F::line_width), &broken, false);
    EXPECT_EQ(reach.widest(&scene), 7.0) << "a NaN width reaches nothing";
    palette.release(marker);
    EXPECT_EQ(reach.widest(&scene), 5.0);
}

// A shared attribute edited for one of its users goes to a copy the palette
// makes without a word; the record's edit is what tells.
TEST(qvSelectionReach, A_silent_copy_of_a_shared_attribute_is_found_through_the_record_edit) {
    qvMemoryScene scene;
    qvPolyline line = wide_line(scene, 1.0);
    qvPolyline other = wide_line(scene, 1.0);
    other->connect_attribute(*line);  // one attribute, two users
    qvSelectionReach reach;
    EXPECT_EQ(reach.widest(&scene), 5.0);
    const long before = line->attribute_handle();
    line->line_width(60.0);
    ASSERT_NE(line->attribute_handle(), before) << "the edit was expected to go to a copy";
    EXPECT_EQ(reach.widest(&scene), 30.0);
}

TEST(qvSelectionReach, A_scene_that_dies_is_forgotten_without_being_called) {
    qvSelectionReach reach;
    {
        qvMemoryScene scene;
        const qvWrap<double> width(50.0);
        scene.palette().property(scene.palette().alloc(false), qvAttributeFolder(qvAttributeFolderId::line_width),
                                 &width, false);
        EXPECT_EQ(reach.widest(&scene), 25.0);
    }
    qvMemoryScene other;  // may reuse the dead scene's address
    EXPECT_EQ(reach.widest(&other), 5.0);
}

TEST(qvSelectionReach, A_callback_selection_over_a_layer_whose_scene_is_gone_finds_nothing) {
    qvViewSceneLayer orphan;
    {
        qvMemoryScene gone;
        wide_line(gone, 40.0);
        orphan = qvViewSceneLayer(gone, -1);
    }
    qvPointCallbackSelection selection(orphan);
    qvSelectionCallback counter;
    selection.select(counter, Pt{50, 40}, tolerance);
    EXPECT_EQ(counter.count(), 0);
}
