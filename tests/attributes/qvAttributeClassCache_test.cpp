// The 23 cached property-class pointers of the typed accessors, as the
// library's load leaves them: each the process-wide object of its class,
// copied without counting a further use of it.

#include <orvane/attributes/qvStandardPropertyClasses.hpp>

#include "attributes/qvAttributeClassCache.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace {

// In qvAttributeClassId order, written out independently of the library.
using CachedClasses = std::tuple<
    REFERENCE_INTERNAL_PROPERTY_CLASS, COLOR_RGB_INTERNAL_PROPERTY_CLASS,
    COLOR_GRAY_INTERNAL_PROPERTY_CLASS, COLOR_INDEX_INTERNAL_PROPERTY_CLASS,
    IMAGE_INTERNAL_PROPERTY_CLASS, STRING_INTERNAL_PROPERTY_CLASS,
    CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS, MARKER_STYLE_INTERNAL_PROPERTY_CLASS,
    MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS, MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS,
    MARKER_SIZE_INTERNAL_PROPERTY_CLASS, LINE_WIDTH_INTERNAL_PROPERTY_CLASS,
    LINE_STYLE_INTERNAL_PROPERTY_CLASS, LINE_PATTERN_INTERNAL_PROPERTY_CLASS,
    LINE_END_CAP_INTERNAL_PROPERTY_CLASS, LINE_JOIN_INTERNAL_PROPERTY_CLASS,
    LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS, FILL_STYLE_INTERNAL_PROPERTY_CLASS,
    FONT_WEIGHT_INTERNAL_PROPERTY_CLASS, FONT_FAMILY_INTERNAL_PROPERTY_CLASS,
    FONT_SLANT_INTERNAL_PROPERTY_CLASS, FONT_SIZE_INTERNAL_PROPERTY_CLASS,
    FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>;
static_assert(std::tuple_size_v<CachedClasses> == qvAttributeClassCount);

template <std::size_t... I, class F>
void for_each_class(std::index_sequence<I...>, F&& f) {
    (f(I, static_cast<std::tuple_element_t<I, CachedClasses>*>(nullptr)), ...);
}
template <class F>
void for_each_class(F&& f) {
    for_each_class(std::make_index_sequence<qvAttributeClassCount>{}, f);
}

}  // namespace

TEST(qvAttributeClassCache, Load_fills_every_pointer_with_the_standard_class_object) {
    for_each_class([](std::size_t i, auto* tag) {
        using C = std::remove_pointer_t<decltype(tag)>;
        qvPropertyClass* const cached = qvCachedAttributeClass(static_cast<qvAttributeClassId>(i));
        EXPECT_NE(cached, nullptr) << C::get_name();
        EXPECT_EQ(cached, qvStandardPropertyClassHolder<C>().object) << C::get_name();
        EXPECT_EQ(cached->handle(), qvPropertyClass::registry()->id(C::get_name())) << C::get_name();
    });
}

// Giving back the library's one use must delete each class: a use counted
// by the cache would keep it alive. Destructive, so it runs in a child.
TEST(qvAttributeClassCacheDeathTest, Filling_counted_no_use_of_any_class) {
    EXPECT_EXIT(
        {
            int kept = 0;
            for_each_class([&](std::size_t, auto* tag) {
                using C = std::remove_pointer_t<decltype(tag)>;
                qvStandardPropertyClassHolder<C>().release();
                kept += qvStandardPropertyClassHolder<C>().object != nullptr;
            });
            std::_Exit(kept);
        },
        ::testing::ExitedWithCode(0), "");
}
