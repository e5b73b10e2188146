// The page-file walker over files the library wrote (every structure found,
// every cross-check holding) and over files damaged behind the library's
// back in ways no load check sees (a layer size, a handle record's cell):
// the walker must report those, or the fuzzer and the tests that rely on it
// would miss them.
#include "qvPageFileWalker.hpp"

#include <orvane/core/qvOutputStream.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using qv_file_test::ScratchDir;

namespace {

using Rect = qvMathRectOf<double>;
constexpr int cache = 1 << 20;

Rect rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

std::string problems(qv_page_walk::Walk const& walk) {
    std::string out;
    for (auto const& p : walk.problems) out += p + "\n";
    return out;
}

// Three layers, the middle one deleted; a split tree of 600 small shapes
// in the first, straddlers of the centre lines in the last; user data.
void write_scene(std::string const& path, int device) {
    qvPagedScene scene;
    scene.create(path.c_str(), 3, rect(0, 0, 1024, 1024), device);
    for (int k = 0; k < 600; ++k) qvRectangle(scene, rect(k % 1000, (k * 7) % 1000, k % 1000 + 2, (k * 7) % 1000 + 2));
    for (int k = 0; k < 30; ++k) {
        qvRectangle r(scene, rect(500 + k, 500 - k, 530 + k, 530 + k));
        scene.shape_layer(r->shape_handle(), 2);
    }
    scene.delete_layer(1);
    scene.output_stream().putn("user data", 9);
    scene.close();
}

}  // namespace

TEST(qvPageFileWalker, A_written_file_walks_soundly_on_both_devices_read_only_and_writable) {
    ScratchDir dir;
    const std::string path = dir / "walk.pgf";
    write_scene(path, cache);
    for (int device : {cache, -1}) {
        for (bool read_only : {true, false}) {
            qvPagedScene scene;
            ASSERT_TRUE(scene.open(path.c_str(), device, read_only));
            qvRectangle connected(scene, 3);   // masked while connected: left alone
            const qv_page_walk::Walk walk = qv_page_walk::walk(scene);
            EXPECT_TRUE(walk.sound()) << problems(walk);
            EXPECT_EQ(walk.handles, 630);
            EXPECT_EQ(walk.records(), 630);
            ASSERT_EQ(walk.layers.size(), 3u);
            EXPECT_GT(walk.layers[0].nodes, 1);   // split
            EXPECT_EQ(walk.layers[0].handles, 600);
            EXPECT_EQ(walk.layers[1].scene_layer, -1);   // the hole
            EXPECT_EQ(walk.layers[2].handles, 30);
            EXPECT_EQ(walk.user_data.bytes, 9u);
            EXPECT_EQ(walk.user_data.pages.size(), 1u);
            EXPECT_TRUE(walk.layout.present);
            EXPECT_EQ(walk.map_pages, (std::vector<long>{0}));
            EXPECT_FALSE(walk.handle_pages.empty());
            std::vector<std::string> names;
            for (auto const& [name, page] : walk.roots) names.push_back(name);
            if (read_only)
                EXPECT_EQ(names, (std::vector<std::string>{"$UserData", "$Layout"}));
            else
                EXPECT_EQ(names, (std::vector<std::string>{"$UserData", "$Layout", "$Open"}));
            connected = qvRectangle();
            scene.close();
        }
    }
}

TEST(qvPageFileWalker, A_layer_size_that_is_not_its_record_count_is_reported) {
    ScratchDir dir;
    const std::string path = dir / "size.pgf";
    {
        qvPagedScene scene;
        scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
        for (int k = 0; k < 5; ++k) qvRectangle(scene, rect(k, k, k + 1, k + 1));
        scene.close();
    }
    // The last int32 of the layout is the only entry's size.
    long root = 0;
    std::string page;
    {
        qvPagedSceneFile file;
        ASSERT_TRUE(file.open(path.c_str(), cache, true));
        root = file.device().find_root("$Layout");
        file.close();
        page = qv_page_test::page_of(path, root);
    }
    const std::uint32_t used = qv_page_test::word_at(page, 4);
    const long long size_at = static_cast<long long>(qvPagePosition(root)) + 8 + used - 4;
    ASSERT_EQ(qv_page_test::word_at(page, 8 + used - 4), 5u);
    qv_page_test::patch(path, size_at, qv_page_test::le32(6));
    qvPagedScene scene;
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    const qv_page_walk::Walk walk = qv_page_walk::walk(scene);
    ASSERT_EQ(walk.problems.size(), 1u) << problems(walk);
    EXPECT_EQ(walk.problems[0], "layer entry 0 has size 6 and 5 records");
}

TEST(qvPageFileWalker, A_handle_record_whose_cell_does_not_lead_to_its_record_is_reported) {
    ScratchDir dir;
    const std::string path = dir / "cell.pgf";
    write_scene(path, cache);
    long handle_page = 0;
    {
        qvPagedScene scene;
        ASSERT_TRUE(scene.open(path.c_str(), cache, true));
        handle_page = static_cast<qvHandleTree*>(scene.handle_database())->pages().front().page;
        scene.close();
    }
    // The first handle whose cell lies below the root, moved to its
    // sibling cell: the path from the root there misses its node. Slot h
    // at 4 + 16h; the cell (x, y, z) at 8 in it.
    const std::string page = qv_page_test::page_of(path, handle_page);
    long handle = 1;
    std::int16_t cell[3] = {};
    for (;; ++handle) {
        ASSERT_LT(handle, 600);
        std::memcpy(cell, page.data() + 4 + 16 * handle + 8, sizeof cell);
        if (cell[2] >= 1) break;
    }
    cell[0] = static_cast<std::int16_t>(cell[0] ^ 1);
    qv_page_test::patch(path, static_cast<long long>(qvPagePosition(handle_page)) + 4 + 16 * handle + 8,
                        std::string(reinterpret_cast<char const*>(cell), sizeof cell));
    qvPagedScene scene;
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    const qv_page_walk::Walk walk = qv_page_walk::walk(scene);
    ASSERT_EQ(walk.problems.size(), 1u) << problems(walk);
    EXPECT_EQ(walk.problems[0], "handle " + std::to_string(handle) + " does not find its record");
}
