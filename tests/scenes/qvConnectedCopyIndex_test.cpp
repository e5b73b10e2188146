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
#include <set>
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
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const auto e = static_cast<float>(rng() % 65 * 16);
    const float x = std::uniform_real_distribution<float>(-100.0f, 1100.0f)(rng);
    const float y = std::uniform_real_distribution<float>(-100.0f, 1100.0f)(rng);
    const float w = std::uniform_real_distribution<float>(0.0f, 40.0f)(rng);
    const qvMathRectOf<float> odd[] = {{e, e, e + 16.0f, e}, {500.0f, 500.0f, 524.0f, 530.0f},
                                       {1.0f, 1.0f, 0.0f, 0.0f}, {nan, 0.0f, 10.0f, 10.0f}, {-inf, 5.0f, inf, 6.0f}};
    const unsigned kind = rng() % 10;
    return kind < 5 ? odd[kind] : qvMathRectOf<float>{x, y, x + w, y + w / 2};
}

Rect odd_area(std::mt19937& rng) {
    const double e = static_cast<double>(rng() % 65 * 16);
    const double x = std::uniform_real_distribution<double>(-200.0, 1200.0)(rng);
    const double y = std::uniform_real_distribution<double>(-200.0, 1200.0)(rng);
    const double w = std::uniform_real_distribution<double>(0.0, 600.0)(rng);
    switch (rng() % 6) {
    case 0: return copy_rect(e, e, e + 32.0, e + 16.0);   // on cell edges
    case 1: return copy_rect(std::nan(""), 0, 10, 10);
    default: return copy_rect(x, y, x + w, y + w);
    }
}

// Lists made, emptied, moved between and edited at random, the index told
// as the paged scene tells it; every query must give what the list's own
// linear walk gives, in the same order both ways.
TEST(qvConnectedCopyIndex, Queries_agree_with_the_lists_linear_walk_through_random_changes) {
    std::mt19937 rng(20261207);
    qvShapeNodeTable table;
    std::vector<std::unique_ptr<qvShapeList>> lists;
    for (int l = 0; l < 3; ++l) lists.push_back(std::make_unique<qvShapeList>(table, l));
    const auto list = [&](long l) -> qvShapeList& { return *lists[static_cast<std::size_t>(l)]; };
    qvConnectedCopyIndex index(table);
    std::vector<std::int32_t> live;
    std::set<std::int32_t> editing;   // guards open across later steps
    const auto drop = [&](std::int32_t slot) {
        qvShapeBase* const record = table.record(slot);
        index.leave(slot);
        list(table.list(slot)).remove(slot);
        delete record;
        editing.erase(slot);
    };
    for (int round = 0; round < 6000; ++round) {
        const unsigned what = live.empty() ? 0 : rng() % 10;
        const std::size_t pick = live.empty() ? 0 : rng() % live.size();
        const int l = static_cast<int>(rng() % 3);
        if (what <= 2) {
            qvShapeBase* const record = qvNewShapeRecord(48);
            record->box = odd_box(rng);
            live.push_back(static_cast<std::int32_t>(list(l).create(record)));
            index.enter(live.back(), l, index_bounds);
        } else if (what == 3) {
            drop(live[pick]);
            live.erase(live.begin() + static_cast<long>(pick));
        } else if (what == 4) {
            list(table.list(live[pick])).moveto(live[pick], list(l));
            index.make_room(l);
            index.move(live[pick], l, index_bounds);
        } else if (what <= 7) {
            if (editing.insert(live[pick]).second) index.begin_edit(live[pick]);
            table.record(live[pick])->box = odd_box(rng);
            if (what != 7) {
                index.end_edit(live[pick], index_bounds);
                editing.erase(live[pick]);
            }
        } else {
            const Rect area = odd_area(rng);
            for (bool reverse : {false, true}) {
                std::vector<qvShapeBase*> found, oracle;
                index.query(l, area, reverse, found);
                for (auto r = list(l).query(area, reverse); r; ++r) oracle.push_back(&*r);
                ASSERT_EQ(found, oracle) << "round " << round;
            }
        }
    }
    for (int l = 0; l < 3; ++l) EXPECT_EQ(index.size(l), static_cast<std::size_t>(list(l).size()));
    for (std::int32_t slot : live) drop(slot);
    EXPECT_EQ(index.cells(), 0u);   // every emptied cell freed
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
