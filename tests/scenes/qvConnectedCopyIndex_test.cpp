// Connected copies found by box: the index against the connected list's own
// linear query, and the paged scene drawing an area among many open
// proxies, after guarded edits (notification on and off), layer moves,
// destruction, close and a caller's own connect.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "scenes/qvConnectedCopyIndex.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include "qvCountingPort.hpp"
#include "qvFileTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Rect = qvMathRectOf<double>;
Rect copy_rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

// --- the index beside the list ---------------------------------------------------

const Rect index_bounds = copy_rect(0, 0, 1024, 1024);

// Boxes that exercise every branch of placing: small ones anywhere, ones on
// cell edges (zero width too), across centre lines, outside the bounds,
// the empty box of a new record, NaN and infinite ones.
qvMathRectOf<float> odd_box(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 9), cell(0, 64);
    std::uniform_real_distribution<float> at(-100.0f, 1100.0f), extent(0.0f, 40.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    switch (kind(rng)) {
    case 0: {
        const float e = static_cast<float>(cell(rng) * 16);
        return {e, e, e + 16.0f, e};
    }
    case 1: return {500.0f, 500.0f, 524.0f, 530.0f};
    case 2: return {1.0f, 1.0f, 0.0f, 0.0f};
    case 3: return {nan, 0.0f, 10.0f, 10.0f};
    case 4: return {-inf, 5.0f, inf, 6.0f};
    default: {
        const float x = at(rng), y = at(rng);
        return {x, y, x + extent(rng), y + extent(rng)};
    }
    }
}

Rect odd_area(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 5), cell(0, 64);
    std::uniform_real_distribution<double> at(-200.0, 1200.0), extent(0.0, 600.0);
    if (kind(rng) == 0) {
        const double e = cell(rng) * 16.0;
        return copy_rect(e, e, e + 32.0, e + 16.0);   // on cell edges
    }
    if (kind(rng) == 1) return copy_rect(std::nan(""), 0, 10, 10);
    const double x = at(rng), y = at(rng);
    return copy_rect(x, y, x + extent(rng), y + extent(rng));
}

std::vector<qvShapeBase*> listed(qvShapeList& list, Rect const& area, bool reverse) {
    std::vector<qvShapeBase*> out;
    for (auto r = list.query(area, reverse); r; ++r) out.push_back(&*r);
    return out;
}

// Lists made, emptied, moved between and edited at random, the index told
// as the paged scene tells it; every query must give what the list's own
// linear walk gives, in the same order both ways.
TEST(qvConnectedCopyIndex, Queries_agree_with_the_lists_linear_walk_through_random_changes) {
    std::mt19937 rng(20261207);
    qvShapeNodeTable table;
    std::vector<std::unique_ptr<qvShapeList>> lists;
    for (int l = 0; l < 3; ++l) lists.push_back(std::make_unique<qvShapeList>(table, l));
    qvConnectedCopyIndex index(table);
    std::vector<std::int32_t> live;
    std::vector<bool> editing(1, false);
    std::uniform_int_distribution<int> op(0, 9), layer(0, 2);
    for (int round = 0; round < 6000; ++round) {
        const int what = live.empty() ? 0 : op(rng);
        const std::size_t pick = live.empty() ? 0 : rng() % live.size();
        if (what <= 2) {
            qvShapeBase* const record = qvNewShapeRecord(48);
            record->box = odd_box(rng);
            const int l = layer(rng);
            const auto slot = static_cast<std::int32_t>(lists[static_cast<std::size_t>(l)]->create(record));
            index.enter(slot, l, index_bounds);
            live.push_back(slot);
            if (editing.size() <= static_cast<std::size_t>(slot)) editing.resize(static_cast<std::size_t>(slot) + 1);
            editing[static_cast<std::size_t>(slot)] = false;
        } else if (what == 3) {
            const std::int32_t slot = live[pick];
            qvShapeBase* const record = table.record(slot);
            index.leave(slot);
            lists[static_cast<std::size_t>(table.list(slot))]->remove(slot);
            delete record;
            live.erase(live.begin() + static_cast<long>(pick));
        } else if (what == 4) {
            const std::int32_t slot = live[pick];
            const int l = layer(rng);
            lists[static_cast<std::size_t>(table.list(slot))]->moveto(slot, *lists[static_cast<std::size_t>(l)]);
            index.make_room(l);
            index.move(slot, l, index_bounds);
        } else if (what <= 7) {
            // A guarded edit, possibly left open across later queries.
            const std::int32_t slot = live[pick];
            const auto s = static_cast<std::size_t>(slot);
            if (!editing[s]) index.begin_edit(slot);
            editing[s] = true;
            table.record(slot)->box = odd_box(rng);
            if (what != 7) {
                index.end_edit(slot, index_bounds);
                editing[s] = false;
            }
        } else {
            const Rect area = odd_area(rng);
            const int l = layer(rng);
            for (bool reverse : {false, true}) {
                std::vector<qvShapeBase*> found;
                index.query(l, area, reverse, found);
                ASSERT_EQ(found, listed(*lists[static_cast<std::size_t>(l)], area, reverse)) << "round " << round;
            }
        }
    }
    for (int l = 0; l < 3; ++l) EXPECT_EQ(index.size(l), static_cast<std::size_t>(lists[static_cast<std::size_t>(l)]->size()));
    // Every copy gone: every cell freed.
    for (std::int32_t slot : live) {
        index.leave(slot);
        qvShapeBase* const record = table.record(slot);
        lists[static_cast<std::size_t>(table.list(slot))]->remove(slot);
        delete record;
    }
    EXPECT_EQ(index.cells(), 0u);
}

TEST(qvConnectedCopyIndex, A_query_tests_only_the_copies_near_its_area) {
    qvShapeNodeTable table;
    qvShapeList list(table, 0);
    qvConnectedCopyIndex index(table);
    for (int k = 0; k < 1000; ++k) {
        qvShapeBase* const record = qvNewShapeRecord(48);
        const float x = 900.0f + static_cast<float>(k % 10) * 9.0f, y = 900.0f + static_cast<float>(k / 10) * 0.9f;
        record->box = {x, y, x + 2.0f, y + 0.5f};
        index.enter(static_cast<std::int32_t>(list.create(record)), 0, index_bounds);
    }
    qvShapeBase* const near = qvNewShapeRecord(48);
    near->box = {10.0f, 10.0f, 20.0f, 20.0f};
    index.enter(static_cast<std::int32_t>(list.create(near)), 0, index_bounds);
    std::vector<qvShapeBase*> found;
    index.query(0, copy_rect(0, 0, 100, 100), false, found);
    EXPECT_EQ(found, std::vector<qvShapeBase*>{near});
    EXPECT_EQ(index.visited(), 1u);
    // A copy under edit is tested by every query until the edit ends.
    const auto slot = static_cast<std::int32_t>(list.first());
    index.begin_edit(slot);
    found.clear();
    index.query(0, copy_rect(0, 0, 100, 100), false, found);
    EXPECT_EQ(index.visited(), 3u);
    EXPECT_EQ(index.unplaced(0), 1u);
    index.end_edit(slot, index_bounds);
    EXPECT_EQ(index.unplaced(0), 0u);
}

// --- the paged scene ---------------------------------------------------------------

struct PagedScene {
    qv_file_test::ScratchDir dir;
    std::string path = dir / "copies.pgf";
    qvMatchingPalette palette;
    std::unique_ptr<qvPagedScene> scene = std::make_unique<qvPagedScene>(&palette);
    PagedScene() { scene->create(path.c_str(), 2, copy_rect(0, 0, 1000, 1000), 1 << 20); }

    // The records a render of `area` hands over, and how many connected
    // copies the render tested.
    struct Drawn {
        long drawn;
        std::uint64_t tested;
    };
    Drawn render(Rect const& area, int layer = 0) {
        const std::uint64_t before = scene->connected_copies().visited();
        qvCountingPort port;
        scene->render(port, layer, area, false);
        return {port.drawn, scene->connected_copies().visited() - before};
    }
};

const Rect viewport = copy_rect(0, 0, 100, 100);

TEST(qvPagedSceneCopies, A_viewport_tests_only_the_open_proxies_near_it) {
    PagedScene s;
    std::vector<qvRectangle> elsewhere;
    for (int k = 0; k < 2000; ++k) {
        const double x = 500 + (k % 40) * 10, y = 500 + (k / 40) * 9;
        elsewhere.emplace_back(*s.scene, copy_rect(x, y, x + 5, y + 5));
    }
    qvRectangle inside(*s.scene, copy_rect(10, 10, 20, 20));
    qvRectangle across(*s.scene, copy_rect(95, 95, 105, 105));
    const PagedScene::Drawn d = s.render(viewport);
    EXPECT_EQ(d.drawn, 2);
    EXPECT_EQ(d.tested, 2u);
    EXPECT_EQ(s.scene->connected_copies().size(0), 2002u);
    // Every one of them is still drawn where it is.
    EXPECT_EQ(s.render(copy_rect(0, 0, 1000, 1000)).drawn, 2002);
}

// A receiver that draws the scene's viewport at once whenever a rectangle
// arrives, as a view repainting synchronously would.
class DrawingReceiver : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    explicit DrawingReceiver(PagedScene& s) : s_(s) { connect(s.scene->rect_sender()); }
    ~DrawingReceiver() override { disconnect_all(); }
    void invalidate() override {}
    void invalidate(qvMathRectOf<double> const&, int) override { seen.push_back(s_.render(viewport).drawn); }
    std::vector<long> seen;

private:
    PagedScene& s_;
};

TEST(qvPagedSceneCopies, A_guarded_edit_moves_a_shape_into_and_out_of_an_area_with_notification_on_or_off) {
    for (bool notify : {true, false}) {
        PagedScene s;
        std::vector<qvRectangle> elsewhere;
        for (int k = 0; k < 200; ++k) elsewhere.emplace_back(*s.scene, copy_rect(600 + k, 600, 601 + k, 601));
        qvRectangle moving(*s.scene, copy_rect(500, 500, 510, 510));
        DrawingReceiver receiver(s);
        s.scene->update_notification(notify, true);
        EXPECT_EQ(s.render(viewport).drawn, 0);
        moving->rectangle(copy_rect(40, 40, 50, 50));
        EXPECT_EQ(s.render(viewport).drawn, 1) << notify;
        EXPECT_LE(s.render(viewport).tested, 1u);
        moving->rectangle(copy_rect(700, 40, 710, 50));
        EXPECT_EQ(s.render(viewport).drawn, 0) << notify;
        EXPECT_EQ(s.render(copy_rect(650, 0, 750, 100)).drawn, 1) << notify;
        // The index is told before a receiver: one that draws at the report
        // of the edit's end already finds the shape at its new box.
        if (notify) EXPECT_EQ(receiver.seen, (std::vector<long>{0, 1, 1, 0}));
        else EXPECT_TRUE(receiver.seen.empty());
    }
}

TEST(qvPagedSceneCopies, Layer_moves_destruction_and_close_keep_the_index_in_step) {
    PagedScene s;
    qvPagedScene& scene = *s.scene;
    qvRectangle a(scene, copy_rect(10, 10, 20, 20));
    qvRectangle b(scene, copy_rect(30, 30, 40, 40));
    std::vector<qvRectangle> elsewhere;
    for (int k = 0; k < 100; ++k) elsewhere.emplace_back(scene, copy_rect(800, 800 + k, 801, 801 + k));
    EXPECT_EQ(scene_test::drawn(scene, 0, false, viewport).size(), 2u);

    scene.shape_layer(a->shape_handle(), 1);
    EXPECT_EQ(s.render(viewport, 0).drawn, 1);
    EXPECT_EQ(s.render(viewport, 1).drawn, 1);
    a->rectangle(copy_rect(50, 50, 60, 60));   // edited in its new layer
    EXPECT_EQ(s.render(copy_rect(45, 45, 65, 65), 1).drawn, 1);
    EXPECT_EQ(scene.connected_copies().size(1), 1u);

    b->destroy_shape();
    EXPECT_EQ(s.render(viewport, 0).drawn, 0);
    EXPECT_EQ(scene.connected_copies().size(0), 100u);

    // Released proxies write their copies back: drawn from the quadtree now.
    elsewhere.clear();
    EXPECT_EQ(scene.connected_copies().size(0), 0u);
    EXPECT_EQ(s.render(copy_rect(0, 0, 1000, 1000)).drawn, 100);

    // Close writes back what live proxies hold and empties the index.
    EXPECT_TRUE(scene.close());
    EXPECT_EQ(scene.connected_copies().size(1), 0u);
    EXPECT_EQ(scene.connected_copies().cells(), 0u);
    a = qvRectangle();
    ASSERT_TRUE(scene.open(s.path.c_str(), 1 << 20, false));
    EXPECT_EQ(s.render(copy_rect(45, 45, 65, 65), 1).drawn, 1);

    // Deleting a layer destroys its live proxies' shapes and their entries.
    qvRectangle c(scene, copy_rect(10, 10, 20, 20));
    scene.delete_layer(0);
    EXPECT_EQ(scene.connected_copies().size(0), 0u);
    EXPECT_EQ(s.render(viewport, 0).drawn, 1);   // the old layer 1
}

// A caller may write a record it connected itself; without a guard the
// scene learns of a moved box at the disconnect.
TEST(qvPagedSceneCopies, A_record_moved_by_its_own_connector_is_found_at_its_new_box_after_its_disconnect) {
    PagedScene s;
    qvPagedScene& scene = *s.scene;
    const long handle = qvRectangle(scene, copy_rect(500, 500, 510, 510))->shape_handle();
    qvShapeBase* const record = scene.connect(handle);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(s.render(copy_rect(495, 495, 515, 515)).drawn, 1);
    record->box = {10.0f, 10.0f, 20.0f, 20.0f};
    // No longer where it was connected.
    EXPECT_EQ(s.render(copy_rect(495, 495, 515, 515)).drawn, 0);
    scene.disconnect(record);
    EXPECT_EQ(s.render(viewport).drawn, 1);
    EXPECT_EQ(s.render(copy_rect(495, 495, 515, 515)).drawn, 0);
}

}  // namespace
