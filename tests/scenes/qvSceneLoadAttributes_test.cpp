// What a stream load does to attributes, in the memory and the paged scene.
// Loaded into a scene that holds coloured shapes, the stream's palette used
// to be read over the scene's, so the shapes from before took the colours
// of the stream's first shapes, also after a load that raised; loaded over
// a palette the scene does not own, the records took no reference, so an
// edit or a disconnect of a loaded copy reached the original's attribute.
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "platform/qvPlatformFault.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <memory>
#include <string>

namespace {

enum class Kind { memory, paged };
using Colours = std::map<long, qvRgbColor>;   // by user handle
using Counts = std::map<long, long>;          // attribute handle -> references

const qvRgbColor red(1.0f, 0.0f, 0.0f), green(0.0f, 1.0f, 0.0f);
const qvRgbColor first(0.25f, 0.5f, 0.75f), second(0.75f, 0.25f, 0.5f);

// A one-layer scene of either kind over `palette` (null: one of its own).
class Scene {
public:
    explicit Scene(Kind kind, qvPalette* palette = nullptr) {
        if (kind == Kind::memory) {
            memory_ = std::make_unique<qvMemoryScene>(palette, false);
        } else {
            paged_ = std::make_unique<qvPagedScene>(palette);
            paged_->create(path_.c_str(), 1, qvMathRectOf<double>(0, 0, 1000, 1000), 64 << 10);
        }
    }
    qvContainerScene& operator*() const { return memory_ ? static_cast<qvContainerScene&>(*memory_) : *paged_; }
    qvPagedScene& paged() const { return *paged_; }
    // The paged scene is closed and read back from its file.
    void reopen() {
        if (!paged_) return;
        paged_->close();
        ASSERT_TRUE(paged_->open(path_.c_str(), 1 << 20, false));
    }

private:
    qv_file_test::ScratchDir dir_;
    std::string path_ = dir_ / "scene.pgf";
    std::unique_ptr<qvMemoryScene> memory_;
    std::unique_ptr<qvPagedScene> paged_;
};

qvRectangle add(qvContainerScene& scene, long name, qvRgbColor const& colour) {
    qvRectangle shape(scene, qvMathRectOf<double>(name, 2 * name, name + 3, 2 * name + 1));
    shape->user_handle(name);
    shape->fill_color(colour);
    return shape;
}

Colours colours(qvContainerScene& scene) {
    Colours out;
    for (auto g = scene.enumerate(0); g; ++g) {
        qvRectangle shape(*g);
        out[shape->user_handle()] = shape->fill_color();
    }
    return out;
}

// How many shapes of the scenes name each attribute, and what the palette
// counts: a shape holds one reference.
Counts held(std::initializer_list<qvContainerScene*> scenes) {
    Counts out;
    for (qvContainerScene* scene : scenes)
        for (auto g = scene->enumerate(0); g; ++g) ++out[qvRectangle(*g)->attribute_handle()];
    return out;
}
Counts counts(qvPalette& palette) {
    Counts out;
    for (auto h = palette.enumerate(); h; ++h)
        out[*h] = *static_cast<std::int32_t const*>(palette.property(*h, palette_test::folder("ref_count")));
    return out;
}

// The stream of an owned palette and shapes 11 red, 12 green and 13 on the
// attribute of 11 (attributes 1 and 2); the palette takes `palette_bytes`.
struct Stream {
    std::string bytes;
    std::size_t palette_bytes;
    Stream() {
        qvMemoryScene source;
        qvRectangle eleven = add(source, 11, red);
        add(source, 12, green);
        qvRectangle(source, qvMathRectOf<double>(1, 2, 4, 3), eleven.operator->())->user_handle(13);
        bytes = scene_test::saved(source);
        palette_bytes = scene_test::saved(source.palette()).size();
    }
};

// A scene of its own palette holding shapes 1 and 2 (attributes 1 and 2).
std::unique_ptr<Scene> coloured(Kind kind) {
    auto scene = std::make_unique<Scene>(kind);
    add(**scene, 1, first);
    add(**scene, 2, second);
    return scene;
}

long writes_seen = 0, strike = 0;
void fill_disk(orvane::platform::Call call, long long) noexcept {
    if (call == orvane::platform::Call::write && ++writes_seen >= strike)
        orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC);
}

}  // namespace

TEST(qvSceneLoadAttributes, A_load_keeps_the_colours_of_the_shapes_from_before_and_gives_loaded_shapes_the_streams) {
    const Stream stream;
    for (Kind kind : {Kind::memory, Kind::paged}) {
        SCOPED_TRACE(kind == Kind::memory ? "memory" : "paged");
        const auto scene = coloured(kind);
        scene_test::load(**scene, stream.bytes);
        scene->reopen();
        EXPECT_EQ(colours(**scene), (Colours{{1, first}, {2, second}, {11, red}, {12, green}, {13, red}}));
        EXPECT_EQ(counts((**scene).palette()), held({&**scene}));
        Colours set;
        for (auto g = (**scene).enumerate(0); g; ++g) {
            qvRectangle shape(*g);
            shape->fill_color(set[shape->user_handle()] = qvRgbColor(0.5f, shape->user_handle() / 16.0f, 0.125f));
        }
        EXPECT_EQ(colours(**scene), set);
    }
}

// Cut in the palette, between it and the records, and among the records;
// or whole, with shape 12 naming an attribute its palette lacks.
TEST(qvSceneLoadAttributes, A_load_that_raises_leaves_the_palette_the_colours_and_the_counts_as_they_were) {
    const Stream stream;
    const std::size_t records = stream.palette_bytes + 8;
    std::string damaged = stream.bytes;
    damaged.replace(records + 48 + 20, 4, scene_test::i32(9));
    for (Kind kind : {Kind::memory, Kind::paged}) {
        for (std::string const& bytes :
             {stream.bytes.substr(0, stream.palette_bytes / 2), stream.bytes.substr(0, stream.palette_bytes),
              stream.bytes.substr(0, records), stream.bytes.substr(0, records + 48 + 20),
              stream.bytes.substr(0, records + 2 * 48), damaged}) {
            SCOPED_TRACE((kind == Kind::memory ? "memory, " : "paged, ") + std::to_string(bytes.size()) + " bytes");
            const auto scene = coloured(kind);
            const std::string palette = scene_test::saved((**scene).palette());
            EXPECT_THROW(scene_test::load(**scene, bytes), qvErrorFrom<qvInputStream>);
            EXPECT_EQ(scene_test::saved((**scene).palette()), palette);
            scene->reopen();
            EXPECT_EQ(scene_test::saved((**scene).palette()), palette);
            EXPECT_EQ((**scene).size(-1), 2);
            EXPECT_EQ(colours(**scene), (Colours{{1, first}, {2, second}}));
            EXPECT_EQ(counts((**scene).palette()), held({&**scene}));
        }
    }
}

// Every write fails from the strike-th of the load on: the load raises,
// once with its undo left for the next operation.
TEST(qvSceneLoadAttributes, A_paged_load_on_a_full_disk_leaves_the_palette_as_it_was_before_its_undo_is_finished) {
    qvMemoryScene source;   // 20,000 records on attributes 1 and 2
    add(source, 11, red);
    add(source, 12, green);
    const long id = qvRectangle(*source.enumerate(0))->proxy_class_id();
    for (long name = 13; name < 20000; ++name) {
        const float x = static_cast<float>(name % 97) * 10, y = static_cast<float>(name % 89) * 11;
        source.connect(scene_test::add(source, name, {x, y, x + 2, y + 3}, id))->attribute_handle = 1 + name % 2;
    }
    const std::string stream = scene_test::saved(source);
    int pending = 0;
    for (long at : {1L, 30L}) {
        const auto scene = coloured(Kind::paged);
        qvPagedScene& paged = scene->paged();
        const std::string palette = scene_test::saved(paged.palette());
        paged.load_batch_bytes(16 << 10);
        writes_seen = 0;
        strike = at;
        orvane::platform::observe_calls(fill_disk);
        EXPECT_THROW(scene_test::load(paged, stream), qvError);
        pending += paged.layers()[0].size > 2;
        EXPECT_EQ(scene_test::saved(paged.palette()), palette);
        orvane::platform::observe_calls(nullptr);
        orvane::platform::clear_failures();
        scene->reopen();
        EXPECT_EQ(scene_test::saved(paged.palette()), palette);
        EXPECT_EQ(colours(paged), (Colours{{1, first}, {2, second}}));
        EXPECT_EQ(counts(paged.palette()), held({&paged}));
    }
    EXPECT_EQ(pending, 1);
}

// Loaded into an empty scene the stream's palette is taken as written,
// attribute handles and all.
TEST(qvSceneLoadAttributes, A_load_into_an_empty_scene_takes_the_streams_palette_and_a_cut_one_leaves_the_scenes) {
    const Stream stream;
    for (Kind kind : {Kind::memory, Kind::paged}) {
        SCOPED_TRACE(kind == Kind::memory ? "memory" : "paged");
        Scene scene(kind);
        const std::string empty = scene_test::saved((*scene).palette());
        EXPECT_THROW(scene_test::load(*scene, stream.bytes.substr(0, stream.bytes.size() - 1)), qvError);
        EXPECT_EQ(scene_test::saved((*scene).palette()), empty);
        scene_test::load(*scene, stream.bytes);
        scene.reopen();
        EXPECT_EQ(scene_test::saved((*scene).palette()), stream.bytes.substr(0, stream.palette_bytes));
        EXPECT_EQ(held({&*scene}), (Counts{{1, 2}, {2, 1}}));
        if (kind == Kind::memory) {
            EXPECT_EQ(scene_test::saved(*scene), stream.bytes);
        }
    }
}

// Scenes A and B on one palette that neither owns; A's red rectangle is
// saved and loaded into B. A stream from a scene over another palette
// names attributes this one lacks.
TEST(qvSceneLoadAttributes, A_record_loaded_over_a_shared_palette_holds_its_own_reference_on_an_attribute_it_has) {
    qvStandardPalette other;
    qvMemoryScene elsewhere(&other, false);
    add(elsewhere, 1, red);
    add(elsewhere, 2, green);
    for (bool matching : {false, true}) {
        for (Kind kind : {Kind::memory, Kind::paged}) {
            SCOPED_TRACE(std::string(matching ? "matching, " : "standard, ") +
                         (kind == Kind::memory ? "memory" : "paged"));
            std::unique_ptr<qvPalette> palette;
            if (matching) palette = std::make_unique<qvMatchingPalette>();
            else palette = std::make_unique<qvStandardPalette>();
            qvMemoryScene a(palette.get(), false);
            add(a, 1, red);
            Scene b(kind, palette.get());
            palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
                [&] { scene_test::load(*b, scene_test::saved(elsewhere)); }, "Invalid attribute handle on input");
            EXPECT_EQ(counts(*palette), held({&a}));
            scene_test::load(*b, scene_test::saved(a));
            EXPECT_EQ(counts(*palette), held({&a, &*b}));
            {
                qvRectangle copy(*(*b).enumerate(0));
                copy->fill_color(0.0f, 0.0f, 1.0f);
                copy->disconnect_attribute();
            }
            add(a, 2, green);
            EXPECT_EQ(colours(a), (Colours{{1, red}, {2, green}}));
            EXPECT_EQ(counts(*palette), held({&a}));
        }
    }
}
