// The window layers against a fresh render: 500 rectangles, a 400 x 300
// window, 200 seeded steps of edits, whole-unit scrolls by three roads,
// zooms and redraws, under a plain group layer, the cache layer buffered,
// copy-back and copy-back with double rendering, and the scroll layer, each
// with renderer flags 0, 0x1 and 0x2. After every redraw the window must
// equal a fresh full render byte for byte; after a pure scroll under flags
// 0 the cache and scroll layers' children may draw only the strips the
// scroll exposed (nothing else was invalid: the step before was a redraw).

#include "qvWindowScript.hpp"

#include <orvane/geometry/qvScrollInfo.hpp>

#include <gtest/gtest.h>

namespace {

struct Case {
    qvWindowLayerKind layer;
    unsigned flags;
};

class qvWindowLayersProperty : public ::testing::TestWithParam<Case> {};

qvGridRegion exposed_by(qvCrdOf<int> d) {
    const qvScrollInfo info(qvWinRectOf<double>(0, 0, 400, 300), qvCrdOf<double>{double(d.x), double(d.y)});
    qvMathRectOf<double> strips[2];
    qvGridRegion out;
    for (int i = 0, n = info.invalid(strips); i < n; ++i)
        out += strips[i];
    return out;
}

}  // namespace

TEST_P(qvWindowLayersProperty, Every_redraw_equals_a_fresh_render) {
    const Case c = GetParam();
    qvWindowScriptSetup setup;
    setup.layer = c.layer;
    setup.renderer_flags = c.flags;
    setup.seed = 20261207u + static_cast<unsigned>(c.layer) * 7u + c.flags;
    qvWindowScript script(setup);
    ASSERT_TRUE(script.fresh());
    const bool saving = c.flags == 0 && c.layer != qvWindowLayerKind::group;
    bool clean = true;
    for (int step = 0; step < 200; ++step) {
        const auto what = script.random_step(3);
        if (what == qvWindowScript::Step::redraw) {
            ASSERT_TRUE(script.fresh()) << qvWindowLayerName(c.layer) << " flags " << c.flags << " step " << step;
            // A window moved at render reports the strips it uncovered, as
            // an expose would; the host repaints them before it goes idle.
            script.settle();
            ASSERT_TRUE(script.fresh()) << qvWindowLayerName(c.layer) << " flags " << c.flags << " step " << step;
            clean = true;
            continue;
        }
        if (what == qvWindowScript::Step::scroll && clean && saving) {
            script.redraw();
            const qvGridRegion drew = script.children_drew();
            ASSERT_TRUE(drew < exposed_by(script.last_scroll))
                << "step " << step << " drew " << qvRasterText(drew) << " road "
                << static_cast<int>(script.last_road);
            ASSERT_TRUE(script.fresh()) << qvWindowLayerName(c.layer) << " step " << step;
            script.settle();
            continue;
        }
        clean = false;
    }
    script.redraw();
    EXPECT_TRUE(script.fresh());
}

INSTANTIATE_TEST_SUITE_P(
    LayersAndFlags, qvWindowLayersProperty,
    ::testing::Values(Case{qvWindowLayerKind::group, 0}, Case{qvWindowLayerKind::group, 1},
                      Case{qvWindowLayerKind::group, 2}, Case{qvWindowLayerKind::cache_buffered, 0},
                      Case{qvWindowLayerKind::cache_buffered, 1}, Case{qvWindowLayerKind::cache_buffered, 2},
                      Case{qvWindowLayerKind::cache_copy_back, 0}, Case{qvWindowLayerKind::cache_copy_back, 1},
                      Case{qvWindowLayerKind::cache_copy_back, 2}, Case{qvWindowLayerKind::cache_double, 0},
                      Case{qvWindowLayerKind::cache_double, 1}, Case{qvWindowLayerKind::cache_double, 2},
                      Case{qvWindowLayerKind::scroll, 0}, Case{qvWindowLayerKind::scroll, 1},
                      Case{qvWindowLayerKind::scroll, 2}));

