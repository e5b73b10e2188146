// Attribute proxies: how they hold handles and references, allocate on the
// first write, name, connect and disconnect, what they do without a
// palette, and that palette errors leave them as they were.

#include <orvane/attributes/qvAttributeProxy.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"

#include <gtest/gtest.h>

using attribute_object_test::count_of;
using attribute_object_test::folder;
using attribute_object_test::RecordingPalette;
using attribute_object_test::assertion_text;
using attribute_object_test::expect_raises;

namespace {

char const* const no_palette = "Attribute object has no palette";

}  // namespace

TEST(qvAttributeProxy, Handle_0_reads_nothing_and_first_write_allocates_with_its_shared_flag) {
    for (bool shared : {false, true}) {
        RecordingPalette palette;
        std::unique_ptr<qvAttributeInternalBase> proxy;
        if (shared)
            proxy = std::make_unique<qvSharedAttributeProxy>(palette, 0);
        else
            proxy = std::make_unique<qvAttributeProxy>(palette, 0);
        EXPECT_EQ(proxy->property(folder("pen/color_device/color")), nullptr);
        proxy->destroy_folder(folder("pen/color_device/color"));
        proxy->disconnect_attribute();
        proxy->attribute_name("");
        EXPECT_TRUE(palette.calls.empty());

        proxy->line_style(qvLineStyle{2});
        const std::string flag = shared ? " 1" : " 0";
        EXPECT_EQ(palette.changes(), (std::vector<std::string>{
                                         "alloc" + flag, "set 1 pen/color_device/line_style" + flag}));
        EXPECT_EQ(proxy->attribute_handle(), 1);
        EXPECT_EQ(count_of(palette, 1), 1);
    }
}

TEST(qvAttributeProxy, Holds_the_handle_each_write_returns) {
    qvStandardPalette palette;
    const long h = palette.alloc(false);
    qvAttributeProxy a(palette, h), b(palette, h);
    palette.release(h);
    a.line_width(3.0);  // count 2: the palette answers with a private copy
    EXPECT_NE(a.attribute_handle(), h);
    EXPECT_EQ(b.attribute_handle(), h);
    EXPECT_EQ(count_of(palette, h), 1);
    EXPECT_EQ(static_cast<double>(b.line_width()), 0.0);
}

TEST(qvAttributeProxy, Copies_assignments_and_destruction_keep_counts_balanced) {
    qvStandardPalette palette;
    const long h = palette.alloc(false), k = palette.alloc(false);
    {
        qvAttributeProxy a(palette, h);
        EXPECT_EQ(count_of(palette, h), 2);
        {
            qvAttributeProxy b(a);
            EXPECT_EQ(count_of(palette, h), 3);
            qvAttributeProxy c(palette, k);
            c = a;
            qvAttributeProxy& same = c;
            c = same;
            EXPECT_EQ(count_of(palette, h), 4);
            EXPECT_EQ(count_of(palette, k), 1);
        }
        EXPECT_EQ(count_of(palette, h), 2);
    }
    EXPECT_EQ(count_of(palette, h), 1);
    palette.release(h);
    palette.release(k);
    EXPECT_FALSE(palette.enumerate());
}

TEST(qvAttributeProxy, Factory_pointer_releases_the_attribute_with_its_last_copy) {
    qvStandardPalette palette;
    for (auto create : {&qvCreateAttributeProxy, &qvCreateSharedAttributeProxy}) {
        const long h = palette.alloc(false);
        {
            qvSafePtr<qvAttributeInterface> first = create(&palette, h);
            palette.release(h);  // the proxy's reference only
            qvSafePtr<qvAttributeInterface> second = first;
            EXPECT_EQ(count_of(palette, h), 1);
            EXPECT_EQ(second->attribute_handle(), h);
        }
        EXPECT_EQ(count_of(palette, h), 0);
    }
    EXPECT_THROW(qvCreateSharedAttributeProxy(nullptr, 3), qvErrorFrom<qvAttributeBase>);
}

TEST(qvAttributeProxy, Palette_may_change_only_while_no_handle_is_held) {
    qvStandardPalette first, second;
    qvAttributeProxy proxy;
    proxy.attr_source(&first);
    proxy.line_style(qvLineStyle{2});
    EXPECT_EQ(assertion_text([&] { proxy.attr_source(&second); }), "!handle");
    proxy.disconnect_attribute();
    proxy.attr_source(&second);
    EXPECT_EQ(proxy.attribute_palette(), &second);
}

TEST(qvAttributeProxy, Naming_allocates_moves_and_removes_names) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.attribute_name("red");
    const long h = proxy.attribute_handle();
    EXPECT_EQ(count_of(palette, h), 2);  // the proxy's and the repository's
    EXPECT_STREQ(proxy.attribute_name(), "red");
    proxy.attribute_name("");
    EXPECT_EQ(proxy.attribute_handle(), h);
    EXPECT_EQ(palette.inner.handle("red"), 0);
    EXPECT_EQ(count_of(palette, h), 1);
    // Regression: the repository answers 0 for an unnamed attribute, which replaced the handle.
    proxy.attribute_name(nullptr);
    EXPECT_EQ(proxy.attribute_handle(), h);
    EXPECT_EQ(count_of(palette, h), 1);
}

TEST(qvAttributeProxy, Connecting_within_one_palette_shares_the_handle) {
    qvStandardPalette palette;
    qvAttributeProxy a(palette, 0), b(palette, 0);
    a.attribute_name("blue");
    b.line_width(4.0);
    const long h = a.attribute_handle(), gone = b.attribute_handle();
    for (int round = 0; round < 2; ++round) {
        b.connect_attribute(a);
        EXPECT_EQ(b.attribute_handle(), h);
        EXPECT_EQ(count_of(palette, h), 3);
    }
    EXPECT_EQ(count_of(palette, gone), 0);
    b.disconnect_attribute();
    EXPECT_EQ(count_of(palette, h), 2);
    EXPECT_TRUE(b.connect_attribute("blue"));
    EXPECT_EQ(b.attribute_handle(), h);
    EXPECT_FALSE(b.connect_attribute("nothing"));
    EXPECT_EQ(b.attribute_handle(), 0);
    EXPECT_EQ(count_of(palette, h), 2);
}

TEST(qvAttributeProxy, Connecting_across_palettes_copies_values_but_no_system_folder) {
    qvStandardPalette source_palette, target_palette;
    qvSharedAttributeProxy source(source_palette, 0);
    qvAttributeProxy target(target_palette, 0);
    source.line_color(1.0f, 0.0f, 0.0f);
    source.font_name("Serif");
    source.attribute_name("src");
    const std::int32_t flavor = 2;
    source.property(folder("attribute_flavor"), &flavor);
    target.line_width(9.0);
    const long replaced = target.attribute_handle();

    target.connect_attribute(source);
    const long t = target.attribute_handle();
    EXPECT_EQ(count_of(target_palette, replaced), 0);
    EXPECT_EQ(count_of(target_palette, t), 1);  // built before the old one was let go
    EXPECT_EQ(target.line_color(), qvRgbColor(1.0f, 0.0f, 0.0f));
    EXPECT_STREQ(target.font_name(), "Serif");
    EXPECT_EQ(static_cast<double>(target.line_width()), 0.0);
    for (char const* system : {"is_shared", "attr_name", "attribute_flavor"})
        EXPECT_EQ(target.property(folder(system)), nullptr) << system;
    EXPECT_EQ(target_palette.handle("src"), 0);

    source.line_color(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(target.line_color(), qvRgbColor(1.0f, 0.0f, 0.0f));
}

TEST(qvAttributeProxy, Object_without_palette_reads_null_and_refuses_the_rest) {
    qvAttributeProxy proxy;
    EXPECT_EQ(proxy.property(folder("pen/color_device/color")), nullptr);
    expect_raises<qvErrorFrom<qvAttributeBase>>([&] { proxy.line_width(1.0); }, no_palette);
    EXPECT_THROW(proxy.copy_folder(1, folder("pen/color_device/color")), qvErrorFrom<qvAttributeBase>);
    EXPECT_THROW(proxy.attribute_name("x"), qvErrorFrom<qvAttributeBase>);
    EXPECT_THROW(proxy.connect_attribute("x"), qvErrorFrom<qvAttributeBase>);
}

TEST(qvAttributeProxy, Palette_errors_pass_through_and_the_handle_stays) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    // A failing first write gives the attribute it allocated back.
    expect_raises<qvErrorFrom<qvSP_PalData>>(
        [&] { proxy.property(qvFolder::root(), &proxy); }, "Illegal folder specified");
    EXPECT_EQ(proxy.attribute_handle(), 0);
    EXPECT_TRUE(palette.handles().empty());

    proxy.line_width(1.0);
    const long h = proxy.attribute_handle();
    palette.inner.release(h);  // released behind the proxy's back
    EXPECT_THROW(proxy.line_width(2.0), qvErrorFrom<qvSP_PalData>);
    EXPECT_THROW(proxy.disconnect_attribute(), qvErrorFrom<qvSP_PalData>);
    EXPECT_EQ(proxy.attribute_handle(), h);
    palette.inner.alloc(false);  // h again, so the proxy's destructor releases a live handle

    // A connect to an object whose attribute is gone used to let the held one go first.
    proxy.line_width(5.0);
    const long own = proxy.attribute_handle();
    qvAttributeProxy stray(palette, 0);
    stray.line_width(6.0);
    palette.inner.release(stray.attribute_handle());
    expect_raises<qvErrorFrom<qvSP_PalData>>([&] { proxy.connect_attribute(stray); },
                                             "Illegal attribute handle specified");
    EXPECT_EQ(proxy.attribute_handle(), own);
    EXPECT_EQ(count_of(palette, own), 1);
    EXPECT_EQ(static_cast<double>(proxy.line_width()), 5.0);
    stray.attr_handle(0);  // nothing of its own to release
}

TEST(qvAttributeProxyDeathTest, Release_failing_in_destructor_aborts) {
    EXPECT_DEATH(
        {
            qvStandardPalette palette;
            qvAttributeProxy proxy(palette, 0);
            proxy.line_width(1.0);
            palette.release(proxy.attribute_handle());
        },
        "Unexpected Orvane error: Illegal attribute handle specified");
}
