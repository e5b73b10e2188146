// The basic paged scene's own stream: records from a memory scene stored
// in quadtrees with new handles, written back so a memory scene reads the
// same records, records no query meets, and loads that fail leaving the
// scene as it was.
#include <orvane/scenes/qvBasicPagedScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include "qvFileTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPagedSceneTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using qv_file_test::raises;
using qv_file_test::ScratchDir;
using qv_page_test::le32;

namespace {

using Rect = qvMathRectOf<double>;
using Incomplete = qvErrorFrom<qvInputStream>;

using paged_scene_test::rect;

// The scene created with layers 0 .. layers-1.
struct Fixture : paged_scene_test::PagedSceneFixture {
    explicit Fixture(int layers = 0) { created(layers); }
};

// A 48-byte rectangle record named `name` with the given box.
std::string rec(int name, float x1, float y1, float x2, float y2) {
    auto bytes = qv_quadtree_test::record(48, x1, y1, x2, y2);
    qvShapeBase header;
    std::memcpy(&header, bytes.data(), sizeof header);
    header.user_handle = name;
    header.kind = qvRectangleKind;
    std::memcpy(bytes.data(), &header, sizeof header);
    return std::string(bytes.begin(), bytes.end());
}

// The records of each layer as drawn over everything, handles zeroed,
// sorted (the two scenes keep different orders).
template <class Scene>
std::vector<std::vector<std::string>> records_by_layer(Scene& scene) {
    std::vector<std::vector<std::string>> out;
    for (int l = 0; l < scene.total_layers(); ++l) {
        shape_test::RecordingFlavorPort port;
        scene.render(port, l, scene_test::everywhere, false);
        for (std::string& bytes : port.drawn) bytes = scene_test::without_handle(bytes);
        std::sort(port.drawn.begin(), port.drawn.end());
        out.push_back(port.drawn);
    }
    return out;
}

qvHandleRecord handle_record(qvBasicPagedScene& scene, long handle) {
    qvHandleDatabase::RecordLock lock;
    scene.handle_database()->examine(handle, lock);
    EXPECT_TRUE(lock) << handle;
    const qvHandleRecord h = lock ? lock.get() : qvHandleRecord{};
    scene.handle_database()->release(lock);
    return h;
}

}  // namespace

TEST(qvBasicPagedSceneStream, A_memory_scene_stream_is_stored_and_written_back_with_the_same_records) {
    qvMatchingPalette palette;
    qvMemoryScene memory(3, &palette, false);
    for (int k = 0; k < 7; ++k) {
        const long h = scene_test::add(memory, k + 1, qvMathRectOf<float>(k * 10.0f, 5, k * 10.0f + 4, 9));
        memory.shape_layer(h, k % 3);
    }
    const std::string stream = scene_test::saved(memory);

    Fixture f;
    scene_test::load(*f.scene, stream);
    qvBasicPagedScene& scene = *f.scene;
    ASSERT_EQ(scene.total_layers(), 3);
    EXPECT_EQ(scene.size(0), 3);
    EXPECT_EQ(scene.size(-1), 7);
    // Handles in stream order, 1 up; each knows its entry and is stored.
    for (long h = 1; h <= 7; ++h) {
        const qvHandleRecord r = handle_record(scene, h);
        EXPECT_EQ(r.handle, h);
        EXPECT_EQ(r.stored, 1);
        EXPECT_EQ(r.layer, h <= 3 ? 0 : h <= 5 ? 1 : 2);
    }
    EXPECT_EQ(records_by_layer(scene), records_by_layer(memory));

    qvMemoryScene back(1, &palette, false);
    scene_test::load(back, scene_test::saved(scene));
    EXPECT_EQ(records_by_layer(back), records_by_layer(memory));
}

TEST(qvBasicPagedSceneStream, Records_no_query_meets_are_counted_and_written) {
    Fixture f(1);
    // A degenerate box on the border, and one outside the bounds.
    const std::string body = le32(1) + le32(3) + rec(1, 0, 0, 0, 0) + rec(2, 200, 200, 210, 210) + rec(3, 1, 1, 2, 2);
    scene_test::load(*f.scene, body);
    EXPECT_EQ(f.scene->size(0), 3);
    const std::string saved = scene_test::saved(*f.scene);
    EXPECT_EQ(saved.substr(0, 8), le32(1) + le32(3));
    EXPECT_EQ(saved.size(), 8u + 3 * 48);

    Fixture g;
    scene_test::load(*g.scene, saved);
    EXPECT_EQ(scene_test::saved(*g.scene), saved);
}

TEST(qvBasicPagedSceneStream, A_cut_stream_leaves_the_scene_as_it_was) {
    Fixture f(1);
    scene_test::load(*f.scene, le32(1) + le32(2) + rec(1, 1, 1, 2, 2) + rec(2, 3, 3, 4, 4));
    const std::string before = scene_test::saved(*f.scene);
    const auto drawn_before = scene_test::drawn(*f.scene, -1);

    const std::string three = le32(3) + le32(1) + rec(3, 5, 5, 6, 6) + le32(2) + rec(4, 7, 7, 8, 8) + rec(5, 9, 9, 10, 10) +
                              le32(0);
    const std::string cut = three.substr(0, 4 + 4 + 48 + 4 + 48 + 20);
    EXPECT_TRUE(raises<Incomplete>([&] { scene_test::load(*f.scene, cut); }, "Incomplete data on input"));
    EXPECT_EQ(f.scene->total_layers(), 1);
    EXPECT_EQ(f.scene->size(-1), 2);
    EXPECT_EQ(scene_test::saved(*f.scene), before);
    EXPECT_EQ(scene_test::drawn(*f.scene, -1), drawn_before);
    EXPECT_EQ(f.segment->total_layers(), 1);

    // A huge layer count with nothing after it appends no layer.
    EXPECT_TRUE(raises<Incomplete>([&] { scene_test::load(*f.scene, le32(0x7FFFFFFF)); }, "Incomplete data on input"));
    EXPECT_EQ(f.scene->total_layers(), 1);

    // A record the record check refuses: a rectangle shorter than its data.
    std::string bad = rec(6, 1, 1, 2, 2).substr(0, 40);
    bad.replace(0, 4, le32(40));
    EXPECT_TRUE(raises<Incomplete>([&] { scene_test::load(*f.scene, le32(1) + le32(2) + rec(7, 1, 1, 2, 2) + bad); },
                                   "Invalid shape record on input"));
    EXPECT_EQ(scene_test::saved(*f.scene), before);

    // The whole stream loads afterwards, appending to what is there.
    scene_test::load(*f.scene, three);
    EXPECT_EQ(f.scene->size(-1), 5);
    EXPECT_EQ(f.scene->total_layers(), 3);
}

TEST(qvBasicPagedSceneStream, Loading_needs_an_open_scene) {
    qvMatchingPalette palette;
    ScratchDir dir;
    qvPagedSceneFile file;
    file.create((dir / "s.pg").c_str(), std::size_t{1} << 20);
    {
        qvBasicPagedScene scene(file, &palette, false);
        EXPECT_TRUE(raises<qvErrorFrom<qvBasicPagedScene>>([&] { scene_test::load(scene, le32(0)); },
                                                           "Paged scene was not initialized"));
    }
    file.close();
}

TEST(qvBasicPagedSceneStream, A_load_sends_one_whole_invalidation_on_each_sender_unless_notification_is_off) {
    Fixture f(1);
    qvNotificationLog log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    qvRecordingReceiver<long> handles{"handle", log};
    areas.connect(f.scene->rect_sender());
    handles.connect(f.scene->handle_sender());
    scene_test::load(*f.scene, le32(1) + le32(1) + rec(1, 1, 1, 2, 2));
    EXPECT_EQ(log, (qvNotificationLog{"rect all", "handle all"}));
    log.clear();
    EXPECT_THROW(scene_test::load(*f.scene, le32(1) + le32(1)), qvError);
    EXPECT_TRUE(log.empty());
    f.scene->update_notification(false, true);
    scene_test::load(*f.scene, le32(1) + le32(1) + rec(2, 1, 1, 2, 2));
    EXPECT_TRUE(log.empty());
}
