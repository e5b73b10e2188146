// The selections' direct road against the view's: over seeded scenes of
// rectangles, wide lines and markers (memory and paged), under the identity
// and a scaling mapping, spot, box and polygon selectors must be handed the
// same records in the same order, and report the same hits, whether the
// selection view's redraw runs or qvSelectionRenderDirect does.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvPolygonSelector.hpp>
#include <orvane/interaction/qvSelectionBase.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvViewFilter.hpp>

#include "qvPagedSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;

// Every record offered and every hit, in order; stops after `stop_after`
// hits when positive.
struct Log : qvSelector::Callback {
    std::vector<std::int32_t> hits;
    int stop_after = 0;
    bool selected(qvShapeBase const* record, qvScene const*) override {
        hits.push_back(record->shape_handle);
        return stop_after <= 0 || static_cast<int>(hits.size()) < stop_after;
    }
};

template <class Base>
class Logging : public Base {
public:
    using Base::Base;
    bool check_selection(qvShapeBase const* record, qvSelector::Info info) override {
        offered.push_back(record->shape_handle);
        return Base::check_selection(record, info);
    }
    std::vector<std::int32_t> offered;
};

void fill(qvContainerScene& scene, std::mt19937& rng) {
    std::uniform_real_distribution<double> at(0, 90), size(0.5, 12);
    for (int i = 0; i < 60; ++i) {
        const double x = at(rng), y = at(rng);
        qvAttributeProxy style(scene, 0);
        style.line_width(static_cast<double>(i % 4) * 3.0);
        const Pt points[] = {{x, y}, {x + size(rng), y + size(rng)}};
        switch (i % 3) {
        case 0: qvRectangle(scene, Box(x, y, x + size(rng), y + size(rng))); break;
        case 1: qvPolyline(scene, 2, points, &style); break;
        default: qvPolyMarker(scene, 2, points, &style); break;
        }
    }
}

// One selection view over `scene` (mapping `m`), both roads.
struct Roads {
    qvViewManager view = qvSelectionView();
    qvViewSceneLayer layer;
    Roads(qvScene& scene, qvRestrictedTransformation const& m) : layer(scene, -1) {
        layer->mapping(m);
        view->add(qvViewLayer(layer), qvOrderLast);
        qvSelectionPark(layer);
    }
    template <class Selector>
    void by_view(Selector& selector, Box const& area) {
        const qvDeviceRenderer renderer(qvISafePtr<qvDriverObject>(selector.get()), view);
        qvSelectionRender(view, layer, area);
    }
    template <class Selector>
    bool direct(Selector& selector, Box const& area) {
        return qvSelectionRenderDirect(layer, *selector, area);
    }
};

template <class Object, class Setup>
void compare(Roads& roads, Box const& area, int stop_after, Setup&& setup, char const* what) {
    Log view_log, direct_log;
    view_log.stop_after = direct_log.stop_after = stop_after;
    qvISafePtr<Object> by_view(new Object(&view_log)), direct(new Object(&direct_log));
    setup(*by_view);
    setup(*direct);
    roads.by_view(by_view, area);
    ASSERT_TRUE(roads.direct(direct, area)) << what;
    EXPECT_EQ(direct->offered, by_view->offered) << what;
    EXPECT_EQ(direct_log.hits, view_log.hits) << what;
}

void compare_all(qvScene& scene, qvRestrictedTransformation const& m, std::mt19937& rng) {
    Roads roads(scene, m);
    std::uniform_real_distribution<double> at(-20, 300), reach(0, 60);
    for (int round = 0; round < 40; ++round) {
        const Pt p{at(rng), at(rng)};
        const double t = reach(rng) / 4;
        const Box box(p.x, p.y, p.x + reach(rng), p.y + reach(rng));
        const int stop_after = round % 3;
        compare<Logging<qvSpotSelectorObject>>(
            roads, Box(p.x - t - 8, p.y - t - 8, p.x + t + 8, p.y + t + 8), stop_after,
            [&](qvSpotSelectorObject& s) { s.setup(p, t); s.options(round % 2 ? 0x20u : 0u); }, "spot");
        compare<Logging<qvBoxSelectorObject>>(
            roads, box, stop_after, [&](qvBoxSelectorObject& s) { s.setup(box, round % 2 == 0); }, "box");
        std::vector<Pt> polygon{{box.x1, box.y1}, {box.x2, box.y1 + 3}, {box.x1 + 5, box.y2}};
        compare<Logging<qvPolygonSelectorObject>>(
            roads, box, stop_after,
            [&](qvPolygonSelectorObject& s) { s.setup(3, polygon.data(), round % 2 == 1); }, "polygon");
    }
}

}  // namespace

TEST(qvSelectionDirect, Hands_the_selector_what_the_view_would_over_a_memory_scene) {
    std::mt19937 rng(20261207);
    qvMemoryScene scene;
    fill(scene, rng);
    compare_all(scene, qvRestrictedTransformation::identity(), rng);
    compare_all(scene, qvRestrictedTransformation(2.5, -1.5, 7, 160), rng);
}

TEST(qvSelectionDirect, Hands_the_selector_what_the_view_would_over_a_paged_scene) {
    std::mt19937 rng(20261208);
    paged_scene_test::PagedSceneFixture fixture;
    qvBasicPagedScene& scene = fixture.created(2);
    fill(scene, rng);
    compare_all(scene, qvRestrictedTransformation::identity(), rng);
    compare_all(scene, qvRestrictedTransformation(0.75, 3, -4, 9), rng);
}

TEST(qvSelectionDirect, Leaves_an_empty_area_and_a_filtered_layer_alone) {
    qvMemoryScene scene;
    qvRectangle(scene, Box(0, 0, 10, 10));
    Roads roads(scene, qvRestrictedTransformation::identity());
    Log log;
    qvISafePtr<Logging<qvSpotSelectorObject>> spot(new Logging<qvSpotSelectorObject>(&log));
    spot->setup(Pt{5, 0}, 1);
    EXPECT_TRUE(roads.direct(spot, Box(5, 0, 5, 10))) << "an area of no width draws nothing";
    EXPECT_TRUE(spot->offered.empty());
    roads.layer->view_filter(qvViewFilter::on());
    EXPECT_FALSE(roads.direct(spot, Box(0, 0, 10, 10))) << "a filter is the view's to ask";
    roads.layer->view_filter(nullptr);
    const qvRegion clip(Box(0, 0, 4, 4));
    roads.layer->clipping(&clip);
    EXPECT_FALSE(roads.direct(spot, Box(0, 0, 10, 10))) << "a clip is the view's to apply";
    EXPECT_TRUE(spot->offered.empty());
}
