// Proxy and callback selections over overlapping shapes: the flag word,
// topmost-first picking, what an edit between selects must not change, the
// same hits over a memory scene, a paged scene and a view's scene layer,
// copies, and refusals.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvPointCallbackSelection.hpp>
#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvPolygonCallbackSelection.hpp>
#include <orvane/interaction/qvPolygonSelection.hpp>
#include <orvane/interaction/qvRectangleCallbackSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvExactPolyMarker.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvInteractionTestView.hpp"
#include "qvPagedSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

// The shape handles of a list, in list order.
std::vector<long> handles_of(qvGraphicList& list) {
    std::vector<long> out;
    for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it)
        out.push_back(qvQueryInterface<qvSingleShapeProxyBase>(it->get())->shape_handle());
    return out;
}

std::vector<long> sorted(std::vector<long> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// Two outlined rectangles that share the spot (10, 5): A's right edge and
// B's top edge; B is drawn last, on top. C lies far off.
struct Overlap {
    qvMemoryScene scene;
    qvRectangle a{scene, Box(0, 0, 10, 10)};
    qvRectangle b{scene, Box(5, 5, 15, 15)};
    qvRectangle c{scene, Box(40, 40, 50, 50)};
    long ha = a->shape_handle(), hb = b->shape_handle(), hc = c->shape_handle();
};

const Pt shared_spot{10, 5};

// A scene that is no container scene: it draws nothing.
class PlainScene : public qvScene {
public:
    int total_layers() override { return 1; }
    void render(qvFlavorPort&, int, qvMathRectOf<double> const&, bool) override {}
    qvPalette& palette() override { return palette_; }

private:
    qvStandardPalette palette_;
};

}  // namespace

TEST(qvPointSelection, Without_every_hit_takes_the_topmost_shape) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.hb});
    list->remove_all();
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x01));
    EXPECT_EQ(sorted(handles_of(list)), sorted({o.ha, o.hb}));
}

TEST(qvPointSelection, Toggle_removes_and_adds_back) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x03));
    EXPECT_EQ(list->size(), 2);
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x03));
    EXPECT_EQ(list->size(), 0);
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x03));
    EXPECT_EQ(sorted(handles_of(list)), sorted({o.ha, o.hb}));
    // Without toggle a listed hit is neither added twice nor removed.
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x01));
    EXPECT_EQ(list->size(), 2);
}

TEST(qvPointSelection, Query_only_never_changes_the_list_and_answers_for_listed_hits) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    list->add(o.a);
    EXPECT_FALSE(selection.select(list, Pt{15, 10}, 1.0, 0x05)) << "B only, not listed";
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x05));
    EXPECT_TRUE(selection.select(list, shared_spot, 1.0, 0x15)) << "0x10 ignored with 0x04";
    EXPECT_EQ(handles_of(list), std::vector<long>{o.ha});
}

TEST(qvPointSelection, Clear_first_then_select) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    list->add(o.a);
    EXPECT_TRUE(selection.select(list, Pt{45, 40}, 1.0, 0x11));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.hc});
    EXPECT_FALSE(selection.select(list, Pt{80, 80}, 1.0, 0x11));
    EXPECT_EQ(list->size(), 0) << "cleared even when nothing is hit";
}

TEST(qvPointSelection, Empty_area_gives_false_and_keeps_the_list) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    list->add(o.c);
    EXPECT_FALSE(selection.select(list, Pt{80, 80}, 1.0, 0x01));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.hc});
}

TEST(qvPointSelection, Whole_area_flag_hits_a_hollow_shape_in_its_middle) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    EXPECT_FALSE(selection.select(list, Pt{2, 2}, 1.0, 0x01));
    EXPECT_TRUE(selection.select(list, Pt{2, 2}, 1.0, 0x21));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.ha});
}

TEST(qvPointSelection, Tolerance_zero_still_hits_what_lies_under_the_point) {
    Overlap o;
    qvPointSelection selection(o.scene);
    qvGraphicList list;
    EXPECT_TRUE(selection.select(list, Pt{2, 2}, 0.0, 0x21));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.ha});
}

TEST(qvPointSelection, A_layer_whose_driver_adds_no_width_hits_the_shape_under_the_spot) {
    qvInteractionTestView v;
    qvRectangle under(v.scene(), Box(10, 10, 30, 30));
    qvRasterSettings settings;
    settings.window_width = 100;
    settings.window_height = 100;
    settings.added_width = 0;
    const qvISafePtr<qvRasterDriver> thin = qvRasterDriver::create(settings);
    const qvDeviceRenderer renderer(qvAsDriverHandle(thin), v.view());
    qvPointSelection selection(v.layer());
    qvGraphicList list;
    EXPECT_TRUE(selection.select(list, Pt{50, 50}, 0x21));  // model (20, 20)
    EXPECT_EQ(list->size(), 1);
}

TEST(qvPointSelection, An_edit_beside_does_not_widen_the_next_select) {
    qvMemoryScene scene;
    qvCrdOf<double> at{20, 0};
    qvExactPolyMarker marker(scene, 1, &at);
    qvPointSelection selection(scene);
    qvGraphicList list;
    // Diameter 5 + tolerance 2.5 falls short of the marker 8 away...
    EXPECT_FALSE(selection.select(list, Pt{12, 0}, 2.5, 0x01));
    // ...also after an edit beside it left an invalid area in the view.
    qvRectangle beside(scene, Box(18, -2, 22, 2));
    EXPECT_FALSE(selection.select(list, Pt{12, 0}, 2.5, 0x01));
    EXPECT_EQ(list->size(), 0);
}

TEST(qvPointSelection, Refuses_a_layer_over_no_scene_with_proxies) {
    PlainScene plain;
    qvViewSceneLayer over_plain(plain, -1), orphan, empty;
    {
        qvMemoryScene gone;
        orphan = qvViewSceneLayer(gone, -1);
    }
    for (qvViewSceneLayer* layer : {&over_plain, &orphan, &empty}) {
        try {
            qvPointSelection selection(*layer);
            ADD_FAILURE() << "no error";
        } catch (qvError const& e) {
            EXPECT_STREQ(static_cast<char const*>(e), "Cannot use proxy selection with non-container scene");
        }
    }
}

TEST(qvPointSelection, A_copy_selects_after_the_original_is_gone) {
    Overlap o;
    auto original = std::make_unique<qvPointSelection>(o.scene);
    qvPointSelection copy(*original);
    original.reset();
    qvGraphicList list;
    EXPECT_TRUE(copy.select(list, shared_spot, 1.0, 0x01));
    EXPECT_EQ(list->size(), 2);
}

TEST(qvRectangleSelection, Takes_a_shape_crossing_the_edge_only_when_touching_is_enough) {
    Overlap o;
    qvRectangleSelection selection(o.scene);
    qvGraphicList list;
    EXPECT_TRUE(selection.select(list, Box(-1, -1, 11, 11), 0));
    EXPECT_EQ(handles_of(list), std::vector<long>{o.ha});
    list->remove_all();
    EXPECT_TRUE(selection.select(list, Box(-1, -1, 11, 11), 0x08));
    EXPECT_EQ(sorted(handles_of(list)), sorted({o.ha, o.hb}));
}

TEST(qvPolygonSelection, A_missing_polygon_changes_nothing) {
    Overlap o;
    qvPolygonSelection selection(o.scene);
    qvGraphicList list;
    list->add(o.a);
    qvCrdOf<double> points[3] = {{0, 0}, {100, 0}, {0, 100}};
    EXPECT_FALSE(selection.select(list, nullptr, 0x10));
    EXPECT_FALSE(selection.select(list, 0, points, 0x10));
    EXPECT_FALSE(selection.select(list, 3, nullptr, 0x10));
    EXPECT_EQ(list->size(), 1);
    qvCrdOf<double> around[4] = {{-1, -1}, {20, -1}, {20, 20}, {-1, 20}};
    EXPECT_TRUE(selection.select(list, 4, around, 0x10));
    EXPECT_EQ(sorted(handles_of(list)), sorted({o.ha, o.hb}));
}

TEST(qvSelectionCallback, Counts_the_hit_records) {
    Overlap o;
    qvSelectionCallback spot_hits, box_hits, polygon_hits;
    qvPointCallbackSelection(o.scene).select(spot_hits, shared_spot, 1.0);
    EXPECT_EQ(spot_hits.count(), 2);
    qvRectangleCallbackSelection(o.scene).select(box_hits, Box(-1, -1, 60, 60), false);
    EXPECT_EQ(box_hits.count(), 3);
    qvCrdOf<double> around[4] = {{-1, -1}, {20, -1}, {20, 20}, {-1, 20}};
    qvPolygonCallbackSelection polygons(o.scene);
    polygons.select(polygon_hits, 4, around, true);
    polygons.select(polygon_hits, 0, around, true);
    EXPECT_EQ(polygon_hits.count(), 2);
}

TEST(qvSelectionSameHits, Memory_paged_and_view_layer_select_the_same_shapes) {
    const std::vector<Box> boxes = {Box(10, 10, 20, 20), Box(15, 12, 30, 25), Box(50, 50, 60, 70),
                                    Box(22, 40, 35, 48), Box(70, 10, 90, 30)};
    const Box area(12, 8, 40, 50);
    const auto picked = [&](qvContainerScene& scene, qvGraphicList& list) {
        std::vector<long> order;
        for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it) {
            const long h = qvQueryInterface<qvSingleShapeProxyBase>(it->get())->shape_handle();
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                const qvRectangle r = qvRectangle(scene.instantiate(h));
                if (r && r->rectangle() == boxes[i])
                    order.push_back(static_cast<long>(i));
            }
        }
        return sorted(order);
    };

    qvMemoryScene memory;
    for (Box const& b : boxes)
        qvRectangle(memory, b);
    qvGraphicList from_memory;
    qvRectangleSelection(memory).select(from_memory, area, 0x01);

    paged_scene_test::PagedSceneFixture fixture;
    qvBasicPagedScene& paged = fixture.created(1);
    for (Box const& b : boxes)
        qvRectangle(paged, b);
    qvGraphicList from_paged;
    qvRectangleSelection(paged).select(from_paged, area, 0x01);

    qvInteractionTestView v;
    for (Box const& b : boxes)
        qvRectangle(v.scene(), b);
    qvGraphicList from_view;
    qvRectangleSelection(v.layer()).select(from_view, qvInteractionTestView::device(area), 0x01);

    const std::vector<long> expected{1, 3};
    EXPECT_EQ(picked(memory, from_memory), expected);
    EXPECT_EQ(picked(paged, from_paged), expected);
    EXPECT_EQ(picked(v.scene(), from_view), expected);
}
