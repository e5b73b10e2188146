// The proxy site over kept entries and nodes: a long random run of
// associate and both deassociates must answer, step by step, what a plain
// model of the table answers (the first entry of a handle, the entry count,
// which handles are listed); entries made from spares need no allocation and
// a failed one still changes nothing; proxies connected through kept nodes
// are still told when the scene dies.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangleData.hpp>

#include "qvAllocationProbe.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <new>
#include <random>
#include <utility>
#include <vector>

using SpareRect = shape_test::TestShapeProxy<qvRectangleData, 111>;
QV_INTERFACE_NAME(SpareRect);

namespace {

using shape_test::RecordingScene;

// The table as a list of (proxy, handle) entries, oldest first.
struct Model {
    std::vector<std::pair<qvGraphicProxyInterface*, long>> entries;

    void associate(qvGraphicProxyInterface* p, long h) { entries.emplace_back(p, h); }
    void deassociate(long h) {
        const auto at = std::find_if(entries.begin(), entries.end(), [&](auto const& e) { return e.second == h; });
        if (at != entries.end())
            entries.erase(at);
    }
    void deassociate(qvGraphicProxyInterface* p) {
        std::erase_if(entries, [&](auto const& e) { return e.first == p; });
    }
    qvGraphicProxyInterface* first_of(long h) const {
        for (auto const& [p, handle] : entries)
            if (handle == h)
                return p;
        return nullptr;
    }
};

}  // namespace

TEST(qvProxySiteSpares, A_long_random_run_answers_as_a_plain_table) {
    RecordingScene scene;
    std::vector<qvGraphic> held;
    std::vector<SpareRect*> proxies;
    for (int i = 0; i < 7; ++i) {
        proxies.push_back(new SpareRect(scene));
        held.emplace_back(proxies.back());
    }
    Model model;
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> op(0, 9), pick(0, 6), handle(1, 12);
    for (int step = 0; step < 4000; ++step) {
        const int o = op(rng);
        if (o < 5) {
            SpareRect* const p = proxies[static_cast<std::size_t>(pick(rng))];
            const long h = handle(rng);
            scene.associate(p, h);
            model.associate(p, h);
        } else if (o < 8) {
            const long h = handle(rng);
            scene.deassociate(h);
            model.deassociate(h);
        } else {
            SpareRect* const p = proxies[static_cast<std::size_t>(pick(rng))];
            scene.deassociate(p);
            model.deassociate(p);
        }
        ASSERT_EQ(scene.entries(), model.entries.size()) << "step " << step;
        for (long h = 1; h <= 12; ++h) {
            qvGraphicProxyInterface* const first = model.first_of(h);
            ASSERT_EQ(scene.listed(h), first != nullptr) << "step " << step << " handle " << h;
            if (first != nullptr) {
                ASSERT_EQ(scene.instantiate(h).get(), first) << "step " << step << " handle " << h;
            }
        }
    }
    for (SpareRect* p : proxies)
        scene.deassociate(p);
    EXPECT_EQ(scene.entries(), 0u);
}

TEST(qvProxySiteSpares, Entries_made_from_spares_allocate_nothing_and_a_failed_one_changes_nothing) {
    RecordingScene scene;
    auto* const proxy = new SpareRect(scene);
    const qvGraphic held(proxy);
    scene.associate(proxy, 3);
    scene.deassociate(proxy);  // entry and both map nodes kept
    qv_allocation_probe::allocations_left = 0;
    EXPECT_NO_THROW(scene.associate(proxy, 4));
    qv_allocation_probe::allocations_left = -1;
    EXPECT_EQ(scene.instantiate(4).get(), proxy);
    EXPECT_EQ(scene.entries(), 1u);

    // No spares left: the first allocation fails, then each later one.
    for (long failing = 0; failing < 3; ++failing) {
        qv_allocation_probe::allocations_left = failing;
        bool raised = false;
        try {
            scene.associate(proxy, 20 + failing);
        } catch (std::bad_alloc const&) {
            raised = true;
        }
        qv_allocation_probe::allocations_left = -1;
        if (!raised) {
            scene.deassociate(20 + failing);
            continue;
        }
        EXPECT_EQ(scene.entries(), 1u) << failing;
        EXPECT_FALSE(scene.listed(20 + failing)) << failing;
        EXPECT_EQ(scene.instantiate(4).get(), proxy) << failing;
    }
    scene.deassociate(proxy);
    EXPECT_EQ(scene.entries(), 0u);
}

TEST(qvProxySiteSpares, Proxies_connected_through_kept_nodes_are_told_when_the_scene_dies) {
    auto scene = std::make_unique<RecordingScene>();
    for (int i = 0; i < 20; ++i)
        qvGraphic(new SpareRect(*scene));  // connects and leaves again
    std::vector<SpareRect*> live;
    std::vector<qvGraphic> held;
    for (int i = 0; i < 3; ++i) {
        live.push_back(new SpareRect(*scene));
        held.emplace_back(live.back());
    }
    scene.reset();
    for (SpareRect* p : live)
        EXPECT_THROW(p->scene(), qvAssertionError);
}
