// The memory scene under a watched allocator: hostile counts never size an
// allocation, and an allocation that fails anywhere inside a load, a layer
// insertion or a record allocation leaves the scene as it was.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvShapeList.hpp>

#include "qvAllocationProbe.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>

namespace {

using scene_test::add;
using scene_test::i32;

// Runs `call` with the n-th allocation failing, for n = 0, 1, ... until it
// succeeds; after each failure `unchanged` must hold. The number of runs.
int fail_each_allocation(std::function<void()> const& prepare, std::function<void()> const& call,
                         std::function<void()> const& unchanged) {
    for (int n = 0; n < 10000; ++n) {
        prepare();
        bool failed = false;
        qv_allocation_probe::allocations_left = n;
        try {
            call();
        } catch (std::bad_alloc const&) {
            failed = true;
        }
        qv_allocation_probe::allocations_left = -1;
        if (!failed)
            return n;
        unchanged();
        if (::testing::Test::HasFailure())
            return n;
    }
    ADD_FAILURE() << "never succeeded";
    return 0;
}

TEST(qvMemorySceneAllocation, Claimed_counts_never_size_an_allocation) {
    qvStandardPalette palette;
    qvMemoryScene scene(&palette, false);
    qvMemoryScene source(&palette, false);
    add(source, 7);
    const std::string record = scene_test::saved(source).substr(8);

    for (std::string const& body : {i32(0x7FFFFFFF), i32(0x7FFFFFFF) + i32(0) + i32(0),
                                    i32(1) + i32(0x7FFFFFFF) + record}) {
        attribute_test::Input in(attribute_test::v341, body);
        qv_allocation_probe::reset();
        EXPECT_THROW(scene.load(in.stream()), qvErrorFrom<qvInputStream>);
        EXPECT_LT(qv_allocation_probe::largest_request, 1024u);
        EXPECT_EQ(scene.total_layers(), 1);
        EXPECT_EQ(scene.size(-1), 0);
    }
}

TEST(qvMemorySceneAllocation, A_failed_allocation_inside_a_load_changes_nothing) {
    qvStandardPalette palette;
    qvMemoryScene source(3, &palette, false);
    for (int i = 1; i <= 5; ++i)
        source.shape_layer(add(source, i), i % 3);
    const std::string bytes = scene_test::saved(source);

    std::unique_ptr<qvMemoryScene> target;
    std::unique_ptr<attribute_test::Input> in;
    std::string before;
    const int runs = fail_each_allocation(
        [&] {
            target = std::make_unique<qvMemoryScene>(&palette, false);
            target->delete_layer(0);
            target->insert_layer(0);   // a free slot to reuse as well
            add(*target, 9);
            before = scene_test::saved(*target);
            in = std::make_unique<attribute_test::Input>(attribute_test::v341, bytes);
        },
        [&] { target->load(in->stream()); },
        [&] {
            EXPECT_EQ(scene_test::saved(*target), before);
            EXPECT_EQ(target->total_layers(), 1);
        });
    EXPECT_GT(runs, 5);
    EXPECT_EQ(target->total_layers(), 3);
    EXPECT_EQ(target->size(-1), 6);
}

TEST(qvMemorySceneAllocation, A_failed_allocation_in_a_layer_insertion_or_a_record_changes_nothing) {
    qvStandardPalette palette;
    std::unique_ptr<qvMemoryScene> scene;
    std::string before;
    auto prepare = [&] {
        scene = std::make_unique<qvMemoryScene>(2, &palette, false);
        add(*scene, 1);
        before = scene_test::saved(*scene);
    };
    auto unchanged = [&] {
        EXPECT_EQ(scene_test::saved(*scene), before);
        EXPECT_EQ(scene->total_layers(), 2);
    };
    EXPECT_GT(fail_each_allocation(prepare, [&] { scene->insert_layer(1); }, unchanged), 0);
    EXPECT_GT(fail_each_allocation(prepare, [&] { scene->allocate(48, nullptr); }, unchanged), 0);
    EXPECT_GT(fail_each_allocation(
                  prepare, [&] { scene->allocate(4096, scene->connect(1)); }, unchanged),
              0);
}

}  // namespace
