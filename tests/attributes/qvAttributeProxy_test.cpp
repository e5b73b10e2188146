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

// An attribute with count 1, owned by the caller.
long fresh(qvPalette& palette) { return palette.alloc(false); }

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
        EXPECT_STREQ(proxy->attribute_name(), "");
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
    const long h = fresh(palette);
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
    const long h = fresh(palette), k = fresh(palette);
    {
        qvAttributeProxy a(palette, h);
        EXPECT_EQ(count_of(palette, h), 2);
        {
            qvAttributeProxy b(a);
            EXPECT_EQ(count_of(palette, h), 3);
            qvAttributeProxy c(palette, k);
            c = a;
            EXPECT_EQ(count_of(palette, h), 4);
            EXPECT_EQ(count_of(palette, k), 1);
            a = c;  // same handle both ways
            qvAttributeProxy& same = c;
            c = same;
            EXPECT_EQ(count_of(palette, h), 4);
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
        const long h = fresh(palette);
        {
            qvSafePtr<qvAttributeInterface> first = create(&palette, h);
            palette.release(h);  // the proxy's reference only
            qvSafePtr<qvAttributeInterface> second = first;
            EXPECT_EQ(count_of(palette, h), 1);
            EXPECT_EQ(second->attribute_handle(), h);
        }
        EXPECT_EQ(count_of(palette, h), 0);
    }
    qvSafePtr<qvAttributeInterface> unbound = qvCreateAttributeProxy(nullptr, 0);
    EXPECT_EQ(unbound->attribute_palette(), nullptr);
    expect_raises<qvErrorFrom<qvAttributeBase>>([] { qvCreateSharedAttributeProxy(nullptr, 3); },
                                                no_palette);
}

TEST(qvAttributeProxy, Palette_may_change_only_while_no_handle_is_held) {
    qvStandardPalette first, second;
    qvAttributeProxy proxy;
    proxy.attr_source(&first);
    proxy.line_style(qvLineStyle{2});
    EXPECT_EQ(assertion_text([&] { proxy.attr_source(&second); }), "!handle");
    EXPECT_EQ(proxy.attribute_palette(), &first);
    proxy.disconnect_attribute();
    EXPECT_FALSE(first.enumerate());
    proxy.attr_source(&second);
    EXPECT_EQ(proxy.attribute_palette(), &second);
}

TEST(qvAttributeProxy, Naming_allocates_moves_and_removes_names) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.attribute_name("red");
    const long h = proxy.attribute_handle();
    ASSERT_NE(h, 0);
    EXPECT_EQ(count_of(palette, h), 2);  // the proxy's and the repository's
    EXPECT_STREQ(proxy.attribute_name(), "red");
    EXPECT_EQ(palette.inner.handle("red"), h);
    proxy.attribute_name("");
    EXPECT_EQ(proxy.attribute_handle(), h);
    EXPECT_STREQ(proxy.attribute_name(), "");
    EXPECT_EQ(palette.inner.handle("red"), 0);
    EXPECT_EQ(count_of(palette, h), 1);
    // Removing the name of an unnamed attribute keeps it held: the
    // repository answers 0 there, which must not replace the handle.
    proxy.attribute_name(nullptr);
    EXPECT_EQ(proxy.attribute_handle(), h);
    EXPECT_EQ(count_of(palette, h), 1);
}

TEST(qvAttributeProxy, Connecting_by_name) {
    qvStandardPalette palette;
    qvAttributeProxy named(palette, 0), other(palette, 0);
    named.attribute_name("blue");
    const long h = named.attribute_handle();
    other.line_width(1.0);
    const long own = other.attribute_handle();
    EXPECT_TRUE(other.connect_attribute("blue"));
    EXPECT_EQ(other.attribute_handle(), h);
    EXPECT_EQ(count_of(palette, h), 3);
    EXPECT_EQ(count_of(palette, own), 0);
    EXPECT_FALSE(other.connect_attribute("nothing"));
    EXPECT_EQ(other.attribute_handle(), 0);
    EXPECT_EQ(count_of(palette, h), 2);
}

TEST(qvAttributeProxy, Connecting_within_one_palette_shares_the_handle) {
    qvStandardPalette palette;
    qvAttributeProxy a(palette, 0), b(palette, 0);
    a.line_width(2.0);
    b.line_width(4.0);
    const long h = a.attribute_handle(), gone = b.attribute_handle();
    for (int round = 0; round < 2; ++round) {
        b.connect_attribute(a);
        EXPECT_EQ(b.attribute_handle(), h);
        EXPECT_EQ(count_of(palette, h), 2);
    }
    EXPECT_EQ(count_of(palette, gone), 0);
    b.disconnect_attribute();
    EXPECT_EQ(b.attribute_handle(), 0);
    EXPECT_EQ(count_of(palette, h), 1);
}

TEST(qvAttributeProxy, Connecting_across_palettes_copies_values_but_no_system_folder) {
    qvStandardPalette source_palette, target_palette;
    qvSharedAttributeProxy source(source_palette, 0);
    qvAttributeProxy target(target_palette, 0);
    source.line_color(1.0f, 0.0f, 0.0f);
    source.fill_style(qvFillStyle{4});
    source.marker_size(qvMarkerSize(7.0));
    source.font_name("Serif");
    source.attribute_name("src");
    const std::int32_t flavor = 2;
    source.property(folder("attribute_flavor"), &flavor);
    target.line_width(9.0);
    const long replaced = target.attribute_handle();

    target.connect_attribute(source);
    const long t = target.attribute_handle();
    EXPECT_EQ(count_of(target_palette, replaced), 0);
    EXPECT_EQ(count_of(target_palette, t), 1);
    EXPECT_EQ(target.line_color(), qvRgbColor(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(target.fill_style(), 4);
    EXPECT_EQ(target.marker_size(), qvMarkerSize(7.0));
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
    EXPECT_EQ(proxy.line_style(), 1);
    EXPECT_STREQ(proxy.attribute_name(), "");
    expect_raises<qvErrorFrom<qvAttributeBase>>([&] { proxy.line_width(1.0); }, no_palette);
    expect_raises<qvErrorFrom<qvAttributeBase>>([&] { proxy.copy_folder(1, folder("pen/color_device/color")); }, no_palette);
    expect_raises<qvErrorFrom<qvAttributeBase>>([&] { proxy.attribute_name("x"); }, no_palette);
    expect_raises<qvErrorFrom<qvAttributeBase>>([&] { proxy.connect_attribute("x"); }, no_palette);
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
    char const* const illegal = "Illegal attribute handle specified";
    expect_raises<qvErrorFrom<qvSP_PalData>>([&] { proxy.line_width(2.0); }, illegal);
    expect_raises<qvErrorFrom<qvSP_PalData>>([&] { proxy.disconnect_attribute(); }, illegal);
    EXPECT_EQ(proxy.attribute_handle(), h);
    palette.inner.alloc(false);  // h again, so the proxy's destructor releases a live handle
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
