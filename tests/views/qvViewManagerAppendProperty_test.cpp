// Layers added one at a time, each bringing the tree up to date, against
// the same changes made deferred and rebuilt once at the end, the way the
// tree is defined: the same children in every active layer and the same
// parents, for random runs of appends, placements by code and reference,
// group layers and removals.

#include "qvViewTestDoubles.hpp"

#include "views/qvViewManagerImplementation.hpp"

#include <orvane/views/qvViewGroupLayer.hpp>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The tree below `layer` as text: each layer by its index in `pool`, the
// children of an active layer in brackets, the background as "bg".
std::string tree_of(qvViewLayerObject& layer, std::vector<qvViewLayer> const& pool, qvRefBase* bg) {
    std::string out;
    auto* const active = qvQueryInterface<qvViewActiveLayerObject>(&layer);
    if (active == nullptr) return out;
    out += "[";
    for (qvIndirectIterator<qvViewLayer> at = active->layers(); at; ++at) {
        qvViewLayer const& child = *at;
        if (child->parent() != active) out += "(wrong parent)";
        if (child.counter() == bg) {
            out += "bg ";
            continue;
        }
        for (std::size_t k = 0; k < pool.size(); ++k)
            if (pool[k].counter() == child.counter()) out += std::to_string(k);
        out += tree_of(*child, pool, bg) + " ";
    }
    return out + "]";
}

struct Managed {
    qvViewManagerImplementation* object = new qvViewManagerImplementation;
    qvViewManager handle{static_cast<qvViewManagerObject*>(object)};
    std::string tree(std::vector<qvViewLayer> const& pool) const {
        return tree_of(*object->head(), pool, object->background()->ref_base());
    }
};

std::vector<qvViewLayer> layer_pool(bool groups) {
    std::vector<qvViewLayer> pool;
    for (int k = 0; k < 12; ++k) {
        if (groups && k % 5 == 4)
            pool.push_back(qvViewLayer(qvViewGroupLayer(true)));
        else
            pool.push_back(qvViewLayer(static_cast<qvViewLayerObject*>(new qvTestLayer)));
    }
    return pool;
}

TEST(qvViewManagerProperty, Adding_layers_one_at_a_time_builds_the_tree_a_deferred_rebuild_builds) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 300; ++round) {
        // Separate layers for each manager: a layer has one view at a time.
        const bool groups = round % 3 == 0;
        const std::vector<qvViewLayer> now_pool = layer_pool(groups), later_pool = layer_pool(groups);
        Managed now, later;
        later.object->defer_update(true, false);
        for (int step = 0; step < 30; ++step) {
            const std::size_t k = rng() % now_pool.size(), ref = rng() % now_pool.size();
            const int kind = static_cast<int>(rng() % 8);
            if (kind == 7) {
                ASSERT_EQ(now.object->remove(now_pool[k], false), later.object->remove(later_pool[k], false));
                continue;
            }
            // Mostly appends; sometimes a placement by code, with or without a reference.
            const int order = kind < 4 ? 6 : kind == 4 ? 1 : kind == 5 ? 2 : 5;
            const bool with_reference = kind >= 4 && rng() % 2 == 0;
            const qvViewLayer none;
            ASSERT_EQ(now.object->add(now_pool[k], qvOrder(order), with_reference ? now_pool[ref] : none, true),
                      later.object->add(later_pool[k], qvOrder(order), with_reference ? later_pool[ref] : none, true))
                << "round " << round << " step " << step;
        }
        later.object->defer_update(false, false);
        ASSERT_EQ(now.tree(now_pool), later.tree(later_pool)) << "round " << round;
    }
}

}  // namespace
