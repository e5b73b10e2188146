// A bulk load on a disk that fills up: the write that fails is swept over
// every stretch of a load (its batches, the undo that follows a raise, and
// the closes), for whole-page writes and in-place writes apart, failing
// from there on (a full disk), failing once, or torn (written in part,
// then failing from there on). Whatever fails, once the fault is lifted
// and a close returns, the file reopens read-only and reads whole with
// either the content from before the load (the load raised) or every
// loaded record (it returned), and its handles, layer sizes, drawn records
// and enumeration agree. Before the undo could be resumed, 43 of 300 such
// sessions left handles without records or records without handles, all
// from whole-page writes failing while the load undid itself. Then each
// operation of the scene, first after a load that kept its undo, and
// delete_layer on such a disk: its layer stays whole or, once there is
// room, is gone entirely.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "platform/qvPlatformFault.hpp"
#include "scenes/qvPageLayout.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageFileWalker.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

using orvane::platform::Call;
using qv_file_test::read_file;
using qv_file_test::ScratchDir;

namespace {

using Names = std::vector<std::vector<long>>;   // user handles per layer, sorted

const qvMathRectOf<double> bounds(0, 0, 1000, 1000);

// The proxy class of rectangles, which enumeration makes proxies of.
long rectangle_class() {
    qvMatchingPalette palette;
    qvMemoryScene scene(1, &palette, false);
    qvRectangle probe(scene, qvMathRectOf<double>(1, 2, 4, 3));
    return probe->proxy_class_id();
}

// Fills layers of a new scene with rectangles named from `first`, of
// random non-square boxes (fixed seed); the names each layer got.
Names fill(qvPagedScene& scene, std::vector<int> const& counts, long first, unsigned seed) {
    const long id = rectangle_class();
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> at(0.0f, 990.0f), extent(0.5f, 9.0f);
    Names names(counts.size());
    long name = first;
    for (std::size_t l = 0; l < counts.size(); ++l) {
        for (int k = 0; k < counts[l]; ++k) {
            const float x = at(random), y = at(random);
            const long handle = scene_test::add(scene, name, {x, y, x + extent(random), y + extent(random)}, id);
            scene.shape_layer(handle, static_cast<int>(l));
            names[l].push_back(name++);
        }
    }
    return names;
}

// --- the failing disk -----------------------------------------------------------
//
// An observer of the POSIX layer counts the positioned writes of one kind
// (whole pages start on a page boundary, in-place ranges inside a page) or
// the reservations of a mapped file's growth, and arms the failure of the
// one it strikes. A torn write first puts garbage over part of its range,
// through a descriptor of its own.

enum class Mode { sticky, torn, once };
enum class Target { whole, in_place, growth, any };

struct Disk {
    Mode mode = Mode::sticky;
    Target target = Target::whole;
    long strike = 0;   // the strike-th counted call fails; 0: counting only
    long seen = 0;
    long seen_in_load = 0;
    int tear_fd = -1;
};

Disk disk;

bool counted(Call call, long long position) noexcept {
    if (disk.target == Target::growth) return call == Call::reserve;
    if (call != Call::write || position < 0) return false;
    if (disk.target == Target::any) return true;
    return (position % static_cast<long long>(qvPageBytes) != 0) == (disk.target == Target::in_place);
}

void observe(Call call, long long position) noexcept {
    if (disk.target == Target::growth && disk.strike > 0 && disk.mode == Mode::sticky && call == Call::sync) {
        orvane::platform::fail_next(Call::sync, EIO);   // a mapped file's close fails while the disk is full
        return;
    }
    if (!counted(call, position)) return;
    const long n = ++disk.seen;
    if (disk.strike == 0 || n < disk.strike || (disk.mode == Mode::once && n > disk.strike)) return;
    if (disk.mode == Mode::torn && n == disk.strike) {
        // The smallest in-place range is one slot entry of 2 bytes.
        const std::size_t part = disk.target == Target::whole ? qvPageBytes / 2 : 2;
        const std::string garbage(part, '\xA5');
        (void)!::pwrite(disk.tear_fd, garbage.data(), part, static_cast<off_t>(position));
    }
    orvane::platform::fail_next(call, ENOSPC);
}

struct Outcome {
    bool load_raised = false;
    int failed_closes = 0;
};

// One session over a copy of the starting file: open writable, load under
// the disk's fault, close (failing, perhaps) while it lasts, lift it and
// close. A close that raises must leave the scene open.
Outcome session(std::string const& path, std::string const& start, std::string const& stream, int cache) {
    qv_file_test::write_file(path, start);
    Outcome outcome;
    qvPagedScene scene;
    EXPECT_TRUE(scene.open(path.c_str(), cache, false));
    scene.load_batch_bytes(16 << 10);   // a dozen batches
    disk.seen = 0;
    disk.tear_fd = ::open(path.c_str(), O_WRONLY);
    orvane::platform::observe_calls(observe);
    try {
        scene_test::load(scene, stream);
    } catch (qvError const&) {
        outcome.load_raised = true;
    }
    disk.seen_in_load = disk.seen;
    for (int attempt = 0; attempt < 2 && scene.is_open(); ++attempt) {
        try {
            scene.close();
        } catch (qvError const&) {
            ++outcome.failed_closes;
            EXPECT_TRUE(scene.is_open());
        }
    }
    orvane::platform::observe_calls(nullptr);
    orvane::platform::clear_failures();
    ::close(disk.tear_fd);
    if (scene.is_open()) scene.close();
    return outcome;
}

// What an open scene shows: "" when it draws, enumerates and counts
// `expected` in every layer, else what is wrong. `records`: their total.
std::string shown(qvPagedScene& scene, Names const& expected, long* records = nullptr) {
    if (scene.total_layers() != static_cast<int>(expected.size()))
        return std::to_string(scene.total_layers()) + " layers";
    long total = 0;
    for (int l = 0; l < scene.total_layers(); ++l) {
        std::vector<long> names = scene_test::drawn(scene, l);
        std::sort(names.begin(), names.end());
        if (names != expected[static_cast<std::size_t>(l)])
            return "layer " + std::to_string(l) + " draws " + std::to_string(names.size()) + " records";
        int enumerated = 0;
        for (auto g = scene.enumerate(l); g; ++g) ++enumerated;
        if (scene.size(l) != enumerated || enumerated != static_cast<int>(names.size()))
            return "layer " + std::to_string(l) + " of size " + std::to_string(scene.size(l));
        total += enumerated;
    }
    if (scene.size(-1) != total) return "a total size of " + std::to_string(scene.size(-1));
    if (records != nullptr) *records = total;
    return "";
}

// What the file holds, read back read-only: "" when it reads whole with
// `expected`, else what is wrong.
std::string check(std::string const& path, Names const& expected) {
    qvPagedScene scene;
    if (!scene.open(path.c_str(), 1 << 20, true)) return "does not open";
    std::string wrong;
    try {
        const qv_page_walk::Walk walk = qv_page_walk::walk(scene);
        if (!walk.sound()) return "unsound: " + walk.problems.front();
        long total = 0;
        wrong = shown(scene, expected, &total);
        if (wrong.empty() && walk.handles != total) wrong = std::to_string(walk.handles) + " handles";
    } catch (qvError const& error) {
        wrong = std::string("raised \"") + static_cast<char const*>(error) + '"';
    }
    scene.close();
    return wrong;
}

struct Sweep {
    ScratchDir dir;
    std::string path = dir / "load.pgf";
    std::string start;    // 1,000 rectangles in each of two layers
    std::string stream;   // loaded into both and a third, new layer
    Names clean;
    Names loaded;

    explicit Sweep(std::vector<int> const& load) {
        {
            qvPagedScene scene;
            scene.create(path.c_str(), 2, bounds, 1 << 20);
            clean = fill(scene, {1000, 1000}, 1, 1);
            scene.close();
        }
        start = read_file(path);
        {
            qvPagedScene scene;
            scene.create((dir / "stream.pgf").c_str(), 3, bounds, 1 << 20);
            const Names added = fill(scene, load, 10001, 2);
            stream = scene_test::saved(scene);
            scene.close();
            loaded = clean;
            loaded.push_back({});
            for (std::size_t l = 0; l < added.size(); ++l)
                loaded[l].insert(loaded[l].end(), added[l].begin(), added[l].end());
        }
    }

    // The calls of the target kind a faultless load makes.
    long count(int cache, Target target) {
        disk = Disk{Mode::sticky, target, 0};
        const Outcome outcome = session(path, start, stream, cache);
        EXPECT_FALSE(outcome.load_raised);
        EXPECT_EQ(check(path, loaded), "");
        return disk.seen_in_load;
    }

    // Strikes at the first and last counted call and `points` between.
    void run(int cache, Target target, Mode mode, long calls, long points) {
        std::vector<long> strikes{1, calls};
        for (long p = 1; p <= points; ++p) strikes.push_back(1 + (calls - 1) * p / (points + 1));
        std::sort(strikes.begin(), strikes.end());
        strikes.erase(std::unique(strikes.begin(), strikes.end()), strikes.end());
        for (long strike : strikes) {
            disk = Disk{mode, target, strike};
            const Outcome outcome = session(path, start, stream, cache);
            const std::string wrong = check(path, outcome.load_raised ? clean : loaded);
            EXPECT_EQ(wrong, "") << "cache " << cache << ", target " << static_cast<int>(target) << ", mode "
                                 << static_cast<int>(mode) << ", strike " << strike << " of " << calls
                                 << (outcome.load_raised ? ", load raised" : ", load returned") << ", "
                                 << outcome.failed_closes << " failed closes";
        }
    }
};

}  // namespace

// A load of 4,000 in a dozen batches outgrows a cache of 64 KiB; one of
// 20,000 outgrows 1 MiB.
TEST(qvPagedSceneLoadFailure, A_load_on_a_filling_disk_ends_in_the_clean_content_or_every_record) {
    using Ints = std::vector<int>;   // records per layer, caches
    for (auto const& [load, caches, points] : {std::tuple{Ints{1500, 1500, 1000}, Ints{0, 64 << 10}, 6L},
                                               std::tuple{Ints{8000, 8000, 4000}, Ints{1 << 20}, 2L}}) {
        Sweep sweep(load);
        for (int cache : caches) {
            for (Target target : {Target::whole, Target::in_place}) {
                const long calls = sweep.count(cache, target);
                if (calls == 0) continue;   // a cache that holds every node writes none in place
                for (Mode mode : {Mode::sticky, Mode::torn, Mode::once}) sweep.run(cache, target, mode, calls, points);
            }
        }
    }
}

// The mapped file writes through memory: what a full disk refuses it is
// the reservation of the blocks the file grows by, and the sync.
TEST(qvPagedSceneLoadFailure, A_load_over_the_mapped_file_that_cannot_grow_ends_in_the_clean_content_or_every_record) {
    Sweep sweep({8000, 8000, 4000});
    const long calls = sweep.count(-1, Target::growth);
    ASSERT_GT(calls, 0);
    for (Mode mode : {Mode::sticky, Mode::once}) sweep.run(-1, Target::growth, mode, calls, 2);
}

// After a load that raised with its undo unfinished (every write failing
// from the strike on), space is freed and the application goes on. Before
// every operation finished the undo first, the scene drew, counted and
// handed out the failed load's records; a layer deleted meanwhile left
// handles naming its emptied entry, so every close then raised and the
// file was lost; a shape made after one of the load's records was
// destroyed took its handle number, and the close's undo took the new
// shape away with it; and the undo deleted a layer appended meanwhile.
TEST(qvPagedSceneLoadFailure, After_a_load_that_raised_the_scene_holds_its_earlier_content_and_keeps_every_later_change) {
    enum class Next { delete_first_layer, destroy_one_and_add, append_layer, close_on_the_full_disk };
    Sweep sweep({8000, 8000, 4000});
    const long id = rectangle_class();
    const auto lift = [] {
        orvane::platform::observe_calls(nullptr);
        orvane::platform::clear_failures();
    };
    int left_pending = 0;
    for (int cache : {64 << 10, 1 << 20}) {
        for (long strike : {10L, 30L, 100L}) {
            for (Next next : {Next::delete_first_layer, Next::destroy_one_and_add, Next::append_layer,
                              Next::close_on_the_full_disk}) {
                SCOPED_TRACE("cache " + std::to_string(cache) + ", strike " + std::to_string(strike) + ", next " +
                             std::to_string(static_cast<int>(next)));
                qv_file_test::write_file(sweep.path, sweep.start);
                Names expected = sweep.clean;
                {
                    qvPagedScene scene;
                    ASSERT_TRUE(scene.open(sweep.path.c_str(), cache, false));
                    scene.load_batch_bytes(16 << 10);
                    disk = Disk{Mode::sticky, Target::any, strike};
                    orvane::platform::observe_calls(observe);
                    EXPECT_THROW(scene_test::load(scene, sweep.stream), qvError);
                    // The table still counts records of the load: its undo waits.
                    long counted = 0;
                    for (auto const& entry : scene.layers()) counted += entry.size;
                    const bool pending = counted > 2000;
                    left_pending += pending;
                    if (next == Next::close_on_the_full_disk) {
                        EXPECT_THROW(scene.close(), qvError);
                        EXPECT_TRUE(scene.is_open());
                    } else if (pending) {
                        EXPECT_THROW(scene.size(-1), qvError);   // the undo cannot be written yet
                    }
                    lift();
                    EXPECT_EQ(shown(scene, expected), "");
                    switch (next) {
                    case Next::delete_first_layer:
                        scene.delete_layer(0);
                        expected.erase(expected.begin());
                        scene_test::add(scene, 99999, {5, 6, 9.5f, 7}, id);
                        expected[0].push_back(99999);
                        break;
                    case Next::destroy_one_and_add: {
                        qvRectangle victim(*scene.enumerate(1));
                        const long name = victim->user_handle();
                        victim->destroy_shape();
                        expected[1].erase(std::find(expected[1].begin(), expected[1].end(), name));
                        scene_test::add(scene, 99999, {5, 6, 9.5f, 7}, id);
                        expected[0].push_back(99999);
                        break;
                    }
                    case Next::append_layer:
                        scene.insert_layer(scene.total_layers());
                        expected.emplace_back();
                        break;
                    case Next::close_on_the_full_disk:
                        break;
                    }
                    EXPECT_TRUE(scene.close());
                }
                EXPECT_EQ(check(sweep.path, expected), "");
            }
        }
    }
    lift();
    EXPECT_GT(left_pending, 0);
}

// A new file of two layers of rectangles (handles from 1, in fill order),
// closed; the names each layer got.
Names written(std::string const& path, std::vector<int> const& counts, unsigned seed) {
    qvPagedScene scene;
    scene.create(path.c_str(), 2, bounds, 1 << 20);
    const Names names = fill(scene, counts, 1, seed);
    scene.close();
    return names;
}

// A delete_layer on a disk that fills up, every write failing from the
// strike-th after the call on, over a cache of clean pages or of pages
// an edit left dirty (then the first shapes cannot be had at all); then
// space is freed, and the scene is closed or destroyed. Before the rest of
// a raising delete was kept for the next operation, every strike over the
// clean cache and three of five over the dirty one left 10 to 1,077 of the
// layer's 1,600 shapes destroyed and the others in the layer, drawn,
// counted and saved.
TEST(qvPagedSceneDeleteLayerFailure, A_delete_layer_that_raises_leaves_its_layer_whole_or_gone_once_there_is_room) {
    ScratchDir dir;
    const std::string path = dir / "delete.pgf";
    const Names clean = written(path, {1600, 400}, 3);
    const std::string start = read_file(path);
    const auto lift = [] {
        orvane::platform::observe_calls(nullptr);
        orvane::platform::clear_failures();
    };
    int whole_count = 0, gone_count = 0;
    for (bool dirty : {false, true}) {
        for (bool destroyed : {false, true}) {
            for (long strike = 1; strike <= 5; ++strike) {
                SCOPED_TRACE("strike " + std::to_string(strike) + (dirty ? ", dirty" : ", clean") +
                             (destroyed ? ", destroyed" : ", closed"));
                qv_file_test::write_file(path, start);
                Names expected = clean;
                std::vector<qvRectangle> doomed;   // live proxies of half the layer, outliving the scene
                {
                    qvPagedScene scene;
                    ASSERT_TRUE(scene.open(path.c_str(), 64 << 10, false));
                    for (auto g = scene.enumerate(0); g && doomed.size() < 800; ++g) doomed.emplace_back(*g);
                    auto walk = scene.enumerate(0);
                    for (long h = 1601; dirty && h <= 2000; ++h) {
                        qvShapeBase* const record = scene.connect(h);
                        ASSERT_NE(record, nullptr);
                        record->box.x2 += 0.25f;   // moved: written anew
                        scene.disconnect(record);
                    }
                    disk = Disk{Mode::sticky, Target::any, strike};
                    orvane::platform::observe_calls(observe);
                    EXPECT_THROW(scene.delete_layer(0), qvError);
                    // At once, nothing more written: in the map whole, or out of it.
                    const bool whole = scene.layer_map().size() == 2;
                    ++(whole ? whole_count : gone_count);
                    if (whole) {
                        EXPECT_EQ(scene.layers()[static_cast<std::size_t>(scene.layer_map()[0])].size, 1600);
                    } else {
                        expected.erase(expected.begin());
                        EXPECT_FALSE(walk);
                        EXPECT_THROW(scene.close(), qvError);
                        EXPECT_TRUE(scene.is_open());
                    }
                    lift();
                    if (!destroyed) {
                        EXPECT_EQ(shown(scene, expected), "");
                        if (whole) {
                            scene.delete_layer(0);
                            expected.erase(expected.begin());
                        }
                        for (qvRectangle& proxy : doomed) EXPECT_THROW(proxy->user_handle(), qvError);   // shape gone
                        doomed.clear();
                        walk = decltype(walk)();
                        EXPECT_TRUE(scene.close());
                    }
                }
                EXPECT_EQ(check(path, expected), "");
                qvPagedScene reopened;   // a writable open: the close took the open mark away
                EXPECT_TRUE(reopened.open(path.c_str(), 64 << 10, false));
                reopened.close();
            }
        }
    }
    EXPECT_GT(whole_count, 0);
    EXPECT_GT(gone_count, 0);
}

// Shapes no proxy can destroy, among those of the layer. One of no
// registered proxy class is destroyed directly, as in the memory scene; a
// copy its caller connected itself refuses the delete before anything
// goes. Either used to stop the delete there, the shapes before it
// destroyed; and kept for later, that delete would have waited for good.
TEST(qvPagedSceneDeleteLayerFailure, A_layer_with_shapes_no_proxy_can_destroy_is_deleted_or_refused_whole) {
    ScratchDir dir;
    const std::string path = dir / "foreign.pgf";
    Names names;
    {
        qvPagedScene scene;
        scene.create(path.c_str(), 2, bounds, 1 << 20);
        names = fill(scene, {300, 100}, 1, 4);
        for (int k = 0; k < 300; ++k) {
            const float at = static_cast<float>(k) * 3.0f;   // among the others, in layer 0
            scene_test::add(scene, 1000 + k, {at, at, at + 2.0f, at + 2.0f}, 30303);
        }
        scene.close();
    }
    {
        qvPagedScene scene;
        ASSERT_TRUE(scene.open(path.c_str(), 64 << 10, false));
        std::vector<qvRectangle> proxies;   // connected before the copy below
        for (long handle = 1; handle <= 50; ++handle) proxies.emplace_back(scene, handle);
        qvShapeBase* const raw = scene.connect(60);
        EXPECT_THROW(scene.delete_layer(0), qvError);
        EXPECT_EQ(scene.size(0), 600);
        EXPECT_NO_THROW(proxies.back()->user_handle());   // still has its shape
        scene.disconnect(raw);
        scene.delete_layer(0);
        names.erase(names.begin());
        EXPECT_EQ(shown(scene, names), "");
        proxies.clear();
        EXPECT_TRUE(scene.close());
    }
    EXPECT_EQ(check(path, names), "");
}

// A walk of a layer deleted whole used to go on in its freed quadtree.
TEST(qvPagedSceneDeleteLayerFailure, A_walk_with_a_deleted_layer_still_to_walk_ends_with_it) {
    ScratchDir dir;
    const std::string path = dir / "walk.pgf";
    written(path, {300, 100}, 5);
    qvPagedScene scene;
    ASSERT_TRUE(scene.open(path.c_str(), 64 << 10, false));
    for (int layer : {0, -1}) {
        auto walk = scene.enumerate(layer);
        ++walk;
        scene.delete_layer(0);
        EXPECT_FALSE(walk) << layer;
    }
    EXPECT_TRUE(scene.close());
}

// --- each operation first after a load that kept its undo --------------------
//
// Three layers (the last one empty) load a stream of four (the third part
// empty, the fourth appended) while the disk fills up, so that the load
// raises with its undo kept: records of the load still counted and its
// appended layer still in the table.

namespace {

const Names earlier{{1, 2, 3}, {4, 5}, {}};

qvMathRectOf<float> box_of(long name) {
    const auto x = static_cast<float>(name * 100), y = static_cast<float>(name * 50);
    return {x, y, x + 7, y + 3};
}

// A scene with or without a file of its own (then over the test's file,
// segment and handle tree), its earlier content stored, and what a row
// made before the load.
struct Kept {
    std::unique_ptr<qvPagedScene> own;
    std::unique_ptr<qvPagedSceneFile> file;
    std::unique_ptr<qvPagedSceneSegment> segment;
    std::unique_ptr<qvHandleTree> tree;
    std::unique_ptr<qvBasicPagedScene> bare;
    qvBasicPagedScene* scene = nullptr;
    std::vector<long> handles;            // of the earlier records, by name
    // The load's first handle (the tree gives the lowest free slot). The
    // undo takes handles back from the highest down: while it still counts
    // records of the load, this one is held.
    long first_loaded = 0;
    qvShapeBase* unstored = nullptr;      // made before the load, never written
    qvIndirectIterator<qvGraphic> live;   // started before the load
    std::vector<qvGraphic> held;          // held across the load
    std::string next_stream;              // a stream of one record, named 7001

    Kept(std::string const& path, bool own_file, int cache) {
        if (own_file) {
            own = std::make_unique<qvPagedScene>();
            own->create(path.c_str(), 3, bounds, cache);
            scene = own.get();
        } else {
            file = std::make_unique<qvPagedSceneFile>();
            file->create(path.c_str(), cache);
            segment = std::make_unique<qvPagedSceneSegment>(*file);
            tree = std::make_unique<qvHandleTree>(file->device(), static_cast<int>(sizeof(qvHandleRecord)));
            bare = std::make_unique<qvBasicPagedScene>(*tree, nullptr);
            bare->add_segment(*segment, true);
            bare->create(bounds);
            for (int l = 0; l < 3; ++l) bare->insert_layer(l);
            scene = bare.get();
        }
        for (std::size_t l = 0; l < earlier.size(); ++l) {
            for (long name : earlier[l]) {
                qvShapeBase* const record = make(name);
                handles.push_back(record->shape_handle);
                scene->shape_layer(record->shape_handle, static_cast<int>(l));
                scene->disconnect(record);
            }
        }
        first_loaded = handles.back() + 1;
    }

    // A rectangle record named `name` in layer 0, connected.
    qvShapeBase* make(long name) {
        qvShapeBase* const record = scene->allocate(static_cast<int>(sizeof(qvShape<qvRectangleData>)), nullptr);
        record->proxy_class_id = static_cast<std::int32_t>(rectangle_class());
        record->kind = qvRectangleKind;
        record->user_handle = static_cast<std::int32_t>(name);
        record->box = box_of(name);
        return record;
    }

    // The scene as a row sees it without finishing anything: the layer
    // table and the records it counts.
    std::string table() const {
        std::string text;
        for (auto const& entry : scene->layers())
            text += std::to_string(entry.scene_layer) + ':' + std::to_string(entry.size) + ' ';
        return text;
    }
};

std::string listed(std::vector<long> names) {
    std::sort(names.begin(), names.end());
    std::string text;
    for (long name : names) text += std::to_string(name) + ' ';
    return text;
}

struct Row {
    char const* operation;
    bool own_file;
    void (*before)(Kept&);            // before the load; may be null
    std::string (*act)(Kept&);        // what the operation shows
    bool raises_on_full_disk;
    std::string shows;                // with room
    void (*change)(Names&);           // its change of the earlier content; may be null
};

std::string shown_by(Kept& kept, Row const& row) {
    try {
        return row.act(kept);
    } catch (qvError const& error) {
        return std::string("raised ") + static_cast<char const*>(error);
    }
}

}  // namespace

// Each operation first after such a load: while the disk is still full it
// raises and changes nothing; with room it meets exactly the earlier
// content, and what a close then leaves is that content with the
// operation's own change. A scene without a file of its own is the one
// whose close has nothing else to finish the undo (no "$Layout" to write).
TEST(qvPagedSceneLoadFailure, An_operation_first_after_a_load_that_kept_its_undo_finishes_the_undo_or_raises_changing_nothing) {
    ScratchDir dir;
    const std::string path = dir / "kept.pgf";
    const int cache = 32 << 10;   // two pages: the undo needs pages the cache has to write back
    const auto stream_of = [&dir](std::vector<int> const& counts, long first) {
        qvPagedScene scene;
        scene.create((dir / "stream.pgf").c_str(), static_cast<int>(counts.size()), bounds, 1 << 20);
        fill(scene, counts, first, 3);
        std::string bytes = scene_test::saved(scene);
        scene.close();
        return bytes;
    };
    const std::string stream = stream_of({200, 200, 0, 600}, 10001);
    const std::string second = stream_of({1, 0, 0}, 7001);
    const auto lift = [] {
        orvane::platform::observe_calls(nullptr);
        orvane::platform::clear_failures();
    };
    // An error that escapes a row must not leave the disk full for the
    // tests after this one.
    struct Lifted {
        ~Lifted() { orvane::platform::observe_calls(nullptr), orvane::platform::clear_failures(); }
    } const lifted_at_exit;
    // True when the load raised with its undo kept.
    const auto load = [&](Kept& kept, long strike) {
        kept.scene->load_batch_bytes(4 << 10);
        disk = Disk{Mode::sticky, Target::any, strike};
        orvane::platform::observe_calls(observe);
        bool raised = false;
        try {
            scene_test::load(*kept.scene, stream);
        } catch (qvError const&) {
            raised = true;
        }
        long counted = 0;
        for (auto const& entry : kept.scene->layers()) counted += entry.size;
        return raised && kept.scene->layer_map().size() == 4 && counted > 5;
    };

    using K = Kept&;
    const Row rows[] = {
        {"close", false, nullptr, [](K k) -> std::string { return k.scene->close(), "closed"; }, true, "closed",
         nullptr},
        // The layer the load appended is still in the table.
        {"total_layers", true, nullptr, [](K k) { return std::to_string(k.scene->total_layers()); }, true, "3",
         nullptr},
        {"size", true, nullptr, [](K k) { return std::to_string(k.scene->size(-1)); }, true, "5", nullptr},
        {"insert_layer", true, nullptr, [](K k) -> std::string { return k.scene->insert_layer(0), "inserted"; },
         true, "inserted", [](Names& n) { n.insert(n.begin(), std::vector<long>{}); }},
        // An empty layer: what a deletion that raises midway leaves is not
        // this test's business.
        {"delete_layer", true, nullptr, [](K k) -> std::string { return k.scene->delete_layer(2), "deleted"; }, true,
         "deleted", [](Names& n) { n.pop_back(); }},
        {"move_layer onto the appended layer", true, nullptr,
         [](K k) -> std::string { return k.scene->move_layer(0, 3), "moved"; }, true,
         "raised Illegal layer number specified", nullptr},
        {"bbox of the appended layer", true, nullptr,
         [](K k) -> std::string { return std::to_string(k.scene->bbox(3).x2); }, true,
         "raised Illegal layer number specified", nullptr},
        {"render", true, nullptr, [](K k) { return listed(scene_test::drawn(*k.scene, -1)); }, true, "1 2 3 4 5 ",
         nullptr},
        {"save", true, nullptr,
         [](K k) {
             const std::string bytes = scene_test::saved(*k.scene);
             ScratchDir copy_dir;
             qvPagedScene copy;
             copy.create((copy_dir / "copy.pgf").c_str(), bounds, 1 << 20);
             scene_test::load(copy, bytes);
             std::string text = std::to_string(copy.total_layers()) + " layers: ";
             for (int l = 0; l < copy.total_layers(); ++l) text += listed(scene_test::drawn(copy, l)) + "| ";
             copy.close();
             return text;
         },
         true, "3 layers: 1 2 3 | 4 5 | | ", nullptr},
        {"load", true, nullptr,
         [](K k) -> std::string { return scene_test::load(*k.scene, k.next_stream), "loaded"; }, true, "loaded",
         [](Names& n) { n[0].push_back(7001); }},
        {"connect of a loaded handle", true, nullptr,
         [](K k) { return std::string(k.scene->connect(k.first_loaded) == nullptr ? "none" : "a record"); }, true,
         "none", nullptr},
        {"allocate", true, nullptr,
         [](K k) -> std::string { return k.scene->disconnect(k.make(6001)), "allocated"; }, true, "allocated",
         [](Names& n) { n[0].push_back(6001); }},
        // A record never written: destroying it needs no node page, so on
        // the full disk only the undo makes it raise.
        {"destroy", true, [](K k) { k.unstored = k.make(6002); },
         [](K k) -> std::string { return k.scene->destroy(k.unstored), "destroyed"; }, true, "destroyed", nullptr},
        {"shape_layer into the appended layer", true, nullptr,
         [](K k) -> std::string { return k.scene->shape_layer(k.handles[0], 3), "moved"; }, true,
         "raised Illegal layer number specified", nullptr},
        {"shape_layer of a loaded handle", true, nullptr,
         [](K k) { return std::to_string(k.scene->shape_layer(k.first_loaded)); }, true,
         "raised Shape handle not found", nullptr},
        // Layer 0's graphics, held, come first from its connected list
        // (no connect): the walk of its stored records that follows meets
        // only the load's, unless the undo was finished first.
        {"enumerate", true,
         [](K k) {
             for (auto g = k.scene->enumerate(0); g; ++g) k.held.push_back(*g);
         },
         [](K k) {
             std::vector<long> names;
             for (auto g = k.scene->enumerate(0); g; ++g) names.push_back(qvRectangle(*g)->user_handle());
             k.held.clear();
             return listed(names);
         },
         true, "1 2 3 ", nullptr},
        {"an enumeration live across the load", true, [](K k) { k.live = k.scene->enumerate(0); },
         [](K k) { return std::string((++k.live, k.live ? "yields" : "ended")); }, false, "ended", nullptr},
    };
    // What a row makes before the load changes the load's writes a little:
    // each row tries strikes from the one that kept the undo for the row
    // before it.
    long strike = 1;
    for (Row const& row : rows) {
        SCOPED_TRACE(row.operation);
        Names expected = earlier;
        {
            std::unique_ptr<Kept> made;
            for (int tries = 0;; ++tries) {
                ASSERT_LT(tries, 60) << "no load kept its undo";
                made = std::make_unique<Kept>(path, row.own_file, cache);
                made->next_stream = second;
                if (row.before != nullptr) row.before(*made);
                if (load(*made, strike)) break;
                lift();
                made.reset();
                strike = strike % 60 + 1;
            }
            Kept& kept = *made;
            const std::string table = kept.table();
            const std::string full = shown_by(kept, row);
            if (row.raises_on_full_disk)
                EXPECT_EQ(full.rfind("raised ", 0), 0u) << full;
            else
                EXPECT_EQ(full, row.shows);
            EXPECT_EQ(kept.table(), table);
            lift();
            EXPECT_EQ(shown_by(kept, row), row.shows);
            if (row.change != nullptr) row.change(expected);
            if (!row.own_file) {
                ASSERT_FALSE(kept.scene->is_open());
                std::vector<long> held;
                for (long handle = 1; handle < kept.tree->bound(); ++handle)
                    if (qvConstRecordPtr<qvHandleRecord>(*kept.tree, handle).held()) held.push_back(handle);
                EXPECT_EQ(held, kept.handles);
                continue;
            }
            EXPECT_EQ(shown(*kept.own, expected), "");
            EXPECT_TRUE(kept.own->close());
        }
        EXPECT_EQ(check(path, expected), "");
    }
}
