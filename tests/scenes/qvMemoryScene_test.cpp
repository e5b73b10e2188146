// The memory scene: where new records land, handles that name nothing,
// drawing order and the strict area test, z-order and layer moves with
// their notifications, layer insertion, deletion and moves, the read-only
// flag, enumeration, the stream form and its all-or-nothing load, and what
// destruction does to shapes and live proxies.

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

using TestRect = shape_test::TestShapeProxy<qvRectangleData, 101>;
QV_INTERFACE_NAME(TestRect);

namespace {

using attribute_test::assertion_text;
using palette_test::expect_raises;
using scene_test::add;
using scene_test::drawn;
using scene_test::i32;
using Names = std::vector<long>;
using Log = qvNotificationLog;

char const* const not_found = "Shape handle not found";
char const* const illegal_layer = "Illegal layer number specified";
char const* const read_only_refusal = "Cannot modify a read-only scene";
char const* const incomplete = "Incomplete data on input";

template <class Call>
void expect_scene_error(Call&& call, char const* message) {
    expect_raises<qvErrorFrom<qvMemoryScene>>(call, message);
}

class MemoryScene : public ::testing::Test {
protected:
    void SetUp() override { listen(scene); }
    void listen(qvMemoryScene& s) {
        areas.connect(s.rect_sender());
        handles.connect(s.handle_sender());
    }
    // The shapes of every layer, layer by layer, named by user handle.
    std::vector<Names> layers(qvMemoryScene& s) {
        std::vector<Names> out;
        for (int l = 0; l < s.total_layers(); ++l)
            out.push_back(drawn(s, l));
        return out;
    }
    std::vector<Names> layers() { return layers(scene); }
    // Shapes named 1 .. n in layer 0; their handles (h[1] names 1).
    std::vector<long> fill(int n, qvMemoryScene& s) {
        std::vector<long> h{0};
        for (int i = 1; i <= n; ++i)
            h.push_back(add(s, i));
        return h;
    }
    std::vector<long> fill(int n) { return fill(n, scene); }

    qvGenericProxyClass<TestRect> rect_class;
    qvStandardPalette palette;
    qvMemoryScene scene{3, &palette, false};
    Log log;
    qvRecordingReceiver<qvMathRectOf<double>> areas{"rect", log};
    qvRecordingReceiver<long> handles{"handle", log};
};

// ---------------------------------------------------------------------------
// Construction

TEST_F(MemoryScene, A_scene_needs_a_layer_and_owns_a_palette_it_made) {
    expect_scene_error([&] { qvMemoryScene(0, &palette, false); }, "Scene cannot have less than 1 layer");
    expect_scene_error([&] { qvMemoryScene(-3, nullptr, true); }, "Scene cannot have less than 1 layer");

    qvMemoryScene own;
    EXPECT_EQ(own.total_layers(), 1);
    EXPECT_FALSE(own.read_only());
    // Owned: its stream begins with the palette.
    const std::string palette_bytes = scene_test::saved(own.palette());
    EXPECT_EQ(scene_test::saved(own), palette_bytes + i32(1) + i32(0));

    qvMemoryScene given(&palette, false);
    EXPECT_EQ(&given.palette(), &palette);
    EXPECT_EQ(scene_test::saved(given), i32(1) + i32(0));
    // Given and owned: deleted with the scene (the leak checker watches).
    qvMemoryScene adopted(2, new qvStandardPalette, true);
    EXPECT_EQ(scene_test::saved(adopted).substr(0, palette_bytes.size()), palette_bytes);
}

TEST_F(MemoryScene, Query_interface_answers_the_scene_sides_and_the_z_order) {
    qvDynamicInterface& root = scene;
    EXPECT_EQ(qvQueryInterface<qvContainerScene>(&root), static_cast<qvContainerScene*>(&scene));
    EXPECT_EQ(qvQueryInterface<qvContainerSceneInterface>(&root), static_cast<qvContainerSceneInterface*>(&scene));
    EXPECT_EQ(qvQueryInterface<qvScene>(&root), static_cast<qvScene*>(&scene));
    EXPECT_EQ(qvQueryInterface<qvSceneInterface>(&root), static_cast<qvSceneInterface*>(&scene));
    EXPECT_EQ(qvQueryInterface<qvShapeOrderInterface>(&root), static_cast<qvShapeOrderInterface*>(&scene));
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(&root), nullptr);
    EXPECT_EQ(qvQueryInterface<qvGraphicInterface>(&root), nullptr);
}

// ---------------------------------------------------------------------------
// Records

TEST_F(MemoryScene, A_new_record_has_a_new_header_and_lands_last_in_layer_0) {
    const std::vector<long> h = fill(2);
    qvShapeBase* const record = scene.allocate(56, nullptr);
    EXPECT_EQ(record->size, 56);
    EXPECT_GT(record->shape_handle, 0);
    EXPECT_EQ(scene.connect(record->shape_handle), record);
    EXPECT_EQ(scene.shape_layer(record->shape_handle), 0);
    qvShapeBase expected;
    expected.size = 56;
    expected.shape_handle = record->shape_handle;
    EXPECT_EQ(scene_test::bytes_of(*record), std::string(reinterpret_cast<char const*>(&expected), 40) +
                                                 std::string(16, '\0'));
    record->user_handle = 3;
    record->box = {0, 0, 1, 1};
    EXPECT_EQ(layers(), (std::vector<Names>{{1, 2, 3}, {}, {}}));
    EXPECT_NE(h[1], h[2]);
    EXPECT_TRUE(log.empty());   // allocation sends nothing
    scene.disconnect(record);
    EXPECT_EQ(scene.connect(record->shape_handle), record);
}

TEST_F(MemoryScene, Resizing_keeps_handle_header_layer_and_place) {
    const std::vector<long> h = fill(3);
    scene.shape_layer(h[1], 2);
    scene.shape_layer(h[2], 2);
    scene.shape_layer(h[3], 2);   // layer 2: 3, 2, 1
    qvShapeBase* record = scene.connect(h[2]);
    record->attribute_handle = 8;
    EXPECT_EQ(scene.allocate(48, record), record);
    record = scene.allocate(120, record);
    EXPECT_EQ(record->size, 120);
    EXPECT_EQ(record->shape_handle, h[2]);
    EXPECT_EQ(record->user_handle, 2);
    EXPECT_EQ(record->attribute_handle, 8);
    EXPECT_EQ(scene_test::bytes_of(*record).substr(48), std::string(72, '\0'));
    EXPECT_EQ(scene.connect(h[2]), record);
    EXPECT_EQ(scene.shape_layer(h[2]), 2);
    EXPECT_EQ(layers(), (std::vector<Names>{{}, {}, {3, 2, 1}}));
    record = scene.allocate(40, record);
    EXPECT_EQ(record->size, 40);
    EXPECT_EQ(scene.connect(h[2]), record);
}

TEST_F(MemoryScene, A_handle_that_names_no_live_record_is_refused_and_changes_nothing) {
    const std::vector<long> h = fill(2);
    qvShapeBase* const gone = scene.connect(h[2]);
    scene.destroy(gone);
    qvMemoryScene other(&palette, false);
    qvShapeBase* const foreign = other.connect(add(other, 9));   // same handle, another scene
    ASSERT_EQ(foreign->shape_handle, h[1]);
    log.clear();
    for (long stale : {0L, -1L, 999L, h[2], 0x100000001L}) {
        EXPECT_EQ(scene.connect(stale), nullptr) << stale;
        expect_scene_error([&] { scene.shape_layer(stale); }, not_found);
        expect_scene_error([&] { scene.shape_layer(stale, 1); }, not_found);
        expect_scene_error([&] { scene.shape_order(stale, qvOrderLast, 0); }, not_found);
    }
    expect_scene_error([&] { scene.destroy(foreign); }, not_found);
    expect_scene_error([&] { scene.allocate(64, foreign); }, not_found);
    EXPECT_EQ(foreign->size, 48);
    EXPECT_EQ(assertion_text([&] { scene.destroy(nullptr); }), "p");
    EXPECT_EQ(layers(), (std::vector<Names>{{1}, {}, {}}));
    EXPECT_TRUE(log.empty());
}

TEST_F(MemoryScene, A_freed_handle_names_whatever_record_reuses_its_slot) {
    const std::vector<long> h = fill(2);
    scene.destroy(scene.connect(h[1]));
    const long reused = add(scene, 3);
    EXPECT_EQ(reused, h[1]);
    EXPECT_EQ(scene.connect(h[1])->user_handle, 3);
}

// ---------------------------------------------------------------------------
// Drawing

TEST_F(MemoryScene, Render_sets_the_palette_on_every_call_and_draws_layers_in_order_or_exactly_reversed) {
    const std::vector<long> h = fill(6);
    scene.shape_layer(h[6], 2);
    scene.shape_layer(h[5], 2);
    scene.shape_layer(h[4], 1);
    scene.shape_layer(h[3], 1);   // layers: {1, 2}, {3, 4}, {5, 6}
    shape_test::RecordingFlavorPort port;
    scene.render(port, 1, scene_test::everywhere, false);
    ASSERT_FALSE(port.palettes.empty());
    EXPECT_EQ(port.palettes.front(), &palette);
    EXPECT_EQ(port.drawn.size(), 2u);
    for (qvPalette* given : port.palettes)
        EXPECT_EQ(given, &palette);

    EXPECT_EQ(drawn(scene, -1), (Names{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(drawn(scene, -1, true), (Names{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(drawn(scene, -7, true), (Names{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(drawn(scene, 1, true), (Names{4, 3}));
    EXPECT_EQ(assertion_text([&] { scene.render(port, 3, scene_test::everywhere, false); }),
              "l < int(mapv.size())");
}

TEST_F(MemoryScene, Render_hands_over_only_boxes_that_overlap_the_area_strictly) {
    add(scene, 1, {0, 0, 10, 10});
    scene.allocate(48, nullptr)->user_handle = 2;   // box (1, 1, 0, 0)
    EXPECT_EQ(drawn(scene, 0, true, {10, 0, 20, 10}), Names{});
    EXPECT_EQ(drawn(scene, 0, false, {9.5, 0, 20, 10}), (Names{1}));
    EXPECT_EQ(drawn(scene, 0, false, {-0.5, -0.5, 1.5, 1.5}), (Names{1, 2}));
    EXPECT_EQ(drawn(scene, 0, false, {0, -0.5, 1.5, 1.5}), (Names{1}));
}

// ---------------------------------------------------------------------------
// Z-order and layers of shapes

TEST_F(MemoryScene, Shape_order_places_within_the_layer_and_reports_the_box_with_the_layer) {
    const std::vector<long> h = fill(4);
    for (int i = 4; i >= 1; --i)
        scene.shape_layer(h[i], 1);   // layer 1: 1, 2, 3, 4
    areas.items.clear();
    areas.flags.clear();
    log.clear();
    scene.connect(h[2])->box = {2, 3, 4, 5};

    scene.shape_order(h[2], qvOrderOneLater, 0);
    EXPECT_EQ(drawn(scene, 1), (Names{1, 3, 2, 4}));
    EXPECT_EQ(log, (Log{"rect item"}));
    EXPECT_EQ(areas.items, (std::vector<qvMathRectOf<double>>{{2, 3, 4, 5}}));
    EXPECT_EQ(areas.flags, (std::vector<int>{1}));

    scene.shape_order(h[2], qvOrderBefore, h[2]);   // changes nothing, still reports
    EXPECT_EQ(log.size(), 2u);
    scene.shape_order(h[1], qvOrderAfter, h[4]);
    EXPECT_EQ(drawn(scene, 1), (Names{3, 2, 4, 1}));

    scene.update_notification(false, true);
    scene.shape_order(h[1], qvOrderFirst, 0);
    EXPECT_EQ(drawn(scene, 1), (Names{1, 3, 2, 4}));
    EXPECT_EQ(log.size(), 3u);
    scene.update_notification(true, true);

    expect_raises<qvErrorFrom<qvShapeList>>([&] { scene.shape_order(h[1], qvOrderBefore, 0); },
                                            "Relative positioning requires the second handle");
    const long elsewhere = add(scene, 5);
    expect_raises<qvErrorFrom<qvShapeList>>([&] { scene.shape_order(h[1], qvOrderAfter, elsewhere); }, not_found);
    EXPECT_EQ(drawn(scene, 1), (Names{1, 3, 2, 4}));
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(MemoryScene, Shape_layer_moves_a_shape_to_the_front_of_a_layer_and_reports_every_layer) {
    const std::vector<long> h = fill(4);
    scene.shape_layer(h[3], 2);
    scene.shape_layer(h[4], 2);   // layer 2: 4, 3
    log.clear();
    areas.flags.clear();
    scene.connect(h[1])->box = {-1, -2, 3, 4};
    scene.shape_layer(h[1], 2);
    EXPECT_EQ(layers(), (std::vector<Names>{{2}, {}, {1, 4, 3}}));
    EXPECT_EQ(scene.shape_layer(h[1]), 2);
    EXPECT_EQ(log, (Log{"rect item"}));
    EXPECT_EQ(areas.items.back(), qvMathRectOf<double>(-1, -2, 3, 4));
    EXPECT_EQ(areas.flags, (std::vector<int>{-1}));

    scene.shape_layer(h[3], 2);   // its own layer: to the front
    EXPECT_EQ(drawn(scene, 2), (Names{3, 1, 4}));
    expect_scene_error([&] { scene.shape_layer(h[3], 3); }, illegal_layer);
    expect_scene_error([&] { scene.shape_layer(h[3], -1); }, illegal_layer);
    EXPECT_EQ(drawn(scene, 2), (Names{3, 1, 4}));

    scene.update_notification(false, true);
    log.clear();
    scene.shape_layer(h[3], 0);
    EXPECT_TRUE(log.empty());
}

// ---------------------------------------------------------------------------
// Layers

TEST_F(MemoryScene, Layers_move_insert_and_delete_without_touching_other_records_and_send_nothing) {
    const std::vector<long> h = fill(3);
    scene.shape_layer(h[2], 1);
    scene.shape_layer(h[3], 2);   // A, B, C in layers 0, 1, 2
    log.clear();

    scene.move_layer(0, 2);
    EXPECT_EQ(drawn(scene, -1), (Names{2, 3, 1}));
    EXPECT_EQ(scene.shape_layer(h[1]), 2);
    EXPECT_EQ(scene.shape_layer(h[2]), 0);
    scene.move_layer(2, 0);
    EXPECT_EQ(drawn(scene, -1), (Names{1, 2, 3}));
    EXPECT_EQ(scene.shape_layer(h[1]), 0);
    scene.move_layer(1, 1);

    scene.insert_layer(0);
    EXPECT_EQ(scene.total_layers(), 4);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(scene.shape_layer(h[i]), i);
    EXPECT_EQ(layers(), (std::vector<Names>{{}, {1}, {2}, {3}}));
    scene.insert_layer(4);
    EXPECT_EQ(scene.total_layers(), 5);

    qvShapeBase* const kept = scene.connect(h[3]);
    scene.delete_layer(2);   // B's layer
    EXPECT_EQ(scene.connect(h[2]), nullptr);
    expect_scene_error([&] { scene.shape_layer(h[2]); }, not_found);
    EXPECT_EQ(scene.shape_layer(h[1]), 1);
    EXPECT_EQ(scene.shape_layer(h[3]), 2);
    EXPECT_EQ(scene.connect(h[3]), kept);
    EXPECT_EQ(layers(), (std::vector<Names>{{}, {1}, {3}, {}}));
    EXPECT_TRUE(log.empty());

    // A layer inserted after a deletion works like any other.
    scene.insert_layer(1);
    scene.shape_layer(h[3], 1);
    EXPECT_EQ(layers(), (std::vector<Names>{{}, {3}, {1}, {}, {}}));

    for (int bad : {-1, 6})
        expect_scene_error([&] { scene.insert_layer(bad); }, illegal_layer);
    for (int bad : {-1, 5}) {
        expect_scene_error([&] { scene.delete_layer(bad); }, illegal_layer);
        expect_scene_error([&] { scene.move_layer(bad, 0); }, illegal_layer);
        expect_scene_error([&] { scene.move_layer(0, bad); }, illegal_layer);
    }
    EXPECT_EQ(scene.total_layers(), 5);
}

TEST_F(MemoryScene, Size_counts_a_layer_or_all_and_refuses_other_numbers) {
    qvMemoryScene two(2, &palette, false);
    const std::vector<long> h = fill(7, two);
    for (int i = 4; i <= 7; ++i)
        two.shape_layer(h[i], 1);
    EXPECT_EQ(two.size(0), 3);
    EXPECT_EQ(two.size(1), 4);
    EXPECT_EQ(two.size(-1), 7);
    expect_scene_error([&] { two.size(2); }, illegal_layer);
    expect_scene_error([&] { two.size(-2); }, illegal_layer);
}

TEST_F(MemoryScene, Without_layers_nothing_is_allocated_drawn_or_enumerated) {
    const std::vector<long> h = fill(2);
    for (int l = 2; l >= 0; --l)
        scene.delete_layer(l);
    EXPECT_EQ(scene.total_layers(), 0);
    EXPECT_EQ(scene.connect(h[1]), nullptr);
    expect_scene_error([&] { scene.allocate(48, nullptr); }, illegal_layer);
    EXPECT_EQ(drawn(scene, -1), Names{});
    EXPECT_FALSE(scene.enumerate(-1));
    EXPECT_EQ(scene.size(-1), 0);
    scene.insert_layer(0);
    add(scene, 4);
    EXPECT_EQ(drawn(scene, -1), (Names{4}));
}

TEST_F(MemoryScene, Delete_layer_destroys_records_of_unknown_proxy_classes_directly) {
    add(scene, 1, {0, 0, 1, 1}, 4711);
    add(scene, 2);
    add(scene, 3, {0, 0, 1, 1}, 4711);
    scene.delete_layer(0);
    EXPECT_EQ(scene.size(-1), 0);
    EXPECT_EQ(scene.entries(), 0u);
}

// ---------------------------------------------------------------------------
// Read-only

TEST_F(MemoryScene, A_read_only_scene_refuses_shape_changes_but_not_layer_changes) {
    const std::vector<long> h = fill(2);
    scene.shape_layer(h[2], 1);
    scene.read_only(true);
    EXPECT_TRUE(scene.read_only());
    log.clear();
    expect_scene_error([&] { scene.allocate(48, nullptr); }, read_only_refusal);
    expect_scene_error([&] { scene.allocate(64, scene.connect(h[1])); }, read_only_refusal);
    expect_scene_error([&] { scene.destroy(scene.connect(h[1])); }, read_only_refusal);
    expect_scene_error([&] { scene.shape_layer(h[1], 1); }, read_only_refusal);
    expect_scene_error([&] { scene.shape_order(h[1], qvOrderLast, 0); }, read_only_refusal);

    scene.insert_layer(3);
    scene.move_layer(3, 0);
    scene.delete_layer(0);   // empty
    EXPECT_ANY_THROW(scene.delete_layer(0));
    EXPECT_EQ(layers(), (std::vector<Names>{{1}, {2}, {}}));
    EXPECT_TRUE(log.empty());
    scene.read_only(false);
    scene.delete_layer(0);
    EXPECT_EQ(layers(), (std::vector<Names>{{2}, {}}));
}

// ---------------------------------------------------------------------------
// Enumeration

TEST_F(MemoryScene, Enumeration_walks_layers_in_order_through_the_proxy_site) {
    const std::vector<long> h = fill(3);
    scene.shape_layer(h[3], 2);
    scene.shape_layer(h[2], 2);   // layers: {1}, {}, {2, 3}
    const qvGraphic live = scene.instantiate(h[2]);

    std::vector<qvGraphic> seen;
    for (auto it = scene.enumerate(-1); it; ++it)
        seen.push_back(*it);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].get(), live.get());
    Names names;
    for (qvGraphic const& g : seen)
        names.push_back(static_cast<qvGraphicProxyInterface*>(
                            g->query_interface(qvInterfaceIdentity<qvGraphicProxyInterface>()))
                            ->user_handle());
    EXPECT_EQ(names, (Names{1, 2, 3}));
    EXPECT_EQ(scene.entries(), 3u);

    EXPECT_FALSE(scene.enumerate(1));
    int in_layer_2 = 0;
    for (auto it = scene.enumerate(2); it; ++it)
        ++in_layer_2;
    EXPECT_EQ(in_layer_2, 2);
    expect_scene_error([&] { scene.enumerate(3); }, illegal_layer);
}

// ---------------------------------------------------------------------------
// Streams

TEST_F(MemoryScene, The_stream_of_a_rectangle_and_an_empty_layer_is_sixty_bytes_and_loads_into_two_layers) {
    qvMemoryScene source(2, &palette, false);
    qvRectangle r(source, qvMathRectOf<double>(1, 2, 3, 4));
    r->user_handle(7);
    const std::string record = scene_test::bytes_of(*r->record());
    const std::string bytes = scene_test::saved(source);
    EXPECT_EQ(bytes, i32(2) + i32(1) + record + i32(0));
    EXPECT_EQ(bytes.size(), 60u);

    qvMemoryScene target(&palette, false);
    add(target, 1);
    listen(target);
    log.clear();
    scene_test::load(target, bytes);
    EXPECT_EQ(target.total_layers(), 2);
    EXPECT_EQ(layers(target), (std::vector<Names>{{1, 7}, {}}));
    EXPECT_EQ(log, (Log{"rect all", "handle all"}));
    // With notification off a load sends nothing, as every other change.
    target.update_notification(false, true);
    log.clear();
    scene_test::load(target, bytes);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(target.size(0), 3);
    target.update_notification(true, true);
    auto it = target.enumerate(0);
    ++it;
    const qvRectangle loaded = *it;
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->rectangle(), qvMathRectOf<double>(1, 2, 3, 4));
    EXPECT_NE(loaded->shape_handle(), 0);
    EXPECT_EQ(target.connect(loaded->shape_handle()), loaded->record());
    EXPECT_EQ(scene_test::without_handle(scene_test::bytes_of(*loaded->record())),
              scene_test::without_handle(record));
}

TEST_F(MemoryScene, A_stream_cut_after_any_byte_leaves_the_scene_as_it_was) {
    qvMemoryScene source(2, &palette, false);
    add(source, 7);
    const std::string bytes = scene_test::saved(source);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        qvMemoryScene target(&palette, false);
        add(target, 1);
        const std::string before = scene_test::saved(target);
        expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(target, bytes.substr(0, cut)); },
                                                  incomplete);
        EXPECT_EQ(scene_test::saved(target), before) << cut;
        EXPECT_EQ(target.total_layers(), 1);
    }
}

TEST_F(MemoryScene, Hostile_counts_fail_or_read_nothing_and_leave_the_scene_as_it_was) {
    qvMemoryScene source(1, &palette, false);
    add(source, 7);
    const std::string list = scene_test::saved(source).substr(4);   // one list of one record
    const std::string record = list.substr(4);
    fill(1);
    const std::string before = scene_test::saved(scene);

    expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(scene, i32(0x7FFFFFFF)); }, incomplete);
    expect_raises<qvErrorFrom<qvInputStream>>(
        [&] { scene_test::load(scene, i32(1) + i32(0x7FFFFFFF) + record); }, incomplete);
    // Three layers, so three lists are read even for a stream of one.
    expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(scene, i32(1) + list); }, incomplete);
    std::string malformed = list;
    malformed[4 + 12] = 15;   // claims the arc class, 8 bytes short of it
    expect_raises<qvErrorFrom<qvInputStream>>(
        [&] { scene_test::load(scene, i32(3) + list + malformed + i32(0)); }, "Invalid shape record on input");
    EXPECT_EQ(scene_test::saved(scene), before);
    EXPECT_EQ(scene.total_layers(), 3);

    // A negative layer count adds nothing and reads a list per layer; counts
    // of 0 or less read no record.
    scene_test::load(scene, i32(-4) + i32(0) + i32(-1) + list);
    EXPECT_EQ(layers(), (std::vector<Names>{{1}, {}, {7}}));
    EXPECT_EQ(scene.shape_layer(scene.connect(add(scene, 8))->shape_handle), 0);
}

// A load cut after the palette used to keep the stream's palette in place
// of the scene's.
TEST_F(MemoryScene, An_owned_palette_travels_first_and_a_cut_load_leaves_it_as_it_was) {
    qvMemoryScene source;
    const long attribute = source.palette().alloc(false);
    add(source, 7);
    const std::string bytes = scene_test::saved(source);

    qvMemoryScene target;
    scene_test::load(target, bytes);
    EXPECT_EQ(layers(target), (std::vector<Names>{{7}}));
    EXPECT_EQ(scene_test::saved(target.palette()), scene_test::saved(source.palette()));

    qvMemoryScene cut;
    const std::string before = scene_test::saved(cut.palette());
    expect_raises<qvErrorFrom<qvInputStream>>([&] { scene_test::load(cut, bytes.substr(0, bytes.size() - 1)); },
                                              incomplete);
    EXPECT_EQ(cut.size(-1), 0);
    EXPECT_EQ(cut.palette().property(attribute, palette_test::folder("ref_count")), nullptr);
    EXPECT_EQ(scene_test::saved(cut.palette()), before);
}

// ---------------------------------------------------------------------------
// Destruction

TEST_F(MemoryScene, Destruction_releases_shapes_of_a_read_only_scene_through_new_proxies) {
    auto doomed = std::make_unique<qvMemoryScene>(2, &palette, false);
    const std::vector<long> h = fill(3, *doomed);
    doomed->shape_layer(h[3], 1);
    add(*doomed, 4, {0, 0, 1, 1}, 4711);   // no proxy class: freed directly
    qvGraphic live = doomed->instantiate(h[1]);
    auto* const proxy = static_cast<TestRect*>(live->query_interface(qvInterfaceIdentity<TestRect>()));
    doomed->read_only(true);
    const int deaths = shape_test::proxy_deaths;
    doomed.reset();
    // The live proxy was detached first; new proxies destroyed shapes 1 to 3.
    EXPECT_EQ(shape_test::proxy_deaths, deaths + 3);
    EXPECT_EQ(proxy->record(), nullptr);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->shape_handle(); },
                                                      "Attempt to query uninitialized shape");
    live.release();
    EXPECT_EQ(shape_test::proxy_deaths, deaths + 4);
}

// ---------------------------------------------------------------------------
// Through typed handles

TEST_F(MemoryScene, A_new_rectangle_lands_last_in_layer_0_and_its_handle_finds_the_live_proxy) {
    fill(1);
    qvRectangle fresh(scene);
    fresh->user_handle(2);   // the first change creates the record
    const long h = fresh->shape_handle();
    qvShapeBase* const record = scene.connect(h);
    EXPECT_EQ(record->box, (qvMathRectOf<float>::make_empty()));
    EXPECT_EQ(record->kind, qvRectangleKind);
    EXPECT_EQ(scene.shape_layer(h), 0);
    record->box = {0, 0, 1, 1};
    EXPECT_EQ(drawn(scene, 0), (Names{1, 2}));

    qvRectangle again(scene, h);
    EXPECT_EQ(again.get(), fresh.get());
    fresh.release();
    again.release();
    const qvRectangle renewed(scene, h);
    ASSERT_TRUE(renewed);
    EXPECT_EQ(renewed->record(), record);
    EXPECT_EQ(renewed->user_handle(), 2);
}

TEST_F(MemoryScene, A_destroyed_shape_leaves_a_handle_that_names_nothing) {
    qvRectangle r(scene, qvMathRectOf<double>(0, 0, 4, 3));
    const long h = r->shape_handle();
    r->destroy_shape();
    EXPECT_EQ(scene.connect(h), nullptr);
    expect_scene_error([&] { scene.shape_layer(h); }, not_found);
    expect_raises<qvErrorFrom<qvProxySite>>([&] { qvRectangle(scene, h); }, not_found);
    EXPECT_EQ(scene.size(-1), 0);
}

TEST_F(MemoryScene, A_read_only_scene_keeps_a_layer_whose_shapes_refuse_to_go) {
    qvRectangle(scene, qvMathRectOf<double>(0, 0, 1, 1));
    scene.read_only(true);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { scene.delete_layer(0); },
                                                      "Attempt to modify a read-only scene");
    EXPECT_EQ(scene.total_layers(), 3);
    EXPECT_EQ(scene.size(0), 1);
    scene.read_only(false);
    scene.delete_layer(0);
    EXPECT_EQ(scene.size(-1), 0);
}

TEST_F(MemoryScene, Typed_handles_outlive_their_scene_as_read_only_shapes_without_a_record) {
    auto doomed = std::make_unique<qvMemoryScene>(&palette, false);
    qvRectangle kept(*doomed, qvMathRectOf<double>(0, 0, 4, 3));
    qvEllipse unborn(*doomed);   // no record yet
    qvArc other(*doomed, qvMathRectOf<double>(1, 1, 2, 2), 0, 90);
    doomed->read_only(true);
    doomed.reset();
    for (qvSingleShapeProxyBase* proxy :
         std::initializer_list<qvSingleShapeProxyBase*>{kept.get(), unborn.get(), other.get()}) {
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->shape_handle(); },
                                                          "Attempt to query uninitialized shape");
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->user_handle(3); },
                                                          "Attempt to modify a read-only scene");
        expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { proxy->destroy_shape(); },
                                                          "Attempt to modify a read-only scene");
    }
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>(
        [&] { kept->rectangle(qvMathRectOf<double>(0, 0, 1, 1)); }, "Attempt to modify a read-only scene");
    kept.release();
    unborn.release();
    other.release();
}

TEST_F(MemoryScene, Destroying_shapes_through_their_proxies_reports_each_box_in_its_layer) {
    qvRectangle a(scene, qvMathRectOf<double>(0, 0, 4, 3));
    qvEllipse b(scene, qvMathRectOf<double>(1, 2, 5, 6));
    scene.shape_layer(b->shape_handle(), 2);
    a.release();
    log.clear();
    areas.items.clear();
    areas.flags.clear();
    scene.delete_layer(2);
    scene.delete_layer(0);
    EXPECT_EQ(areas.items, (std::vector<qvMathRectOf<double>>{{1, 2, 5, 6}, {0, 0, 4, 3}}));
    EXPECT_EQ(areas.flags, (std::vector<int>{2, 0}));
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { b->shape_handle(); },
                                                      "Attempt to query uninitialized shape");
}

// ---------------------------------------------------------------------------
// Against a model

// Random editing against layers of names in vectors.
TEST(qvMemorySceneProperty, Editing_agrees_with_a_model_of_layers) {
    qvGenericProxyClass<TestRect> rect_class;
    std::mt19937 rng(20240612);
    for (int round = 0; round < 60; ++round) {
        qvMemoryScene scene(1 + static_cast<int>(rng() % 3));
        std::vector<Names> model(static_cast<std::size_t>(scene.total_layers()));
        std::map<long, long> handle_of;   // name -> handle
        long next_name = 1;
        auto layer_of = [&](long name) {
            for (std::size_t l = 0; l < model.size(); ++l)
                if (std::find(model[l].begin(), model[l].end(), name) != model[l].end()) return static_cast<int>(l);
            return -1;
        };
        auto any_name = [&]() -> long {
            if (handle_of.empty()) return 0;
            auto it = handle_of.begin();
            std::advance(it, rng() % handle_of.size());
            return it->first;
        };
        for (int step = 0; step < 80; ++step) {
            const int total = static_cast<int>(model.size());
            switch (rng() % 8) {
            case 0:
            case 1:
                if (total == 0) break;
                handle_of[next_name] = add(scene, next_name);
                model[0].push_back(next_name++);
                break;
            case 2:
                if (const long name = any_name()) {
                    scene.destroy(scene.connect(handle_of[name]));
                    Names& in = model[static_cast<std::size_t>(layer_of(name))];
                    in.erase(std::find(in.begin(), in.end(), name));
                    handle_of.erase(name);
                }
                break;
            case 3:
                if (const long name = any_name()) {
                    const int to = static_cast<int>(rng() % total);
                    scene.shape_layer(handle_of[name], to);
                    Names& in = model[static_cast<std::size_t>(layer_of(name))];
                    in.erase(std::find(in.begin(), in.end(), name));
                    model[static_cast<std::size_t>(to)].insert(model[static_cast<std::size_t>(to)].begin(), name);
                }
                break;
            case 4:
                if (const long name = any_name()) {
                    scene.shape_order(handle_of[name], qvOrderLast, 0);
                    Names& in = model[static_cast<std::size_t>(layer_of(name))];
                    in.erase(std::find(in.begin(), in.end(), name));
                    in.push_back(name);
                }
                break;
            case 5: {
                const int at = static_cast<int>(rng() % (total + 1));
                scene.insert_layer(at);
                model.insert(model.begin() + at, Names{});
                break;
            }
            case 6:
                if (total > 1) {
                    const int at = static_cast<int>(rng() % total);
                    scene.delete_layer(at);
                    for (long name : model[static_cast<std::size_t>(at)]) handle_of.erase(name);
                    model.erase(model.begin() + at);
                }
                break;
            default:
                if (total > 0) {
                    const int from = static_cast<int>(rng() % total), to = static_cast<int>(rng() % total);
                    scene.move_layer(from, to);
                    Names moved = model[static_cast<std::size_t>(from)];
                    model.erase(model.begin() + from);
                    model.insert(model.begin() + to, moved);
                }
                break;
            }
            ASSERT_EQ(scene.total_layers(), static_cast<int>(model.size()));
            for (int l = 0; l < scene.total_layers(); ++l)
                ASSERT_EQ(drawn(scene, l), model[static_cast<std::size_t>(l)]) << "round " << round << " step " << step;
            for (auto const& [name, handle] : handle_of)
                ASSERT_EQ(scene.shape_layer(handle), layer_of(name)) << "round " << round << " step " << step;
        }
    }
}

}  // namespace
