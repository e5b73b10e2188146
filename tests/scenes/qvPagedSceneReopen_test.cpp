// The ready-made paged scene closed and opened again on one object while a
// handle of the first session is still held: the old handle reaches nothing
// of the next session, and what that session does is what the file keeps.
// A past failure: the old proxy was found again by its shape handle, so the
// new session's edits of the shape went to the old, detached copy and were
// lost at its release, leaving the shape on an attribute whose count no
// longer counted it.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "platform/qvPlatformFault.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using qv_file_test::raises;

namespace {

using Rect = qvMathRectOf<double>;
constexpr int cache = 1 << 20;
const qvRgbColor red(1.0f, 0.0f, 0.0f), blue(0.0f, 0.0f, 1.0f), green(0.0f, 1.0f, 0.0f);

Rect rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

struct Reopen {
    char const* name;
    bool first_read_only;     // the session whose handle is kept
    bool used;                // an edit is tried through it in the next one
    char const* refusal;      // what that edit raises
};

}  // namespace

TEST(qvPagedSceneReopen, A_handle_held_across_a_reopen_refuses_edits_and_the_file_keeps_every_edit_of_the_new_session) {
    const Reopen cases[] = {
        {"held", false, false, ""},
        {"used", false, true, "Paged scene was not initialized"},
        {"held from a read-only session", true, false, ""},
        {"used from a read-only session", true, true, "Attempt to modify a read-only scene"},
    };
    for (Reopen const& c : cases) {
        SCOPED_TRACE(c.name);
        qv_file_test::ScratchDir dir;
        const std::string path = dir / "r.pgf";
        qvPagedScene scene;
        long hx = 0, hy = 0;
        {
            scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
            qvRectangle x(scene, rect(1, 1, 2, 2)), y(scene, rect(5, 5, 6, 6));
            x->fill_color(red);
            hx = x->shape_handle();
            hy = y->shape_handle();
        }
        ASSERT_TRUE(scene.close());

        ASSERT_TRUE(scene.open(path.c_str(), cache, c.first_read_only));
        qvRectangle old(scene, hx);
        EXPECT_EQ(old->fill_color(), red);
        scene.close();

        ASSERT_TRUE(scene.open(path.c_str(), cache, false));
        if (c.used) {
            using OldError = qvErrorFrom<qvBasicPagedScene>;
            using ReadOnly = qvErrorFrom<qvSingleShapeProxyBase>;
            const auto refused = [&](auto edit) {
                return c.first_read_only ? raises<ReadOnly>(edit, c.refusal) : raises<OldError>(edit, c.refusal);
            };
            EXPECT_TRUE(refused([&] { old->rectangle(rect(70, 70, 80, 80)); }));
            EXPECT_TRUE(refused([&] { old->fill_color(green); }));
            EXPECT_TRUE(refused([&] { old->destroy_shape(); }));
        }
        {
            qvRectangle x(scene, hx), y(scene, hy);
            EXPECT_NE(x.get(), old.get());
            y->connect_attribute(*x);
            x->fill_color(blue);
            x->rectangle(rect(10, 10, 20, 20));
            if (c.used) old = qvRectangle();   // let go while the new copy is connected
        }
        ASSERT_TRUE(scene.close());
        old = qvRectangle();

        ASSERT_TRUE(scene.open(path.c_str(), cache, true));
        qvRectangle x(scene, hx), y(scene, hy);
        EXPECT_EQ(x->fill_color(), blue);
        EXPECT_EQ(y->fill_color(), red);
        EXPECT_EQ(x->rectangle(), rect(10, 10, 20, 20));
        qvPalette& palette = scene.palette();
        EXPECT_EQ(palette_test::simple_of(palette, x->attr_handle(), "ref_count"), 1);
        EXPECT_EQ(palette_test::simple_of(palette, y->attr_handle(), "ref_count"), 1);
        int attributes = 0;
        for (auto a = palette.enumerate(); a; ++a) ++attributes;
        EXPECT_EQ(attributes, 2);   // nothing left that no shape uses
    }
}

// The copies a close wrote back before it raised are detached as well: the
// scene stays open, but only a new handle edits the shape.
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
    EXPECT_TRUE(raises<qvErrorFrom<qvBasicPagedScene>>([&] { old->fill_color(green); }, "Paged scene was not initialized"));
    {
        qvRectangle x(scene, hx);
        EXPECT_NE(x.get(), old.get());
        x->rectangle(rect(10, 10, 20, 20));
    }
    ASSERT_TRUE(scene.close());
    old = qvRectangle();
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    qvRectangle x(scene, hx);
    EXPECT_EQ(x->rectangle(), rect(10, 10, 20, 20));
    EXPECT_EQ(x->attr_handle(), 0);
}
