// Attribute writes through shapes of a read-only scene are refused before
// the palette takes them. They used to be refused after it: a refused colour
// stayed, a shared attribute lost a reference to a private copy, a refused
// disconnect released the attribute its record still named.

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvFileTestSupport.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace attribute_object_test;
using Refused = qvErrorFrom<qvSingleShapeProxyBase>;

char const* const read_only = "Attempt to modify a read-only scene";
char const* const no_room = "No room for another record";
char const* const fill = "brush/color_device/color";
const qvRgbColor teal(0.0f, 0.5f, 0.5f), plum(0.6f, 0.2f, 0.6f), coral(0.9f, 0.5f, 0.3f), olive(0.5f, 0.5f, 0.0f);

// A memory scene that fails every new record while `fail` is set.
struct FailingScene : qvMemoryScene {
    explicit FailingScene(qvPalette* palette) : qvMemoryScene(palette, false) {}
    qvShapeBase* allocate(int size, qvShapeBase* old) override {
        if (fail && old == nullptr)
            qvRaise(qvErrorFrom<qvMemoryScene>(no_room));
        return qvMemoryScene::allocate(size, old);
    }
    bool fail = false;
};

enum { alone, first, second, named };

// Four rectangles: `alone` in teal, `first` and `second` sharing plum,
// `named` in coral named "lone" (the name holds a reference too).
struct Site {
    explicit Site(bool paged) : scene(paged ? static_cast<qvContainerScene&>(file) : memory) {
        if (paged)
            file.create(path.c_str(), qvMathRectOf<double>(qvRectOf<double>(0, 0, 100, 100)), 1 << 20);
        for (int k = 0; k < 4; ++k)
            shapes[k] = qvRectangle(scene, qvMathRectOf<double>(qvRectOf<double>(10 * k, 1, 10 * k + 2, 3)))->shape_handle();
        shape(alone)->fill_color(teal);
        shape(first)->fill_color(plum);
        shape(second)->connect_attribute(*shape(first));
        shape(named)->fill_color(coral);
        shape(named)->attribute_name("lone");
    }
    qvRectangle shape(int k) { return qvRectangle(scene, shapes[k]); }
    // No proxy may be alive: those connected from now on take the new state.
    void set_read_only(bool on) {
        if (&scene == &memory)
            return memory.read_only(on);
        file.close();
        ASSERT_TRUE(file.open(path.c_str(), 1 << 20, on));
    }

    qvStandardPalette standard;
    FailingScene memory{&standard};
    qv_file_test::ScratchDir dir;
    std::string path = dir / "shapes.pgf";
    qvMatchingPalette matching{nullptr};
    qvPagedScene file{&matching};
    qvContainerScene& scene;
    long shapes[4] = {};
};

// The palette's stream (every value, count and name) and each record's attribute.
std::string state(Site& site) {
    std::string out = palette_test::saved(site.scene.palette());
    for (int k = 0; k < 4; ++k) out += "; " + std::to_string(site.shape(k)->attribute_handle());
    return out;
}

using P = qvRectangleProxy;

const struct {
    char const* what;
    int target;
    std::function<void(Site&, P&)> call;
} refused_writes[] = {
    {"fill colour alone", alone, [](Site&, P& r) { r.fill_color(olive); }},
    {"fill colour shared", first, [](Site&, P& r) { r.fill_color(olive); }},
    {"copy_folder", first, [](Site& s, P& r) { r.copy_folder(s.shape(alone)->attribute_handle(), folder(fill)); }},
    {"destroy_folder", alone, [](Site&, P& r) { r.destroy_folder(folder(fill)); }},
    {"disconnect alone", alone, [](Site&, P& r) { r.disconnect_attribute(); }},
    {"disconnect shared", first, [](Site&, P& r) { r.disconnect_attribute(); }},
    {"attribute_name given", first, [](Site&, P& r) { r.attribute_name("pair"); }},
    {"attribute_name taken", alone, [](Site&, P& r) { r.attribute_name("lone"); }},
    {"attribute_name removed", named, [](Site&, P& r) { r.attribute_name(nullptr); }},
    {"connect_attribute by name", first, [](Site&, P& r) { r.connect_attribute("lone"); }},
    {"connect_attribute to a holder", alone, [](Site& s, P& r) { r.connect_attribute(*s.shape(first)); }},
};

}  // namespace

TEST(qvReadOnlyAttributeWrites, A_refused_write_leaves_palette_counts_names_and_records_as_they_were) {
    for (bool paged : {false, true}) {
        for (auto const& write : refused_writes) {
            SCOPED_TRACE(std::string(paged ? "paged file: " : "memory scene: ") + write.what);
            Site site(paged);
            const std::string before = state(site);
            site.set_read_only(true);
            expect_raises<Refused>([&] { write.call(site, *site.shape(write.target)); }, read_only);
            // Not refused: connects to the attribute shared, and into a writable scene.
            EXPECT_NO_THROW(site.shape(second)->connect_attribute(*site.shape(first)));
            qvMemoryScene elsewhere;
            EXPECT_EQ(qvRectangle(elsewhere, 0, 0, 1, 1, site.shape(first).get())->fill_color(), plum);
            EXPECT_EQ(state(site), before);
            // Writable again, each shape takes a colour of its own: the shared
            // attribute still counts both holders, every record names a live one.
            site.set_read_only(false);
            const qvRgbColor colours[] = {olive, coral, teal, plum};
            for (int k = 0; k < 4; ++k) EXPECT_NO_THROW(site.shape(k)->fill_color(colours[k])) << k;
            for (int k = 0; k < 4; ++k) EXPECT_EQ(site.shape(k)->fill_color(), colours[k]) << k;
        }
    }
}

// A connect to a shape whose record names an attribute the palette lacks
// used to let the shape's own go first: attribute 0, and one held alone gone.
TEST(qvReadOnlyAttributeWrites, A_connect_to_an_attribute_the_palette_lacks_leaves_the_shape_on_its_own) {
    for (bool paged : {false, true}) {
        for (int target : {alone, first, named}) {
            SCOPED_TRACE(std::string(paged ? "paged file, shape " : "memory scene, shape ") + std::to_string(target));
            Site site(paged);
            qvRectangle stray(site.scene, qvMathRectOf<double>(qvRectOf<double>(50, 1, 52, 3)));
            stray->attr_handle(999);
            const std::string before = state(site);
            EXPECT_EQ(qvRaisedText([&] { site.shape(target)->connect_attribute(*stray); }),
                      "Illegal attribute handle specified");
            EXPECT_EQ(state(site), before);
            stray->attr_handle(0);
        }
    }
}

// A proxy without a record takes its first attribute before the record
// exists: a scene turned read-only since it connected is refused first, and
// a record the scene fails to make for another reason gives the attribute back.
TEST(qvReadOnlyAttributeWrites, A_first_attribute_the_scene_has_no_record_for_leaves_the_palette_as_it_was) {
    Site site(false);
    const std::string before = state(site);
    const std::function<void(P&)> calls[] = {
        [](P& r) { r.fill_color(olive); },
        [](P& r) { r.connect_attribute("lone"); },
        [](P& r) { r.attribute_name("lone"); },   // takes the name: refused rows only
    };
    for (int row = 0; row < 5; ++row) {
        const bool refused = row < 3;
        qvRectangle empty(site.scene);
        site.memory.read_only(refused);
        site.memory.fail = !refused;
        EXPECT_EQ(qvRaisedText([&] { calls[row % 3](*empty); }), refused ? read_only : no_room) << row;
        site.memory.read_only(false);
        EXPECT_EQ(state(site), before) << row;
    }
    // A first connect by a name no attribute has finds none, and does not raise.
    site.memory.fail = false;
    EXPECT_FALSE(qvRectangle(site.scene, 0, 0, 1, 1)->connect_attribute("none"));
}
