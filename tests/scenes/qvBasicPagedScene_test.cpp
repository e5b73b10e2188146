// The basic paged scene: life cycle, layers and holes, the "$Layout"
// stream and the file it leaves, layouts that are refused, drawing order.
#include <orvane/scenes/qvBasicPagedScene.hpp>

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/shapes/qvShapeOrderInterface.hpp>

#include "qvFileTestSupport.hpp"
#include "qvPagedSceneTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using qv_file_test::raises;
using qv_file_test::ScratchDir;
using qv_page_test::le32;

namespace {

using E = qvErrorFrom<qvBasicPagedScene>;
using Rect = qvMathRectOf<double>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";

using paged_scene_test::rect;

// A file, one dynamic segment, an unowned palette; the scene made on demand.
struct Fixture : paged_scene_test::PagedSceneFixture {
    // Closes scene and file, opens both again.
    qvBasicPagedScene& reopened(bool read_only = false) {
        if (scene && scene->is_open()) scene->close();
        scene.reset();
        segment.reset();
        file.close();
        EXPECT_TRUE(file.open(path.c_str(), std::size_t{1} << 20, false));
        make().open(read_only);
        return *scene;
    }
    std::string layout() {
        qvPageIStream in(file.device(), "$Layout");
        std::string bytes;
        for (int c; (c = in.get()) >= 0;) bytes += static_cast<char>(c);
        in.close();
        return bytes;
    }
    void put_layout(std::string const& bytes) {
        qvPageOStream out(file.device(), "$Layout");
        out.putn(bytes.data(), static_cast<int>(bytes.size()));
        out.close();
    }
};

// The scene layer of each entry, -1 for holes.
std::vector<int> scene_layers(qvBasicPagedScene const& scene) {
    std::vector<int> out;
    for (auto const& e : scene.layers()) out.push_back(e.segment ? e.scene_layer : -1);
    return out;
}

}  // namespace

TEST(qvBasicPagedScene, Created_scene_has_no_layers_and_inserted_ones_span_its_bounds) {
    Fixture f;
    qvBasicPagedScene& scene = f.make();
    EXPECT_FALSE(scene.is_open());
    EXPECT_TRUE(raises<E>([&] { scene.close(); }, "Paged scene was not initialized"));
    scene.create(rect(0, 0, 100, 100));
    EXPECT_TRUE(raises<E>([&] { scene.create(rect(0, 0, 1, 1)); }, "Paged scene already initialized"));
    EXPECT_TRUE(raises<E>([&] { scene.open(false); }, "Paged scene already initialized"));
    EXPECT_EQ(scene.total_layers(), 0);
    scene.insert_layer(0);
    EXPECT_EQ(scene.bbox(0), rect(0, 0, 100, 100));
    EXPECT_NE(scene.layers()[0].list.get(), nullptr);
    EXPECT_TRUE(raises<E>([&] { scene.bbox(-1); }, "Illegal layer number specified"));
    EXPECT_TRUE(raises<E>([&] { scene.bbox(1); }, "Illegal layer number specified"));
    EXPECT_TRUE(raises<E>([&] { scene.insert_layer(-1); }, "Illegal layer number specified"));
    EXPECT_TRUE(raises<E>([&] { scene.insert_layer(2); }, "Illegal layer number specified"));

    EXPECT_EQ(scene.query_interface(qvInterfaceIdentity<qvContainerSceneInterface>()),
              static_cast<void*>(static_cast<qvContainerSceneInterface*>(&scene)));
    EXPECT_EQ(scene.query_interface(qvInterfaceIdentity<qvShapeOrderInterface>()), nullptr);
}

TEST(qvBasicPagedScene, Segments_attach_and_detach) {
    Fixture f;
    qvBasicPagedScene& scene = f.make();
    qvPagedSceneSegment other(f.file);
    EXPECT_TRUE(raises<E>([&] { scene.remove_segment(other); }, "Segment is not associated with the paged scene"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { scene.dynamic_segment(other); },
                                         "_STL::find( segments.begin(), segments.end(), &ps ) != segments.end()"));
    scene.remove_segment(*f.segment);
    EXPECT_EQ(scene.dynamic_segment(), nullptr);
    scene.create(rect(0, 0, 1, 1));
    EXPECT_TRUE(raises<E>([&] { scene.insert_layer(0); }, "Dynamic segment is not set for the paged scene"));
    scene.add_segment(other, false);
    scene.dynamic_segment(other);
    scene.insert_layer(0);
    EXPECT_EQ(other.total_layers(), 1);
    scene.close();
}

TEST(qvBasicPagedScene, Deleted_layers_leave_holes_that_insert_reuses) {
    Fixture f;
    qvBasicPagedScene& scene = f.created(3);
    const qvQuadTree* third = scene.layers()[2].sdb;
    scene.delete_layer(1);
    EXPECT_EQ(scene_layers(scene), (std::vector<int>{0, -1, 1}));
    EXPECT_EQ(scene.layers()[2].segment_layer, 1);
    EXPECT_EQ(scene.layers()[2].sdb, third);
    EXPECT_EQ(scene.layer_map(), (std::vector<int>{0, 2}));
    scene.insert_layer(0);
    EXPECT_EQ(scene_layers(scene), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(scene.layer_map(), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(scene.layers()[1].segment_layer, 2);
    EXPECT_TRUE(raises<E>([&] { scene.delete_layer(3); }, "Illegal layer number specified"));
}

TEST(qvBasicPagedScene, Moving_a_layer_renumbers_every_shifted_entry) {
    Fixture f;
    qvBasicPagedScene& scene = f.created(3);
    scene.move_layer(0, 2);
    EXPECT_EQ(scene.layer_map(), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(scene_layers(scene), (std::vector<int>{2, 0, 1}));
    scene.move_layer(2, 0);
    EXPECT_EQ(scene_layers(scene), (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(raises<E>([&] { scene.move_layer(0, 3); }, "Illegal layer number specified"));
    EXPECT_TRUE(raises<E>([&] { scene.size(3); }, "Illegal layer number specified"));
    EXPECT_EQ(scene.size(-7), 0);
}

TEST(qvBasicPagedScene, Deleting_an_empty_layer_gives_its_node_pages_back) {
    Fixture f;
    qvBasicPagedScene& scene = f.created(2);
    qvQuadTreeDirectory::EnumerateIterator root(*scene.layers()[0].sdb->directory());
    const long root0 = root.get()->page_number();
    scene.delete_layer(0);
    EXPECT_EQ(f.file.device().allocate(), root0);
    scene.close();
}

TEST(qvBasicPagedSceneLayout, Closed_scene_leaves_a_four_page_file_with_the_layout_on_page_three) {
    Fixture f;
    f.created(1);
    f.scene->close();
    f.scene.reset();
    f.file.close();
    EXPECT_EQ(qv_file_test::file_length(f.path), 4 * 16384);
    const std::string page3 = qv_page_test::page_of(f.path, 3);
    EXPECT_EQ(qv_page_test::word_at(page3, 4), 162u);

    ASSERT_TRUE(f.file.open(f.path.c_str(), std::size_t{1} << 20, true));
    const std::string bytes = f.layout();
    ASSERT_EQ(bytes.size(), 136u);
    std::string expected = le32(0) + le32(1) + le32(0) + le32(16) + le32(1023);
    for (double v : {0.0, 0.0, 100.0, 100.0}) expected += std::string(reinterpret_cast<char const*>(&v), 8);
    expected += le32(1);   // segments
    expected += le32(1);   // its layers
    EXPECT_EQ(bytes.substr(0, 60), expected);
    // After the quadtree (32 + 4 + 16 bytes): one scene layer, one entry.
    EXPECT_EQ(bytes.substr(112), le32(1) + le32(1) + le32(0) + le32(0) + le32(0) + le32(0));
}

TEST(qvBasicPagedSceneLayout, Holes_sizes_and_layers_come_back_after_reopening) {
    Fixture f;
    f.created(3);
    f.scene->delete_layer(1);
    f.scene->move_layer(0, 1);
    f.scene.reset();   // the destructor closes, writing the layout
    qvBasicPagedScene& scene = f.reopened();
    EXPECT_EQ(scene_layers(scene), (std::vector<int>{1, -1, 0}));
    EXPECT_EQ(scene.layer_map(), (std::vector<int>{2, 0}));
    EXPECT_EQ(scene.size(-1), 0);
    EXPECT_NE(scene.layers()[0].list.get(), nullptr);
    EXPECT_EQ(scene.layers()[1].list.get(), nullptr);

    // Read-only, then writable again: the writable scene has its lists.
    f.reopened(true);
    EXPECT_TRUE(f.scene->read_only());
    qvBasicPagedScene& again = f.reopened(false);
    EXPECT_FALSE(again.read_only());
    EXPECT_NE(again.layers()[2].list.get(), nullptr);
}

TEST(qvBasicPagedSceneLayout, A_layout_of_another_segment_set_is_refused) {
    Fixture f;
    f.created(1);
    f.scene->close();
    qvPagedSceneSegment second(f.file);
    f.scene->add_segment(second, false);
    EXPECT_TRUE(raises<E>([&] { f.scene->open(false); }, "Stored layout incompatible with the current segment set"));
    EXPECT_FALSE(f.scene->is_open());
    EXPECT_EQ(f.segment->total_layers(), 0);
    EXPECT_EQ(f.scene->handle_database(), nullptr);
    f.scene->remove_segment(second);
    f.scene->open(false);
    EXPECT_EQ(f.scene->total_layers(), 1);
}

// Past failure: a scene without a file (over the caller's handle tree)
// ended the process in load_layout, which asked the missing file for its
// stamp. It reads its own palette as stored, from a layout saved by a
// scene with a file or without one.
TEST(qvBasicPagedSceneLayout, A_scene_without_a_file_loads_a_layout_saved_with_or_without_one) {
    Fixture f;
    qvHandleTree tree(f.file.device(), 16);
    for (qvPagedSceneFile* file : {&f.file, static_cast<qvPagedSceneFile*>(nullptr)}) {
        SCOPED_TRACE(file != nullptr ? "saved with a file" : "saved without");
        qvPagedSceneSegment segment(f.file);
        std::stringbuf layout;
        std::string palette;
        {
            qvBasicPagedScene saver(tree, file, new qvMatchingPalette, true);
            saver.add_segment(segment, true);
            saver.create(rect(0, 0, 100, 50));
            saver.insert_layer(0);
            qvSharedAttributeProxy style(saver, 0);   // named, so it outlives the object
            style.fill_color(qvRgbColor(0.6f, 0.2f, 0.6f));
            style.attribute_name("plum");
            qvOutputStream os(&layout, qvVersion::default_version(), true);
            saver.save_layout(os);
            palette = palette_test::saved(saver.palette());
            saver.close();
        }
        qvBasicPagedScene loader(tree, nullptr, new qvMatchingPalette, true);
        loader.add_segment(segment, true);
        loader.create(rect(0, 0, 10, 10));
        qvInputStream is(&layout);
        loader.load_layout(is);
        EXPECT_EQ(loader.bounds(), rect(0, 0, 100, 50));
        EXPECT_EQ(palette_test::saved(loader.palette()), palette);
        loader.close();
    }
}

TEST(qvBasicPagedSceneLayout, Damaged_layouts_leave_the_scene_not_initialized) {
    Fixture f;
    f.created(2);
    f.scene->close();
    const std::string good = f.layout();
    // Offsets: flags 0 and 12 (tree between), segment count 52, the
    // segment's layers at 56, two quadtrees of 52 bytes, then scene
    // layers, entry count and entries.
    const std::size_t counts = 60 + 2 * 52;
    const std::size_t entry = counts + 8;
    const auto with = [&](std::size_t offset, std::uint32_t value) {
        std::string bytes = good;
        bytes.replace(offset, 4, le32(value));
        return bytes;
    };
    ASSERT_EQ(good.substr(counts, 8), le32(2) + le32(2));
    const std::string cases[] = {
        with(0, 2),                  // palette flag
        with(12, 0),                 // not this scene's handle tree flag
        with(52, 0xFFFFFFFF),        // negative segment count
        with(56, 0xFFFFFFFF),        // negative layer count of the segment
        with(counts, 0xFFFFFFFF),    // negative scene layers
        // Cut where the refusal must already have come: more scene layers
        // than entries at the counts, a scene layer past the count at its
        // entry (a later refusal would meet the cut first).
        with(counts, 3).substr(0, counts + 8),
        with(counts + 4, 0xFFFFFFFF),
        with(entry, 1),              // segment index past the segments
        with(entry + 4, 2),          // segment layer past its segment
        with(entry + 16 + 4, 0),     // two entries on one quadtree
        with(entry + 8, 2).substr(0, entry + 16),
        with(entry + 16 + 8, 0),     // scene layer taken twice
        with(entry + 12, 0xFFFFFFFF), // negative size
    };
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        f.put_layout(cases[k]);
        std::string raised;
        try {
            f.scene->open(false);
        } catch (qvError const& error) {
            raised = static_cast<char const*>(error);
        }
        EXPECT_EQ(raised, corrupt) << "case " << k;
        EXPECT_FALSE(f.scene->is_open()) << "case " << k;
        EXPECT_EQ(f.segment->total_layers(), 0) << "case " << k;
    }
    // Another palette choice than the writer's is a user error.
    f.put_layout(with(0, 1));
    EXPECT_TRUE(raises<E>([&] { f.scene->open(false); }, "Stored layout incompatible with the scene's palette"));
    EXPECT_FALSE(f.scene->is_open());
    // A hole entry that leaves a scene layer unfilled.
    f.put_layout(with(entry, 0xFFFFFFFF));
    EXPECT_TRUE(raises<E>([&] { f.scene->open(false); }, corrupt));
    f.put_layout(good.substr(0, good.size() - 3));
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { f.scene->open(false); }, "Incomplete data on input"));
    f.put_layout(good);
    f.scene->open(false);
    EXPECT_EQ(f.scene->total_layers(), 2);
}

TEST(qvBasicPagedSceneRender, Palette_first_reverse_layers_and_quadtree_order) {
    Fixture f;
    qvBasicPagedScene& scene = f.created(2);
    std::string body = le32(2);
    const auto rec = [](int name, float x) {
        auto bytes = qv_quadtree_test::record(48, x, 10, x + 5, 15);
        qvShapeBase header;
        std::memcpy(&header, bytes.data(), sizeof header);
        header.user_handle = name;
        header.kind = qvRectangleKind;
        std::memcpy(bytes.data(), &header, sizeof header);
        return std::string(bytes.begin(), bytes.end());
    };
    body += le32(3) + rec(1, 60) + rec(2, 10) + rec(3, 30);
    body += le32(1) + rec(4, 10);
    scene_test::load(scene, body);

    shape_test::RecordingFlavorPort port;
    scene.render(port, -1, scene_test::everywhere, true);
    ASSERT_FALSE(port.palettes.empty());
    EXPECT_EQ(port.palettes.front(), &f.palette);
    EXPECT_EQ(scene_test::drawn(scene, -1, true), (std::vector<long>{4, 1, 2, 3}));
    EXPECT_EQ(scene_test::drawn(scene, -1, false), (std::vector<long>{1, 2, 3, 4}));
    // Strict overlap: touching the box at x = 15 draws nothing.
    EXPECT_EQ(scene_test::drawn(scene, 0, false, rect(15, 0, 30, 100)), (std::vector<long>{}));
    EXPECT_EQ(scene_test::drawn(scene, 0, false, rect(14, 0, 31, 100)), (std::vector<long>{2, 3}));
    EXPECT_TRUE(raises<qvAssertionError>([&] { scene.render(port, 2, scene_test::everywhere, false); },
                                         "l < int(mapv.size())"));
    EXPECT_EQ(scene.size(-1), 4);
    EXPECT_EQ(scene.size(0), 3);
}

// Each count and index a layout load reads, at its bound (accepted), one
// past it and far past it (refused, nothing sized by the count: a claimed
// count reads no further than the stream has bytes).
TEST(qvBasicPagedSceneLayout, Every_count_and_index_at_its_bound_one_past_and_far_past) {
    Fixture f;
    f.created(2);
    f.scene->close();
    const std::string good = f.layout();
    const std::size_t counts = 60 + 2 * 52;
    const std::size_t entry = counts + 8, second = entry + 16;
    const auto with = [&](std::initializer_list<std::pair<std::size_t, std::uint32_t>> fields) {
        std::string bytes = good;
        for (auto const& [offset, value] : fields) bytes.replace(offset, 4, le32(value));
        return bytes;
    };
    struct Case {
        char const* what;
        std::string bytes;
        char const* refusal;   // null: accepted
    };
    constexpr char const* incomplete = "Incomplete data on input";
    constexpr char const* segments = "Stored layout incompatible with the current segment set";
    const Case cases[] = {
        {"segment count 2", with({{52, 2}}), segments},
        {"segment count far past", with({{52, 0x7FFFFFFF}}), segments},
        {"segment layers 3", with({{56, 3}}), nullptr},   // refused by what it then reads
        {"segment layers far past", with({{56, 0x7FFFFFFF}}), nullptr},
        {"scene layers far past", with({{counts, 0x7FFFFFFF}}), corrupt},
        {"entry count 3", with({{counts + 4, 3}}), incomplete},
        {"entry count far past", with({{counts + 4, 0x7FFFFFFF}}), incomplete},
        {"segment index far past", with({{entry, 0x7FFFFFFF}}), corrupt},
        {"segment layers swapped, the last at its bound", with({{entry + 4, 1}, {second + 4, 0}}), ""},
        {"segment layer far past", with({{entry + 4, 0x7FFFFFFF}}), corrupt},
        {"scene layers swapped, the last at its bound", with({{entry + 8, 1}, {second + 8, 0}}), ""},
        {"scene layer far past", with({{second + 8, 0x7FFFFFFF}}), corrupt},
        {"scene layer far below", with({{second + 8, 0x80000000}}), corrupt},
    };
    for (Case const& c : cases) {
        f.put_layout(c.bytes);
        std::string raised;
        try {
            f.scene->open(false);
        } catch (qvError const& error) {
            raised = static_cast<char const*>(error);
        }
        if (c.refusal == nullptr) {
            EXPECT_FALSE(raised.empty()) << c.what;
        } else if (*c.refusal == '\0') {
            EXPECT_EQ(raised, "") << c.what;
            EXPECT_EQ(f.scene->total_layers(), 2) << c.what;
            f.scene->close();
            f.put_layout(good);
            continue;
        } else {
            EXPECT_EQ(raised, c.refusal) << c.what;
        }
        EXPECT_FALSE(f.scene->is_open()) << c.what;
        EXPECT_EQ(f.segment->total_layers(), 0) << c.what;
    }
    f.put_layout(good);
    f.scene->open(false);
    EXPECT_EQ(f.scene->total_layers(), 2);
}

// The scene itself, not only its ready-made owner, refuses a file a writer
// left open, before it writes anything; a read-only open goes on.
TEST(qvBasicPagedSceneLayout, A_file_with_the_open_mark_is_refused_writable_and_read_read_only) {
    Fixture f;
    f.created(1);
    f.scene->close();
    f.file.device().create_root(qvBasicPagedScene::open_mark, qvBasicPagedScene::open_mark_page);
    f.file.device().flush();
    const std::string before = qv_file_test::read_file(f.path);
    EXPECT_TRUE(raises<E>([&] { f.scene->open(false); }, corrupt));
    EXPECT_FALSE(f.scene->is_open());
    EXPECT_EQ(f.segment->total_layers(), 0);
    f.file.device().flush();
    EXPECT_TRUE(qv_file_test::read_file(f.path) == before);
    f.scene->open(true);
    EXPECT_EQ(f.scene->total_layers(), 1);
    f.scene->close();
    EXPECT_TRUE(qv_file_test::read_file(f.path) == before);
    f.file.device().remove_root(qvBasicPagedScene::open_mark);
    f.scene->open(false);
    EXPECT_TRUE(f.scene->is_open());
}
