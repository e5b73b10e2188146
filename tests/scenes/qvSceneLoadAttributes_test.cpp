// What a stream load does to attributes, in the memory and the paged scene.
// Past failures: the stream's palette was read over the scene's, so shapes
// from before took the stream's colours, also after a load that raised; a
// record loaded over a palette the scene does not own took no reference;
// the road was chosen by the scene's shapes, so a style made before the
// load was read over, and a record of a palette read over was not checked.
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

// What the palette of a scene holds before a load: nothing; the attributes
// of shape 1, or of shapes 1 and 2; or no shape's: a blue style (handle 1),
// or a blue attribute held by its name "mine" alone.
enum class Before { nothing, one_shape, shapes, style, name };

// A one-layer scene of either kind over `palette` (null: one of its own).
struct Scene {
    Scene(Kind kind, Before before, qvPalette* palette = nullptr) {
        if (kind == Kind::memory) memory = std::make_unique<qvMemoryScene>(palette, false);
        else (paged = std::make_unique<qvPagedScene>(palette))->create(path.c_str(), 1, {0, 0, 1000, 1000}, 64 << 10);
        if (before == Before::one_shape || before == Before::shapes) add(**this, 1, first);
        if (before == Before::shapes) add(**this, 2, second);
        if (before == Before::style) (style = std::make_unique<qvSharedAttributeProxy>(**this, 0))->fill_color(blue);
        if (before == Before::name) {
            qvAttributeProxy named(**this, 0);
            named.fill_color(blue);
            named.attribute_name("mine");
        }
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

// Per attribute, its count in the palette less the shapes of `scenes` on
// it: the attributes where the two differ.
std::map<long, long> unheld(qvPalette& palette, std::initializer_list<qvContainerScene*> scenes) {
    std::map<long, long> out;
    for (auto h = palette.enumerate(); h; ++h) out[*h] += palette_test::simple_of(palette, *h, "ref_count");
    for (qvContainerScene* scene : scenes)
        for (auto g = scene->enumerate(0); g; ++g) --out[qvRectangle(*g)->attribute_handle()];
    std::erase_if(out, [](auto const& entry) { return entry.second == 0; });
    return out;
}

// Each attribute's count in the palette is the number of shapes of `scenes` on it.
void expect_counts_held(qvPalette& palette, std::initializer_list<qvContainerScene*> scenes) {
    EXPECT_EQ(unheld(palette, scenes), (std::map<long, long>{}));
}

// An owned palette, then shapes 11 red, 12 green (named "green") and 13 on
// the attribute of 11, 14 and 15 on one shared grey attribute; a gap at
// handle 1 and an attribute no shape holds (attributes 2 to 5).
struct Stream {
    std::string bytes, palette;
    std::map<long, long> spare;   // the name's reference and the unused attribute
    Stream() {
        qvMemoryScene source;
        const long gap = source.palette().alloc(false);
        {
            qvRectangle eleven = add(source, 11, red);
            add(source, 12, green)->attribute_name("green");
            qvRectangle(source, qvMathRectOf<double>(1, 2, 4, 3), eleven.operator->())->user_handle(13);
            qvSharedAttributeProxy shared(source, 0);
            shared.fill_color(grey);
            for (long name : {14L, 15L})
                qvRectangle(source, qvMathRectOf<double>(name, 1, 20, 5), &shared)->user_handle(name);
        }
        source.palette().alloc(false);
        source.palette().release(gap);
        bytes = scene_test::saved(source);
        palette = scene_test::saved(source.palette());
        spare = unheld(source.palette(), {&source});
    }
    // The bytes with the attribute of the second record replaced.
    std::string naming(std::int32_t attribute) const {
        return std::string(bytes).replace(palette.size() + 8 + 48 + 20, 4, scene_test::i32(attribute));
    }
};
const Colours loaded{{11, red}, {12, green}, {13, red}, {14, grey}, {15, grey}};

long writes_seen = 0, strike = 0;
void fill_disk(orvane::platform::Call call, long long) noexcept {
    if (call == orvane::platform::Call::write && ++writes_seen >= strike)
        orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC);
}

}  // namespace

// A scene whose palette holds no attribute takes the stream's palette as
// written: names, unused attributes and handle numbers. One whose palette
// holds any, of shapes or not, keeps them all, and the loaded shapes get
// copies (one per stream attribute, the shared one shared).
TEST(qvSceneLoadAttributes, A_load_keeps_the_colours_of_the_shapes_from_before_and_gives_loaded_shapes_the_streams) {
    const Stream stream;
    for (Kind kind : {Kind::memory, Kind::paged}) {
        for (Before before : {Before::nothing, Before::one_shape, Before::shapes, Before::style, Before::name}) {
            SCOPED_TRACE(std::string(kind == Kind::memory ? "memory, " : "paged, ") + std::to_string(int(before)));
            Scene scene(kind, before);
            scene_test::load(*scene, stream.bytes);
            scene.reopen();
            Colours expected = loaded;
            if (before == Before::one_shape || before == Before::shapes) expected.insert({1, first});
            if (before == Before::shapes) expected.insert({2, second});
            EXPECT_EQ(colours(*scene), expected);
            qvPalette& palette = scene->palette();
            std::map<long, long> unheld_before;
            if (before == Before::nothing) {
                EXPECT_EQ(scene_test::saved(palette), stream.palette);
                if (scene.memory) { EXPECT_EQ(scene_test::saved(*scene), stream.bytes); }
                unheld_before = stream.spare;
            }
            if (before == Before::name) {
                unheld_before = {{palette.handle("mine"), 1}};
                EXPECT_EQ(qvAttributeProxy(palette, palette.handle("mine")).fill_color(), blue);
            }
            if (before == Before::style) {   // the style goes: the loaded shapes hold their own
                EXPECT_EQ(unheld(palette, {&*scene}), (std::map<long, long>{{1, 1}}));
                EXPECT_EQ(scene.style->attribute_handle(), 1);
                EXPECT_EQ(scene.style->fill_color(), blue);
                scene.style->fill_color(green);
                EXPECT_EQ(colours(*scene), expected);
                scene.style.reset();
            }
            EXPECT_EQ(unheld(palette, {&*scene}), unheld_before);
            std::map<long, long> handles;   // before each recolours: 15 keeps 14's first one
            for (auto g = scene->enumerate(0); g; ++g) {
                qvRectangle shape(*g);
                handles[shape->user_handle()] = shape->attribute_handle();
                shape->fill_color(expected[shape->user_handle()] = qvRgbColor(0.5f, 0.5f, 1.0f / shape->user_handle()));
            }
            EXPECT_EQ(colours(*scene), expected);
            EXPECT_EQ(handles[14], handles[15]);
            EXPECT_EQ(palette_test::simple_of(palette, handles[14], "is_shared"), 1);
            add(*scene, 99, expected[99] = qvRgbColor(0.0f, 1.0f, 1.0f));   // a new attribute
            EXPECT_EQ(colours(*scene), expected);
        }
    }
}

// Cut in the palette, between it and the records, and among the records; or
// whole, with shape 12 naming an attribute its palette lacks or a negative
// handle: refused on every road, the one that reads the palette over too.
TEST(qvSceneLoadAttributes, A_load_that_raises_leaves_the_palette_the_colours_and_the_counts_as_they_were) {
    const Stream stream;
    const std::size_t records = stream.palette.size() + 8;
    std::vector<std::string> inputs{stream.naming(9), stream.naming(-1)};
    for (std::size_t cut : {std::size_t{0}, stream.palette.size() / 2, stream.palette.size(), records,
                            records + 48 + 20, records + 2 * 48})
        inputs.push_back(stream.bytes.substr(0, cut));
    for (Kind kind : {Kind::memory, Kind::paged}) {
        for (Before before : {Before::nothing, Before::shapes, Before::style}) {
            for (std::size_t input = 0; input < inputs.size(); ++input) {
                SCOPED_TRACE(std::string(kind == Kind::memory ? "memory, " : "paged, ") +
                             std::to_string(int(before)) + ", " + std::to_string(input));
                Scene scene(kind, before);
                const std::string palette = scene_test::saved(scene->palette());
                if (input < 2) {
                    palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
                        [&] { scene_test::load(*scene, inputs[input]); }, "Invalid attribute handle on input");
                } else {
                    EXPECT_THROW(scene_test::load(*scene, inputs[input]), qvError);   // a cut string: qvString's
                }
                scene.reopen();
                EXPECT_EQ(scene_test::saved(scene->palette()), palette);
                EXPECT_EQ(colours(*scene), before == Before::shapes ? (Colours{{1, first}, {2, second}}) : Colours{});
                if (scene.style) { EXPECT_EQ(scene.style->fill_color(), blue); }
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
            std::string negative = scene_test::saved(a);
            negative.replace(8 + 20, 4, scene_test::i32(-1));
            for (std::string const& refused : {scene_test::saved(elsewhere), negative}) {
                palette_test::expect_raises<qvErrorFrom<qvInputStream>>(
                    [&] { scene_test::load(*b, refused); }, "Invalid attribute handle on input");
                expect_counts_held(*palette, {&a});
            }
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
