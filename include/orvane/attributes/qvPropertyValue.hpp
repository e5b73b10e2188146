#pragma once
// qvPropertyValue<T>: a typed read of one folder value, checked against the
// property class bound to the folder.
//
// Keeps true:
//  - the check runs on every read, whether the folder has a value or not:
//    the folder's class must be the standard class of T, compared by class
//    handle (so every object standing for a class passes), else
//    qvErrorFrom<qvPropertyClass> "Wrong type specified to access attribute
//    property" is raised before the value is touched;
//  - an absent value leaves the value-initialised T (the accessors supply
//    their own results for absent values);
//  - values of simple classes (enumerations, font sizes) are the first 4
//    bytes of the stored word, read as they stand; other values are copied
//    from the class's object.

#include <orvane/attributes/qvAttributeEnums.hpp>
#include <orvane/attributes/qvAttributeFolderInterface.hpp>
#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/geometry/qvCrd.hpp>

#include <cstdint>
#include <cstring>
#include <type_traits>

class qvPropertyClass;

// The standard classes the typed accessors check against, in the order of
// their cached pointers.
enum class qvAttributeClassId : int {
    reference, color_rgb, color_gray, color_index, image, string, custom_brush,
    marker_style, marker_diameter, marker_hot_spot, marker_size, line_width,
    line_style, line_pattern, line_end_cap, line_join, line_dim_unit, fill_style,
    font_weight, font_family, font_slant, font_size, font_attribute
};
inline constexpr int qvAttributeClassCount = 23;

// Raises the wrong-type error unless `bound` stands for the expected class
// (a folder without a class never does).
void qvCheckPropertyClass(qvPropertyClass const* bound, qvAttributeClassId expected);

// The class of each value type and whether the value is a simple class's
// 32-bit word.
template <class T>
struct qvPropertyValueType;

#define QV_PROPERTY_VALUE_TYPE(T, ID, IN_WORD)                                     \
    template <>                                                                    \
    struct qvPropertyValueType<T> {                                                \
        static constexpr qvAttributeClassId id = qvAttributeClassId::ID;           \
        static constexpr bool in_word = IN_WORD;                                   \
    }

QV_PROPERTY_VALUE_TYPE(qvRgbColor, color_rgb, false);
QV_PROPERTY_VALUE_TYPE(qvGrayColor, color_gray, false);
QV_PROPERTY_VALUE_TYPE(unsigned char, color_index, false);
QV_PROPERTY_VALUE_TYPE(qvWrap<double>, line_width, false);
QV_PROPERTY_VALUE_TYPE(qvDimUnit, line_dim_unit, true);
QV_PROPERTY_VALUE_TYPE(qvLineStyle, line_style, true);
QV_PROPERTY_VALUE_TYPE(qvLinePattern, line_pattern, false);
QV_PROPERTY_VALUE_TYPE(qvLineEndCap, line_end_cap, true);
QV_PROPERTY_VALUE_TYPE(qvLineJoin, line_join, true);
QV_PROPERTY_VALUE_TYPE(qvFillStyle, fill_style, true);
QV_PROPERTY_VALUE_TYPE(qvBitmap, image, false);
QV_PROPERTY_VALUE_TYPE(qvCustomBrush, custom_brush, false);
QV_PROPERTY_VALUE_TYPE(qvMarkerStyle, marker_style, true);
QV_PROPERTY_VALUE_TYPE(qvMarkerDiameter, marker_diameter, true);
QV_PROPERTY_VALUE_TYPE(qvMarkerSize, marker_size, false);
QV_PROPERTY_VALUE_TYPE(qvCrdOf<int>, marker_hot_spot, false);
QV_PROPERTY_VALUE_TYPE(qvFontFamily, font_family, true);
QV_PROPERTY_VALUE_TYPE(qvString, string, false);
QV_PROPERTY_VALUE_TYPE(qvWrap<float>, font_size, true);
QV_PROPERTY_VALUE_TYPE(qvFontSlant, font_slant, true);
QV_PROPERTY_VALUE_TYPE(qvFontWeight, font_weight, true);
QV_PROPERTY_VALUE_TYPE(qvFontAttribute, font_attribute, true);

#undef QV_PROPERTY_VALUE_TYPE

template <class T>
class qvPropertyValue {
public:
    // From a raw value (null when absent) and the folder's bound class.
    qvPropertyValue(void const* raw, qvPropertyClass const* bound) : absent_(raw == nullptr) {
        qvCheckPropertyClass(bound, qvPropertyValueType<T>::id);
        if (raw != nullptr)
            read(raw);
    }
    // The object's value of the folder.
    qvPropertyValue(qvAttributeFolderInterface& object, qvFolder const& folder)
        : qvPropertyValue(object.property(folder), folder.type()) {}
    // The palette's value of (handle, folder).
    qvPropertyValue(qvPalette const& palette, long handle, qvFolder const& folder)
        : qvPropertyValue(palette.property(handle, folder), folder.type()) {}

    T const& value() const noexcept { return value_; }
    bool absent() const noexcept { return absent_; }

protected:
    T value_{};
    bool absent_;

private:
    void read(void const* raw) {
        if constexpr (qvPropertyValueType<T>::in_word) {
            static_assert(sizeof(T) == sizeof(std::int32_t) && std::is_trivially_copyable_v<T>);
            std::memcpy(&value_, raw, sizeof(std::int32_t));
        } else {
            value_ = *static_cast<T const*>(raw);
        }
    }
};
