// What a stream load does to attributes, in the memory and the paged scene.
// Past failures: the stream's palette was read over the scene's, so shapes
// from before took the stream's colours, also after a load that raised; a
// record loaded over a palette the scene does not own took no reference;
// the road chosen by shapes, not the palette, read a style over.
#include <orvane/attributes/qvAttributeProxy.hpp>
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
#include <vector>

namespace {

enum class Kind { memory, paged };
using Colours = std::map<long, qvRgbColor>;   // by user handle
const qvRgbColor red(1.0f, 0.0f, 0.0f), green(0.0f, 1.0f, 0.0f);
const qvRgbColor first(0.25f, 0.5f, 0.75f), second(0.75f, 0.25f, 0.5f);
const qvRgbColor blue(0.0f, 0.0f, 1.0f), grey(0.5f, 0.5f, 0.5f);

qvRectangle add(qvContainerScene& scene, long name, qvRgbColor const& colour) {
    qvRectangle shape(scene, qvMathRectOf<double>(name, 2 * name, name + 3, 2 * name + 1));
    shape->user_handle(name);
    shape->fill_color(colour);
    return shape;
}

// Before a load: nothing; shape 1, or shapes 1 and 2; or a blue style alone.
enum class Before { nothing, one_shape, shapes, style };

// A one-layer scene of either kind over `palette` (null: one of its own).
struct Scene {
    Scene(Kind kind, Before before, qvPalette* palette = nullptr) {
        if (kind == Kind::memory) memory = std::make_unique<qvMemoryScene>(palette, false);
        else (paged = std::make_unique<qvPagedScene>(palette))->create(path.c_str(), 1, {0, 0, 1000, 1000}, 64 << 10);
        if (before == Before::one_shape || before == Before::shapes) add(**this, 1, first);
        if (before == Before::shapes) add(**this, 2, second);
        if (before == Before::style) (style = std::make_unique<qvSharedAttributeProxy>(**this, 0))->fill_color(blue);
    }
    qvContainerScene& operator*() const { return memory ? static_cast<qvContainerScene&>(*memory) : *paged; }
    qvContainerScene* operator->() const { return &**this; }
    void reopen() {   // the paged scene's file closed and read back
        if (!paged) return;
        paged->close();
        ASSERT_TRUE(paged->open(path.c_str(), 1 << 20, false));
    }
    qv_file_test::ScratchDir dir;
    std::string path = dir / "scene.pgf";
    std::unique_ptr<qvMemoryScene> memory;
    std::unique_ptr<qvPagedScene> paged;
    std::unique_ptr<qvSharedAttributeProxy> style;   // after the scene: goes first
};

Colours colours(qvContainerScene& scene) {
    Colours out;
    for (auto g = scene.enumerate(0); g; ++g) out[qvRectangle(*g)->user_handle()] = qvRectangle(*g)->fill_color();
    return out;
}

// Each attribute's count in the palette is the number of shapes of `scenes` on it.
void expect_counts_held(qvPalette& palette, std::initializer_list<qvContainerScene*> scenes) {
    std::map<long, long> counts, held;
    for (auto h = palette.enumerate(); h; ++h) counts[*h] = palette_test::simple_of(palette, *h, "ref_count");
    for (qvContainerScene* scene : scenes)
        for (auto g = scene->enumerate(0); g; ++g) ++held[qvRectangle(*g)->attribute_handle()];
    EXPECT_EQ(counts, held);
}

// An owned palette with a gap at handle 1, then shapes 11 red, 12 green and
// 13 on the attribute of 11, 14 and 15 on one shared grey attribute.
struct Stream {
    std::string bytes, palette;
    Stream() {
        qvMemoryScene source;
        const long gap = source.palette().alloc(false);
        qvRectangle eleven = add(source, 11, red);
        add(source, 12, green);
        qvRectangle(source, qvMathRectOf<double>(1, 2, 4, 3), eleven.operator->())->user_handle(13);
        {
            qvSharedAttributeProxy shared(source, 0);
            shared.fill_color(grey);
            for (long name : {14L, 15L})
                qvRectangle(source, qvMathRectOf<double>(name, 1, 20, 5), &shared)->user_handle(name);
        }
        source.palette().release(gap);
        bytes = scene_test::saved(source);
        palette = scene_test::saved(source.palette());
    }
};

long writes_seen = 0, strike = 0;
void fill_disk(orvane::platform::Call call, long long) noexcept {
    if (call == orvane::platform::Call::write && ++writes_seen >= strike)
        orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC);
}

}  // namespace

// An empty palette takes the stream's as written, handles and all; any
// other keeps what it holds, and the loaded shapes get copies (one per
// stream attribute, the shared one shared).
TEST(qvSceneLoadAttributes, A_load_keeps_the_colours_of_the_shapes_from_before_and_gives_loaded_shapes_the_streams) {
    const Stream stream;
    for (Kind kind : {Kind::memory, Kind::paged}) {
        for (Before before : {Before::nothing, Before::one_shape, Before::shapes, Before::style}) {
            SCOPED_TRACE(std::string(kind == Kind::memory ? "memory, " : "paged, ") + std::to_string(int(before)));
            Scene scene(kind, before);
            scene_test::load(*scene, stream.bytes);
            scene.reopen();
            Colours expected{{11, red}, {12, green}, {13, red}, {14, grey}, {15, grey}};
            if (before == Before::one_shape || before == Before::shapes) expected.insert({1, first});
            if (before == Before::shapes) expected.insert({2, second});
            EXPECT_EQ(colours(*scene), expected);
            if (before == Before::nothing) {
                EXPECT_EQ(scene_test::saved(scene->palette()), stream.palette);
                if (scene.memory) { EXPECT_EQ(scene_test::saved(*scene), stream.bytes); }
            }
            if (scene.style) {   // it goes: the loaded shapes hold their own
                EXPECT_EQ(scene.style->fill_color(), blue);
                scene.style.reset();
            }
            expect_counts_held(scene->palette(), {&*scene});
            std::map<long, long> handles;   // before each recolours: 15 keeps 14's first one
            for (auto g = scene->enumerate(0); g; ++g) {
                qvRectangle shape(*g);
                handles[shape->user_handle()] = shape->attribute_handle();
                shape->fill_color(expected[shape->user_handle()] = qvRgbColor(0.5f, 0.5f, 1.0f / shape->user_handle()));
            }
            EXPECT_EQ(colours(*scene), expected);
            EXPECT_EQ(handles[14], handles[15]);
            EXPECT_EQ(palette_test::simple_of(scene->palette(), handles[14], "is_shared"), 1);
        }
    }
}

// Cut in the palette, between it and the records, and among the records; or
// whole, with shape 12 naming an attribute its palette lacks or a negative
// one, or the first record (shape 11) a negative one (inputs 0 to 2), refused
// on every road.
TEST(qvSceneLoadAttributes, A_load_that_raises_leaves_the_palette_the_colours_and_the_counts_as_they_were) {
    const Stream stream;
    const std::size_t records = stream.palette.size() + 8;
    std::vector<std::string> inputs(3, stream.bytes);
    inputs[0].replace(records + 48 + 20, 4, scene_test::i32(9));
    inputs[1].replace(records + 48 + 20, 4, scene_test::i32(-1));
    inputs[2].replace(records + 20, 4, scene_test::i32(-1));
    for (std::size_t cut : {std::size_t{0}, stream.palette.size() / 2, stream.palette.size(), records,
                            records + 48 + 20, records + 2 * 48})
        inputs.push_back(stream.bytes.substr(0, cut));
    for (Kind kind : {Kind::memory, Kind::paged}) {
        for (bool holding : {true, false}) {
            for (std::size_t input = 0; input < inputs.size(); ++input) {
                SCOPED_TRACE(std::string(kind == Kind::memory ? "memory, " : "paged, ") + (holding ? "" : "empty, ") +
                             std::to_string(input));
                Scene scene(kind, holding ? Before::shapes : Before::nothing);
                const std::string palette = scene_test::saved(scene->palette());
                const auto load = [&] { scene_test::load(*scene, inputs[input]); };
                if (input < 3)
                    palette_test::expect_raises<qvErrorFrom<qvInputStream>>(load, "Invalid attribute handle on input");
                else
                    EXPECT_THROW(load(), qvErrorFrom<qvInputStream>);
                scene.reopen();
                EXPECT_EQ(scene_test::saved(scene->palette()), palette);
                EXPECT_EQ(colours(*scene), holding ? (Colours{{1, first}, {2, second}}) : Colours{});
            }
        }
    }
}

// Every write fails from the strike-th of the load on; at one strike the
// load's undo is left for the next operation.
TEST(qvSceneLoadAttributes, A_paged_load_on_a_full_disk_leaves_the_palette_as_it_was_before_its_undo_is_finished) {
    qvMemoryScene source;   // 20,000 records on attributes 1 and 2
    const long id = add(source, 11, red)->proxy_class_id();
    add(source, 12, green);
    for (long name = 13; name < 20000; ++name) {
        const float x = static_cast<float>(name % 97) * 10, y = static_cast<float>(name % 89) * 11;
        source.connect(scene_test::add(source, name, {x, y, x + 2, y + 3}, id))->attribute_handle = 1 + name % 2;
    }
    const std::string bytes = scene_test::saved(source);
    int pending = 0;
    for (long at : {1L, 30L}) {
        Scene scene(Kind::paged, Before::shapes);
        const std::string palette = scene_test::saved(scene->palette());
        scene.paged->load_batch_bytes(16 << 10);
        writes_seen = 0;
        strike = at;
        orvane::platform::observe_calls(fill_disk);
        EXPECT_THROW(scene_test::load(*scene, bytes), qvError);
        pending += scene.paged->layers()[0].size > 2;
        EXPECT_EQ(scene_test::saved(scene->palette()), palette);
        orvane::platform::observe_calls(nullptr);
        orvane::platform::clear_failures();
        scene.reopen();
        EXPECT_EQ(scene_test::saved(scene->palette()), palette);
        EXPECT_EQ(colours(*scene), (Colours{{1, first}, {2, second}}));
    }
    EXPECT_EQ(pending, 1);
}

// Scenes A and B on one palette that neither owns; A's red rectangle is
// saved and loaded into B. A stream from another palette names an attribute
// this one lacks.
TEST(qvSceneLoadAttributes, A_record_loaded_over_a_shared_palette_holds_its_own_reference_on_an_attribute_it_has) {
    qvStandardPalette other;
    qvMemoryScene elsewhere(&other, false);
    add(elsewhere, 1, red);
    add(elsewhere, 2, green);
    for (bool matching : {false, true}) {
        for (Kind kind : {Kind::memory, Kind::paged}) {
            SCOPED_TRACE(std::string(matching ? "matching, " : "standard, ") +
                         (kind == Kind::memory ? "memory" : "paged"));
            const std::unique_ptr<qvPalette> palette(matching ? static_cast<qvPalette*>(new qvMatchingPalette)
                                                              : new qvStandardPalette);
            qvMemoryScene a(palette.get(), false);
            add(a, 1, red);
            Scene b(kind, Before::nothing, palette.get());
            palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
                [&] { scene_test::load(*b, scene_test::saved(elsewhere)); }, "Invalid attribute handle on input");
            expect_counts_held(*palette, {&a});
            scene_test::load(*b, scene_test::saved(a));
            expect_counts_held(*palette, {&a, &*b});
            qvRectangle copy(*b->enumerate(0));
            copy->fill_color(0.0f, 0.0f, 1.0f);
            copy->disconnect_attribute();
            add(a, 2, green);
            EXPECT_EQ(colours(a), (Colours{{1, red}, {2, green}}));
            expect_counts_held(*palette, {&a});
        }
    }
}
