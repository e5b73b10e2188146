// A shape handle held across a close of the paged scene reaches nothing of
// the next session. Past failure: the old proxy was found again by its shape
// handle, so the new session's edits went to the old, detached copy and were
// lost at its release, leaving the shape on an attribute that no longer
// counted it. Attribute objects made in a session are held to it likewise.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvSimpleEllipse.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "platform/qvPlatformFault.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

using qv_file_test::raises;

namespace {

using Rect = qvMathRectOf<double>;
constexpr int cache = 1 << 20;
const qvRgbColor red(1.0f, 0.0f, 0.0f), blue(0.0f, 0.0f, 1.0f);

Rect rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

// Each attribute's count against its holders: records and a name.
void expect_counts_are_holders(qvPagedScene& scene) {
    std::map<long, long> holders;
    for (auto shape = scene.enumerate(-1); shape; ++shape)   // rectangles only
        if (const long h = qvRectangle(*shape)->attr_handle())
            ++holders[h];
    for (auto a = scene.palette().enumerate(); a; ++a) {
        EXPECT_EQ(palette_test::simple_of(scene.palette(), *a, "ref_count"),
                  holders[*a] + (scene.palette().name(*a) != nullptr ? 1 : 0)) << *a;
        holders.erase(*a);
    }
    EXPECT_TRUE(holders.empty());
}

// What the next session's objects (`y` of B, a list holding it) meet from
// an attribute object of the closed one.
struct Road {
    char const* what;
    std::function<void(qvAttributeInternalBase&, qvPagedScene&, qvRectangle&, qvGraphicList&)> call;
};

const qvRgbColor coral(0.9f, 0.5f, 0.3f);
char const* const fill = "brush/color_device/color";

const Road closed_session_roads[] = {
    {"a shape's connect to it", [](auto& s, auto&, auto& y, auto&) { y->connect_attribute(s); }},
    {"its connect to a shape", [](auto& s, auto&, auto& y, auto&) { s.connect_attribute(*y); }},
    {"its connect by a name", [](auto& s, auto&, auto&, auto&) { s.connect_attribute("greens"); }},
    {"its connect by a name no attribute has", [](auto& s, auto&, auto&, auto&) { s.connect_attribute("none"); }},
    {"a colour written through it", [](auto& s, auto&, auto&, auto&) { s.fill_color(coral); }},
    {"a name given through it", [](auto& s, auto&, auto&, auto&) { s.attribute_name("plum"); }},
    {"its name taken away", [](auto& s, auto&, auto&, auto&) { s.attribute_name(nullptr); }},
    {"a folder destroyed through it", [](auto& s, auto&, auto&, auto&) { s.destroy_folder(*qvFolder::folder_by_name(fill)); }},
    {"a folder copied into it", [](auto& s, auto&, auto& y, auto&) { s.copy_folder(y->attr_handle(), *qvFolder::folder_by_name(fill)); }},
    {"a rectangle made with it", [](auto& s, auto& scene, auto&, auto&) { qvRectangle(scene, rect(30, 30, 40, 45), &s); }},
    {"a stand-alone shape's connect to it", [](auto& s, auto&, auto&, auto&) {
         qvSimpleEllipse alone;
         alone->radius(1);
         alone->connect_attribute(s);
     }},
    {"a list's connect to it", [](auto& s, auto&, auto&, auto& list) { list->connect_attribute(s); }},
    {"its connect to a list", [](auto& s, auto&, auto&, auto& list) { s.connect_attribute(*list); }},
};

}  // namespace

// The handle comes from a writable or a read-only session, and is only held
// or also edited through in the next one.
TEST(qvPagedSceneReopen, A_handle_held_across_a_reopen_refuses_edits_and_the_file_keeps_every_edit_of_the_new_session) {
    for (bool read_only : {false, true}) {
        for (bool used : {false, true}) {
            SCOPED_TRACE(std::string(read_only ? "read-only, " : "writable, ") + (used ? "used" : "held"));
            qv_file_test::ScratchDir dir;
            const std::string path = dir / "r.pgf";
            qvPagedScene scene;
            scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
            const long hx = qvRectangle(scene, rect(1, 1, 2, 2))->shape_handle();
            const long hy = qvRectangle(scene, rect(5, 5, 6, 6))->shape_handle();
            qvRectangle(scene, hx)->fill_color(red);
            ASSERT_TRUE(scene.close());

            ASSERT_TRUE(scene.open(path.c_str(), cache, read_only));
            qvRectangle old(scene, hx);
            scene.close();
            ASSERT_TRUE(scene.open(path.c_str(), cache, false));
            using ReadOnly = qvErrorFrom<qvSingleShapeProxyBase>;
            const auto refused = [&](auto edit) {
                return read_only ? raises<ReadOnly>(edit, "Attempt to modify a read-only scene")
                                 : raises<qvErrorFrom<qvBasicPagedScene>>(edit, "Paged scene was not initialized");
            };
            if (used) {
                EXPECT_TRUE(refused([&] { old->rectangle(rect(70, 70, 80, 80)); }));
                EXPECT_TRUE(refused([&] { old->fill_color(blue); }));
                EXPECT_TRUE(refused([&] { old->destroy_shape(); }));
            }
            {
                qvRectangle x(scene, hx), y(scene, hy);
                // The old handle answers the attribute number of its closed
                // session, which a connect used to take, also when equal.
                EXPECT_TRUE(refused([&] { y->connect_attribute(*old); }));
                // So do a list holding it (x as it was) and a stand-alone shape.
                qvGraphicList held;
                held->add(qvGraphic(x));
                held->add(qvGraphic(old));
                EXPECT_TRUE(refused([&] { y->connect_attribute(*held); }));
                EXPECT_TRUE(refused([&] { held->connect_attribute(*y); }));
                EXPECT_TRUE(refused([&] { held->connect_attribute("none"); }));
                EXPECT_EQ(x->fill_color(), red);
                qvSimpleEllipse alone;
                alone->radius(1);
                EXPECT_TRUE(refused([&] { alone->connect_attribute(*old); }));
                y->connect_attribute(*x);
                EXPECT_TRUE(refused([&] { old->connect_attribute(*y); }));
                // A new shape or a copy refused at its connect is taken away.
                const int shapes = scene.size(-1);
                EXPECT_TRUE(refused([&] { qvRectangle(scene, rect(30, 30, 40, 45), old.get()); }));
                EXPECT_TRUE(refused([&] { qvRectangle(scene, qvGraphic(old), false); }));
                EXPECT_TRUE(refused([&] { qvRectangle(scene, rect(30, 30, 40, 45), held.get()); }));
                const qvCrdOf<double> points[2] = {{30, 30}, {40, 45}};
                EXPECT_TRUE(refused([&] { qvPolyline(scene, 2, points, old.get()); }));
                EXPECT_TRUE(refused([&] { qvPolygon(scene, 2, points, old.get()); }));
                EXPECT_TRUE(refused([&] { qvRestrictedImage(scene, points[0], qvBitmap(qvRgbaBitmap, 2, 2), 0u, old.get()); }));
                EXPECT_EQ(scene.size(-1), shapes);
                x->fill_color(blue);
                x->rectangle(rect(10, 10, 20, 20));
                if (used) old = qvRectangle();   // let go while the new copy is connected
            }
            ASSERT_TRUE(scene.close());
            old = qvRectangle();

            ASSERT_TRUE(scene.open(path.c_str(), cache, true));
            qvRectangle x(scene, hx), y(scene, hy);
            EXPECT_EQ(x->fill_color(), blue);
            EXPECT_EQ(y->fill_color(), red);
            EXPECT_EQ(x->rectangle(), rect(10, 10, 20, 20));
            std::map<long, long> counts;   // nothing left that no shape uses
            for (auto a = scene.palette().enumerate(); a; ++a)
                counts[*a] = palette_test::simple_of(scene.palette(), *a, "ref_count");
            EXPECT_EQ(counts, (std::map<long, long>{{x->attr_handle(), 1}, {y->attr_handle(), 1}}));
        }
    }
}

// The copies a close wrote back before it raised are detached as well.
TEST(qvPagedSceneReopen, After_a_close_that_raised_a_held_handle_refuses_edits_and_a_new_one_is_written_by_the_next_close) {
    qv_file_test::ScratchDir dir;
    const std::string path = dir / "f.pgf";
    qvPagedScene scene;
    scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
    qvRectangle old(scene, rect(1, 1, 2, 2));
    const long hx = old->shape_handle();
    orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC, 1 << 30);
    EXPECT_THROW(scene.close(), qvError);
    orvane::platform::clear_failures();
    ASSERT_TRUE(scene.is_open());
    EXPECT_TRUE(raises<qvErrorFrom<qvBasicPagedScene>>([&] { old->fill_color(blue); }, "Paged scene was not initialized"));
    EXPECT_TRUE(raises<qvErrorFrom<qvBasicPagedScene>>([&] { qvRectangle(scene, hx)->connect_attribute(*old); },
                                                        "Paged scene was not initialized"));
    qvRectangle(scene, hx)->rectangle(rect(10, 10, 20, 20));
    ASSERT_TRUE(scene.close());
    old = qvRectangle();
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    EXPECT_EQ(qvRectangle(scene, hx)->rectangle(), rect(10, 10, 20, 20));
    EXPECT_EQ(qvRectangle(scene, hx)->attr_handle(), 0);
}

// File A's attribute plum and file B's "greens" have one number. Past
// failure: a style made in A's session and kept while the scene object
// opened B connected shapes to "greens", wrote it, and at its release freed
// it under the shapes that named it. Refused on every road in the words a
// closed session's shape hears, it counts nothing in B; both kinds of proxy.
TEST(qvPagedSceneReopen, An_attribute_object_of_a_closed_session_is_refused_on_every_road_and_counts_nothing) {
    qv_file_test::ScratchDir dir;
    const std::string a = dir / "a.pgf", b = dir / "b.pgf", used = dir / "used.pgf";
    const qvRgbColor plum(0.6f, 0.2f, 0.6f), greens(0.0f, 0.5f, 0.0f);
    long number = 0, yh = 0;
    {
        qvPagedScene maker;
        maker.create(b.c_str(), rect(0, 0, 100, 100), cache);
        qvRectangle y(maker, rect(1, 1, 2, 2));
        y->fill_color(greens);
        y->attribute_name("greens");
        qvRectangle(maker, rect(3, 3, 4, 4), y.get());
        number = y->attr_handle();
        yh = y->shape_handle();
        y = qvRectangle();
        ASSERT_TRUE(maker.close());
    }
    {
        qvPagedScene maker;
        maker.create(a.c_str(), rect(0, 0, 100, 100), cache);
        qvRectangle x(maker, rect(1, 1, 2, 2));
        x->fill_color(plum);
        ASSERT_EQ(x->attr_handle(), number);
        x = qvRectangle();
        ASSERT_TRUE(maker.close());
    }
    qvPagedScene scene;

    for (bool shared : {false, true}) {
        for (Road const& road : closed_session_roads) {
            SCOPED_TRACE(std::string(shared ? "shared: " : "not shared: ") + road.what);
            std::filesystem::copy_file(b, used, std::filesystem::copy_options::overwrite_existing);
            ASSERT_TRUE(scene.open(a.c_str(), cache, false));
            std::unique_ptr<qvAttributeInternalBase> style;
            if (shared)
                style = std::make_unique<qvSharedAttributeProxy>(scene, number);
            else
                style = std::make_unique<qvAttributeProxy>(scene, number);
            ASSERT_EQ(style->fill_color(), plum);
            ASSERT_TRUE(scene.close());
            ASSERT_TRUE(scene.open(used.c_str(), cache, false));
            {
                const std::string palette = palette_test::saved(scene.palette());
                const int shapes = scene.size(-1);
                qvRectangle y(scene, yh);
                qvGraphicList list;
                list->add(qvGraphic(y));
                EXPECT_TRUE(raises<qvErrorFrom<qvBasicPagedScene>>([&] { road.call(*style, scene, y, list); },
                                                                    "Paged scene was not initialized"));
                EXPECT_EQ(y->fill_color(), greens);
                EXPECT_EQ(scene.size(-1), shapes);
                style.reset();
                EXPECT_EQ(palette_test::saved(scene.palette()), palette);
            }
            ASSERT_TRUE(scene.close());
            ASSERT_TRUE(scene.open(used.c_str(), cache, true));
            expect_counts_are_holders(scene);
            EXPECT_EQ(scene.palette().handle("greens"), number);
            scene.close();
        }
    }
}

// A palette the application gives a scene keeps its content across the
// scene's sessions (the file does not hold it), and one the scene owns
// reads back the content it held when the file it closed is opened again
// unchanged (the style's own reference included): either way objects made
// on it stay good, and every count is right once they go.
TEST(qvPagedSceneReopen, An_attribute_object_outlives_a_reopen_that_reads_back_its_palette_content) {
    for (bool owned : {false, true}) {
        SCOPED_TRACE(owned ? "the scene's palette" : "the application's palette");
        qv_file_test::ScratchDir dir;
        const std::string path = dir / "p.pgf";
        qvMatchingPalette palette(nullptr);
        qvPagedScene scene(owned ? nullptr : &palette);
        scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
        std::optional<qvSharedAttributeProxy> style(std::in_place, scene, 0);
        style->fill_color(red);
        const long hx = qvRectangle(scene, rect(1, 1, 2, 2), &*style)->shape_handle();
        ASSERT_TRUE(scene.close());
        ASSERT_TRUE(scene.open(path.c_str(), cache, false));
        style->fill_color(blue);
        qvRectangle x(scene, hx), y(scene, rect(5, 5, 6, 6), &*style);
        EXPECT_EQ(x->fill_color(), blue);
        EXPECT_EQ(y->attr_handle(), style->attr_handle());
        x = qvRectangle();
        y = qvRectangle();
        style.reset();
        ASSERT_TRUE(scene.close());
        ASSERT_TRUE(scene.open(path.c_str(), cache, true));
        expect_counts_are_holders(scene);
    }
}
