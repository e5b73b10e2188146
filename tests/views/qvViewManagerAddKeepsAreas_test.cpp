// What a view manager is to redraw survives adding a layer: an area
// invalidated before the add, on the manager, on a layer already in it, on
// an active layer the add's rebuild clears of its children, or on the
// added layer itself while it was in no view.

#include "qvEveryKindScene.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewGroupLayer.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <gtest/gtest.h>

namespace {

using Rect = qvMathRectOf<double>;

qvViewLayer quiet_layer() {
    auto* layer = new qvTestLayer;
    layer->safe_to_remove(true);
    return qvViewLayer(static_cast<qvViewLayerObject*>(layer));
}

}  // namespace

TEST(qvViewManagerAdd, An_area_invalidated_before_an_add_is_still_to_be_redrawn_after_it) {
    const Rect spot(10, 12, 26, 20);
    // 0: the manager, 1: a layer in it, 2: a group the rebuild clears,
    // 3: the added scene layer itself, before it had a view.
    for (int where = 0; where < 4; ++where)
        for (const int order : {5, 6}) {   // inserted first (a rebuild), appended
            qvEveryKindScene every;
            const qvViewManager view = qvViewCreator::create();
            const qvViewGroupLayer group(true);
            const qvViewLayer inside = quiet_layer();
            ASSERT_TRUE(view->add(qvViewLayer(group), qvOrder(6), qvViewLayer(), true));
            ASSERT_TRUE(view->add(inside, qvOrder(6), qvViewLayer(), true));
            view->cleanup();
            const qvViewSceneLayer added(every.scene(), -1);
            added->cleanup();
            if (where == 0)
                view->invalidate(spot, false);
            else if (where == 1)
                inside->invalidate(spot, false);
            else if (where == 2)
                group->invalidate(spot, false);
            else
                added->invalidate(spot, false);
            ASSERT_TRUE(view->add(qvViewLayer(added), qvOrder(order), qvViewLayer(), true));
            EXPECT_FALSE(view->redraw_all(true)) << where << " " << order;
            EXPECT_TRUE(qvGridRegion(view->redraw_area(true)) == qvGridRegion(spot)) << where << " " << order;
        }
}
