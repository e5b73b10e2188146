// Attribute writes through shapes of a read-only scene are refused before
// the palette takes them. They used to be refused after it: a refused colour
// stayed, a shared attribute lost a reference to a private copy, a refused
// disconnect released the attribute its record still named. The same writes
// meet a receiver of the scene that raises in a report.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/shapes/qvArc.hpp>
#include <orvane/shapes/qvBezier.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPieSlice.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"
#include "qvFileTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvRaisedText.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

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
        scene.insert_layer(1);
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

struct Write {
    char const* what;
    int target;
    std::function<void(Site&, P&)> call;
};

const Write refused_writes[] = {
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
    {"connect_attribute by name alone", alone, [](Site&, P& r) { r.connect_attribute("lone"); }},
    {"connect_attribute shared to another", first, [](Site& s, P& r) { r.connect_attribute(*s.shape(alone)); }},
    {"fill colour alone, equal to the shared one", alone, [](Site&, P& r) { r.fill_color(plum); }},
    {"line width shared", second, [](Site&, P& r) { r.line_width(3.0); }},
    {"list write, first member shared", first,
     [](Site& s, P&) { qvGraphicList l; l->add(s.shape(first)); l->add(s.shape(alone)); l->fill_color(olive); }},
};

const Write layer_changes[] = {
    {"layer change", alone, [](Site& s, P& r) { s.scene.shape_layer(r.shape_handle(), 1); }},
    {"layer change, not connected", second, [](Site& s, P&) { s.scene.shape_layer(s.shapes[alone], 1); }},
};

// Every count equals its holders (records, a name), no record names an
// attribute the palette lacks, each shape is listed and counted in one layer.
void expect_sound(Site& site) {
    qvPalette& palette = site.scene.palette();
    std::map<long, int> holders;
    int in_layer[2] = {};
    for (int k = 0; k < 4; ++k) {
        if (const long h = site.shape(k)->attribute_handle()) ++holders[h];
        ++in_layer[site.scene.shape_layer(site.shapes[k])];
    }
    for (auto it = palette.enumerate(); it; holders.erase(*it), ++it)
        EXPECT_EQ(count_of(palette, *it), holders[*it] + (palette.name(*it) != nullptr ? 1 : 0)) << *it;
    EXPECT_TRUE(holders.empty());
    for (int layer = 0; layer < 2; ++layer) {
        int listed = 0;
        for (auto it = site.scene.enumerate(layer); it; ++it) ++listed;
        EXPECT_EQ(listed, in_layer[layer]);
        EXPECT_EQ(site.scene.size(layer), in_layer[layer]);
    }
}

// The receiver raises at its n-th report from now: a qvError, or bad_alloc.
void raise_at(qvRecordingReceiver<qvMathRectOf<double>>& receiver, int n, bool out_of_memory) {
    receiver.on_next_event([&receiver, n, out_of_memory] {
        if (n > 1) return raise_at(receiver, n - 1, out_of_memory);
        if (out_of_memory) throw std::bad_alloc();
        qvRaise(qvErrorFrom<Site>("Receiver refuses the report"));
    });
}

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
    // A first connect by a name no attribute has finds none and does not
    // raise; it holds "none" as any change does, so a new rectangle stays in
    // the scene, and one without a record yet gets one there.
    site.memory.fail = false;
    const int shapes = site.scene.size(0);
    for (qvRectangle made : {qvRectangle(site.scene, 0, 0, 1, 1), qvRectangle(site.scene)}) {
        EXPECT_FALSE(made->connect_attribute("none"));
        EXPECT_EQ(made->attribute_handle(), 0);
    }
    EXPECT_EQ(site.scene.size(0), shapes + 2);
    EXPECT_EQ(state(site), before);
}

// A receiver that raised at the opening report used to leave a shape naming
// an attribute its palette no longer held, or a shared count one short; a
// paged layer change left the shape out of every layer. Connects and
// disconnects refused there change nothing; a raise at the closing report
// leaves the change whole. Either way counts, layers and files hold.
TEST(qvReadOnlyAttributeWrites, A_receiver_raising_in_a_report_leaves_counts_layers_and_files_sound) {
    std::vector<Write> roads(std::begin(refused_writes), std::end(refused_writes));
    roads.insert(roads.end(), std::begin(layer_changes), std::end(layer_changes));
    for (bool paged : {false, true})
        for (Write const& write : roads)
            for (int report : {1, 2}) {
                const bool out_of_memory = (report + (paged ? 1 : 0)) % 2 == 0;
                SCOPED_TRACE(std::string(paged ? "paged: " : "memory: ") + write.what + ", report " + std::to_string(report));
                Site site(paged);
                const std::string before = state(site);
                qvNotificationLog log;
                qvRecordingReceiver<qvMathRectOf<double>> receiver("rect", log);
                receiver.connect(site.scene.rect_sender());
                raise_at(receiver, report, out_of_memory);
                std::optional<qvRectangle> target = site.shape(write.target);   // connected while checked
                const long held = (*target)->attribute_handle();
                const qvRgbColor colour = (*target)->fill_color();
                std::string raised = "nothing";
                try {
                    write.call(site, **target);
                } catch (std::bad_alloc const&) {
                    raised = "bad_alloc";
                } catch (qvError const& error) {
                    raised = static_cast<char const*>(error);
                }
                receiver.on_next_event(nullptr);
                if (report == 1) {
                    EXPECT_EQ(raised, out_of_memory ? "bad_alloc" : "Receiver refuses the report");
                }
                if (report == 1 && std::string(write.what).find("connect") != std::string::npos) {
                    EXPECT_EQ(state(site), before);
                }
                // A change of the shared plum refused there goes to no
                // private copy: the shape stays on plum.
                if (report == 1 && (write.target == first || write.target == second)) {
                    EXPECT_EQ((*target)->attribute_handle(), held);
                    EXPECT_EQ((*target)->fill_color(), colour);
                }
                expect_sound(site);
                target.reset();
                const std::string after = state(site);
                site.set_read_only(false);   // a paged file closed and opened again
                EXPECT_EQ(state(site), after);
                qvMemoryScene copy(&site.standard, false);   // loaded records name attributes it holds
                EXPECT_EQ(qvRaisedText([&] { scene_test::load(copy, scene_test::saved(site.memory)); }), "no error");
            }
}

// A new shape refused at its connect's closing report, or a text at its
// measure's opening one, was taken away while plum still counted it: one too
// high, and a paged file saved that count. Each row lists the reports,
// counted from the construction's first, at which the receiver raises: the
// connect's opening and closing ones, then a text's measure's opening one.
TEST(qvReadOnlyAttributeWrites, A_constructor_refused_at_a_report_leaves_the_scene_and_its_counts_as_they_were) {
    const qvCrdOf<double> at[3] = {{60, 5}, {70, 9}, {80, 5}};
    const qvMathRectOf<double> box(qvRectOf<double>(60, 5, 70, 9));
    const struct {
        char const* what;
        std::vector<int> reports;
        std::function<void(Site&)> make;
    } rows[] = {
        {"rectangle", {2, 3}, [&](Site& s) { qvRectangle(s.scene, box, s.shape(first).get()); }},
        {"ellipse", {2, 3}, [&](Site& s) { qvEllipse(s.scene, box, s.shape(first).get()); }},
        {"arc", {6, 7}, [&](Site& s) { qvArc(s.scene, box, 0.0, 90.0, s.shape(first).get()); }},
        {"pie slice", {6, 7}, [&](Site& s) { qvPieSlice(s.scene, box, 0.0, 90.0, s.shape(first).get()); }},
        {"polygon", {2, 3}, [&](Site& s) { qvPolygon(s.scene, 3, at, s.shape(first).get()); }},
        {"polyline", {2, 3}, [&](Site& s) { qvPolyline(s.scene, 3, at, s.shape(first).get()); }},
        {"poly-marker", {2, 3}, [&](Site& s) { qvPolyMarker(s.scene, 3, at, s.shape(first).get()); }},
        {"Bezier", {2, 3}, [&](Site& s) { qvBezier(s.scene, 3, at, nullptr, s.shape(first).get()); }},
        {"exact polygon", {2, 3}, [&](Site& s) { qvExactPolygon(s.scene, 3, at, s.shape(first).get()); }},
        {"restricted image", {6, 7}, [&](Site& s) {
             qvRestrictedImage(s.scene, at[0], qvBitmap(qvRgbaBitmap, 2, 2), 0u, s.shape(first).get()); }},
        {"copy", {1, 2}, [&](Site& s) { qvRectangle(s.scene, qvGraphic(s.shape(first)), false); }},
        {"scaled text", {6, 7, 8}, [&](Site& s) { qvScaledText(s.scene, at[0], "ab", 2.0, s.shape(first).get()); }},
        {"restricted text", {2, 3, 4},
         [&](Site& s) { qvRestrictedText(s.scene, at[0], "ab", s.shape(first).get(), nullptr); }},
    };
    for (bool paged : {false, true})
        for (auto const& row : rows)
            for (int report : row.reports) {
                SCOPED_TRACE(std::string(paged ? "paged: " : "memory: ") + row.what + ", report " + std::to_string(report));
                Site site(paged);
                const std::string before = state(site);
                const int shapes = site.scene.size(-1);
                qvNotificationLog log;
                qvRecordingReceiver<qvMathRectOf<double>> receiver("rect", log);
                receiver.connect(site.scene.rect_sender());
                raise_at(receiver, report, false);
                EXPECT_EQ(qvRaisedText([&] { row.make(site); }), "Receiver refuses the report");
                receiver.on_next_event(nullptr);
                EXPECT_EQ(site.scene.size(-1), shapes);
                expect_sound(site);
                EXPECT_EQ(state(site), before);
                site.set_read_only(false);   // a paged file closed and opened again
                EXPECT_EQ(state(site), before);
            }
}
