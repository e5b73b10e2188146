// The typed accessors of qvAttributeInterface, qvPropertyValue and
// qvPropertyRef, seen through an attribute proxy on a recording palette:
// which folders they touch, in which order, with which absent results, and
// how a wrongly bound folder stops them before any write.

#include <orvane/attributes/qvAttributeProxy.hpp>
#include <orvane/attributes/qvPropertyRef.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>

#include "qvAttributeInterfaceTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <utility>

using attribute_object_test::folder;
using attribute_object_test::RecordingPalette;
using attribute_object_test::ScopedRebinding;
using attribute_object_test::expect_raises;

namespace {

std::int32_t word_at(qvAttributeFolderInterface& object, char const* path) {
    return attribute_object_test::word_of(object.property(folder(path)));
}

qvRgbColor color_at(qvAttributeFolderInterface& object, char const* path) {
    void const* const raw = object.property(folder(path));
    return raw != nullptr ? *static_cast<qvRgbColor const*>(raw) : qvRgbColor::unchecked(-9, -9, -9, -9);
}

qvPropertyClass* other_class() { return qvStandardPropertyClass<FILL_STYLE_INTERNAL_PROPERTY_CLASS>(); }

}  // namespace

TEST(qvAttributeInterface, Object_without_attribute_reads_fixed_defaults_without_reaching_the_palette) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    EXPECT_EQ(proxy.line_color(), qvRgbColor(0.0f, 0.0f, 0.0f, 1.0f));
    EXPECT_EQ(proxy.line_style(), 1);
    EXPECT_EQ(proxy.fill_style(), 1);
    EXPECT_EQ(proxy.font_weight(), 4);
    EXPECT_EQ(proxy.marker_size(), qvMarkerSize(4.0));
    EXPECT_STREQ(proxy.font_name(), "");  // the other defaults are 0
    EXPECT_TRUE(palette.calls.empty());  // handle 0: not even a read reaches the palette
}

TEST(qvAttributeInterface, Every_setter_writes_its_colour_device_folder_and_reads_back) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    struct Row {
        char const* path;
        std::function<void()> set;
        std::int32_t word;
        std::function<int()> get;
    };
    const Row rows[] = {
        {"pen/color_device/line_dim_unit", [&] { proxy.line_width_unit(qvDimUnit{3}); }, 3, [&] { return int(proxy.line_width_unit()); }},
        {"pen/color_device/line_end_cap", [&] { proxy.line_end_cap(qvLineEndCap{5}); }, 5, [&] { return int(proxy.line_end_cap()); }},
        {"pen/color_device/line_join", [&] { proxy.line_join(qvLineJoin{6}); }, 6, [&] { return int(proxy.line_join()); }},
        {"brush/color_device/fill_style", [&] { proxy.fill_style(qvFillStyle{7}); }, 7, [&] { return int(proxy.fill_style()); }},
        {"font/color_device/font_slant", [&] { proxy.font_slant(QV_FS_ITALIC); }, 1, [&] { return int(proxy.font_slant()); }},
        {"font/color_device/font_weight", [&] { proxy.font_weight(QV_FW_BOLD); }, 7, [&] { return int(proxy.font_weight()); }},
        {"font/color_device/font_attribute", [&] { proxy.font_attribute(qvFontAttribute{-2}); }, -2, [&] { return int(proxy.font_attribute()); }},
    };
    for (Row const& row : rows) {
        row.set();
        EXPECT_EQ(word_at(proxy, row.path), row.word) << row.path;
        EXPECT_EQ(row.get(), row.word) << row.path;
    }
    // The other colour setters are seen through the standard cook's tests.
    proxy.fill_background_color(1.0f, 0.0f, 0.5f, 0.5f);
    EXPECT_EQ(color_at(proxy, "brush/color_device/bg/color"), qvRgbColor(1.0f, 0.0f, 0.5f, 0.5f));
    proxy.line_color_index(5);
    proxy.fill_color_index(200);
    proxy.font_size(12.5f);
    proxy.marker_hot_spot(qvCrdOf<int>(-3, 4));
    EXPECT_EQ(proxy.line_color_index(), 5);
    EXPECT_EQ(proxy.fill_color_index(), 200);
    EXPECT_EQ(static_cast<float>(proxy.font_size()), 12.5f);
    EXPECT_EQ(proxy.marker_hot_spot(), qvCrdOf<int>(-3, 4));

    proxy.line_color(0.5f);  // the grey forms
    EXPECT_EQ(proxy.line_color(), qvRgbColor(0.5f, 0.5f, 0.5f, 1.0f));
    proxy.line_color(0.5f, 0.25f);
    EXPECT_EQ(proxy.line_color(), qvRgbColor(0.5f, 0.5f, 0.5f, 0.25f));
    for (std::string const& call : palette.calls)
        EXPECT_EQ(call.find("grayscale_device"), std::string::npos) << call;
}

TEST(qvAttributeInterface, Composite_setters_write_separately_in_order) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, palette.inner.alloc(false));
    palette.inner.release(proxy.attribute_handle());  // the proxy's reference only
    const std::string h = std::to_string(proxy.attribute_handle());
    palette.calls.clear();
    auto const expect_changes = [&](std::vector<std::string> const& paths) {
        std::vector<std::string> expected;
        for (std::string const& p : paths)
            expected.push_back((p[0] == '-' ? "remove " + h + " " + p.substr(1) : "set " + h + " " + p) + " 0");
        EXPECT_EQ(palette.changes(), expected);
        palette.calls.clear();
    };
    const double dashes[] = {4.0, 2.0};
    proxy.line_pattern(dashes, 2, 1.0);
    expect_changes({"pen/color_device/line_style", "pen/color_device/line_pattern"});
    EXPECT_EQ(proxy.line_style(), 6);

    qvBitmap image(qvBitmapLayout{}, 2, 2);
    proxy.fill_pattern(image);
    expect_changes({"brush/color_device/fill_image", "brush/color_device/fill_style"});
    EXPECT_EQ(proxy.fill_style(), 8);
    proxy.marker_pattern(image);
    expect_changes({"marker/color_device/marker_style", "marker/color_device/marker_image"});
    EXPECT_EQ(proxy.marker_style(), 7);

    auto const font = [](std::string family, std::string name) {  // "-" marks a removal
        std::vector<std::string> out{family + "font/color_device/font_family", name + "font/color_device/font_name"};
        for (char const* rest : {"font_size", "font_slant", "font_weight", "font_attribute"})
            out.push_back(std::string("font/color_device/") + rest);
        return out;
    };
    proxy.font_style(QV_FF_ROMAN, "Serif", 9.0f, QV_FS_ITALIC, QV_FW_BOLD, qvFontAttribute{2});
    expect_changes(font("", ""));
    proxy.font_style(QV_FF_MODERN, 8.0f, QV_FS_UPRIGHT, QV_FW_NORMAL, qvFontAttribute{0});
    expect_changes(font("", "-"));
    proxy.font_style("Sans", 8.0f, QV_FS_UPRIGHT, QV_FW_NORMAL, qvFontAttribute{0});
    expect_changes(font("-", ""));
}

TEST(qvAttributeInterface, Family_0_and_an_empty_name_remove_their_values) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.font_family(QV_FF_SCRIPT);
    proxy.font_name("Mono");
    proxy.font_family(QV_FF_DONT_CARE);
    proxy.font_name("");
    EXPECT_EQ(proxy.property(folder("font/color_device/font_family")), nullptr);
    EXPECT_EQ(proxy.property(folder("font/color_device/font_name")), nullptr);
}

TEST(qvAttributeInterface, Wrongly_bound_folder_raises_before_any_write) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.line_style(qvLineStyle{2});
    palette.calls.clear();
    char const* const wrong = "Wrong type specified to access attribute property";
    {
        ScopedRebinding rebound("pen/color_device/line_style", other_class());
        expect_raises<qvErrorFrom<qvPropertyClass>>([&] { proxy.line_style(); }, wrong);
        EXPECT_THROW(proxy.line_style(qvLineStyle{3}), qvErrorFrom<qvPropertyClass>);
    }
    {
        // The composite setter checks its second folder before writing the style.
        ScopedRebinding rebound("pen/color_device/line_pattern", other_class());
        EXPECT_THROW(proxy.line_pattern(qvLinePattern()), qvErrorFrom<qvPropertyClass>);
    }
    EXPECT_TRUE(palette.changes().empty());
    EXPECT_EQ(proxy.line_style(), 2);
}

TEST(qvAttributeInterface, Sizes_that_are_NaN_or_infinite_are_refused_before_any_write) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.line_width(1.5);
    proxy.marker_size(qvMarkerSize(6.0));
    proxy.font_style(QV_FF_ROMAN, "Serif", 9.0f, QV_FS_ITALIC, QV_FW_BOLD, qvFontAttribute{2});
    palette.calls.clear();
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const double bad : {nan, inf, -inf}) {
        const float f = static_cast<float>(bad);
        const std::pair<char const*, std::function<void()>> setters[] = {
            {"line width", [&] { proxy.line_width(bad); }},
            {"marker size", [&] { proxy.marker_size(qvMarkerSize(bad)); }},
            {"font size", [&] { proxy.font_size(f); }},
            {"font style", [&] { proxy.font_style(QV_FF_MODERN, "Mono", f, QV_FS_UPRIGHT, QV_FW_NORMAL, qvFontAttribute{0}); }},
            {"font style, no name", [&] { proxy.font_style(QV_FF_MODERN, f, QV_FS_UPRIGHT, QV_FW_NORMAL, qvFontAttribute{0}); }},
        };
        for (auto const& [name, set] : setters)
            expect_raises<qvErrorFrom<qvAttributeInterface>>(set, "Attribute size is not finite");
    }
    EXPECT_TRUE(palette.changes().empty());
    EXPECT_EQ(static_cast<double>(proxy.line_width()), 1.5);
    EXPECT_EQ(proxy.marker_size(), qvMarkerSize(6.0));
    EXPECT_EQ(static_cast<float>(proxy.font_size()), 9.0f);
    EXPECT_EQ(proxy.font_family(), QV_FF_ROMAN);
    EXPECT_STREQ(proxy.font_name(), "Serif");
    // Any finite size is a size: the largest ones and negative ones too.
    proxy.line_width(std::numeric_limits<double>::max());
    proxy.font_size(-std::numeric_limits<float>::max());
    EXPECT_EQ(static_cast<double>(proxy.line_width()), std::numeric_limits<double>::max());
}

TEST(qvAttributeInterface, A_folder_without_a_class_fails_the_type_check) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    proxy.line_style(qvLineStyle{2});
    ScopedRebinding unbound("pen/color_device/line_style", nullptr);
    expect_raises<qvErrorFrom<qvPropertyClass>>([&] { proxy.line_style(); },
                                                "Wrong type specified to access attribute property");
    EXPECT_THROW(proxy.line_style(qvLineStyle{3}), qvErrorFrom<qvPropertyClass>);
}

TEST(qvPropertyRef, Writes_at_most_once_and_only_an_assigned_value) {
    RecordingPalette palette;
    qvAttributeProxy proxy(palette, 0);
    qvFolder& style = folder("pen/color_device/line_style");
    proxy.line_style(qvLineStyle{4});
    const std::size_t before = palette.changes().size();
    { qvPropertyRef<qvLineStyle> untouched(proxy, style); }
    EXPECT_EQ(palette.changes().size(), before);
    {
        qvPropertyRef<qvLineStyle> ref(proxy, style);
        EXPECT_EQ(ref.value(), 4);
        ref = qvLineStyle{5};
        ref.commit();
        ref = qvLineStyle{6};  // committed already: the destructor writes nothing
    }
    EXPECT_EQ(palette.changes().size(), before + 1);
    EXPECT_EQ(proxy.line_style(), 5);
    {
        qvPropertyRef<qvLineStyle> ref(proxy, style);
        ref = qvLineStyle{7};
        ref.erase();
    }
    EXPECT_EQ(proxy.property(style), nullptr);
}

TEST(qvPropertyRefDeathTest, Commit_failing_in_destructor_aborts) {
    qvAttributeProxy no_palette;
    EXPECT_DEATH(
        {
            qvPropertyRef<qvLineStyle> ref(no_palette, folder("pen/color_device/line_style"));
            ref = qvLineStyle{2};
        },
        "Unexpected Orvane error: Attribute object has no palette");
}
