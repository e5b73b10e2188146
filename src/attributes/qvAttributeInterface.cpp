// The typed accessors of qvAttributeInterface (see qvAttributeInterface.hpp).
// Every getter is a checked read with its absent result; every setter a
// checked write-back reference committed (or erased) at once, so a failing
// write raises to the caller instead of reaching a destructor. A composite
// setter checks the folders of its later writes before its first one, so a
// wrongly bound folder stops it before anything is written; font_style
// checks its size there too.

#include <orvane/attributes/qvAttributeInterface.hpp>

#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvPropertyRef.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>

namespace {

using F = qvAttributeFolderId;

template <class T>
T get_or(qvAttributeFolderInterface& object, F id, T const& absent) {
    const qvPropertyValue<T> read(object, qvAttributeFolder(id));
    return read.absent() ? absent : read.value();
}

template <class T>
void set(qvAttributeFolderInterface& object, F id, T const& value) {
    qvPropertyRef<T> ref(object, qvAttributeFolder(id));
    ref = value;
    ref.commit();
}

// Checks a folder of a composite setter before its first write.
template <class T>
void check(F id) {
    qvCheckPropertyClass(qvAttributeFolder(id).type(), qvPropertyValueType<T>::id);
}

template <class T>
void erase(qvAttributeFolderInterface& object, F id) {
    qvPropertyRef<T> ref(object, qvAttributeFolder(id));
    ref.erase();
}

// The one raise of the sizes' error.
void require_finite_size(double value) {
    if (!qvIsFinite(value))
        qvRaise(qvErrorFrom<qvAttributeInterface>("Attribute size is not finite"));
}

const qvRgbColor absent_color{};
const qvMarkerSize default_marker_size{4.0};

}  // namespace

// ---------------------------------------------------------------------------
// Colours: one read, five write forms each

#define QV_COLOR_ACCESSORS(NAME, ID)                                                      \
    qvRgbColor qvAttributeInterface::NAME() { return get_or(*this, F::ID, absent_color); } \
    void qvAttributeInterface::NAME(qvRgbColor const& color) { set(*this, F::ID, color); } \
    void qvAttributeInterface::NAME(float gray) { NAME(qvRgbColor(qvGrayColor(gray))); }   \
    void qvAttributeInterface::NAME(float gray, float alpha) {                            \
        NAME(qvRgbColor(qvGrayColor(gray, alpha)));                                       \
    }                                                                                     \
    void qvAttributeInterface::NAME(float r, float g, float b) { NAME(qvRgbColor(r, g, b)); } \
    void qvAttributeInterface::NAME(float r, float g, float b, float a) {                 \
        NAME(qvRgbColor(r, g, b, a));                                                     \
    }

QV_COLOR_ACCESSORS(line_color, line_color)
QV_COLOR_ACCESSORS(line_background_color, line_background_color)
QV_COLOR_ACCESSORS(fill_color, fill_color)
QV_COLOR_ACCESSORS(fill_background_color, fill_background_color)

#undef QV_COLOR_ACCESSORS

// ---------------------------------------------------------------------------
// Single values

#define QV_VALUE_ACCESSORS(NAME, TYPE, ID, ABSENT)                                          \
    TYPE qvAttributeInterface::NAME() { return get_or(*this, F::ID, static_cast<TYPE>(ABSENT)); } \
    void qvAttributeInterface::NAME(TYPE value) { set(*this, F::ID, value); }

QV_VALUE_ACCESSORS(line_color_index, unsigned char, line_color_index, 0)
QV_VALUE_ACCESSORS(line_width_unit, qvDimUnit, line_dim_unit, 0)
QV_VALUE_ACCESSORS(line_style, qvLineStyle, line_style, 1)
QV_VALUE_ACCESSORS(line_end_cap, qvLineEndCap, line_end_cap, 0)
QV_VALUE_ACCESSORS(line_join, qvLineJoin, line_join, 0)
QV_VALUE_ACCESSORS(fill_color_index, unsigned char, fill_color_index, 0)
QV_VALUE_ACCESSORS(fill_style, qvFillStyle, fill_style, 1)
QV_VALUE_ACCESSORS(marker_style, qvMarkerStyle, marker_style, 0)
QV_VALUE_ACCESSORS(marker_hot_spot, qvCrdOf<int>, marker_hot_spot, qvCrdOf<int>())
QV_VALUE_ACCESSORS(font_slant, qvFontSlant, font_slant, 0)
QV_VALUE_ACCESSORS(font_weight, qvFontWeight, font_weight, 4)
QV_VALUE_ACCESSORS(font_attribute, qvFontAttribute, font_attribute, 0)

#undef QV_VALUE_ACCESSORS

// ---------------------------------------------------------------------------
// Sizes: finite, or refused before anything is written. A NaN width reaches
// every cookie baked from the attribute and makes the hit test of each
// shape using it fail, so its shapes could no longer be picked.

qvWrap<double> qvAttributeInterface::line_width() { return get_or(*this, F::line_width, qvWrap<double>(0.0)); }
void qvAttributeInterface::line_width(qvWrap<double> width) {
    require_finite_size(width);
    set(*this, F::line_width, width);
}

qvMarkerSize qvAttributeInterface::marker_size() { return get_or(*this, F::marker_size, default_marker_size); }
void qvAttributeInterface::marker_size(qvMarkerSize size) {
    require_finite_size(size.size());
    set(*this, F::marker_size, size);
}

qvWrap<float> qvAttributeInterface::font_size() { return get_or(*this, F::font_size, qvWrap<float>(0.0f)); }
void qvAttributeInterface::font_size(qvWrap<float> size) {
    require_finite_size(size);
    set(*this, F::font_size, size);
}

void qvAttributeInterface::fill_brush(qvCustomBrush const& brush) {
    set(*this, F::fill_custom_brush, brush);
}
qvCustomBrush qvAttributeInterface::fill_brush() {
    return get_or(*this, F::fill_custom_brush, qvCustomBrush());
}

// ---------------------------------------------------------------------------
// Patterns and images

qvLinePattern qvAttributeInterface::line_pattern() {
    return get_or(*this, F::line_pattern, qvLinePattern());
}

void qvAttributeInterface::line_pattern(qvLinePattern const& pattern) {
    check<qvLinePattern>(F::line_pattern);
    line_style(qvLineStyle{6});
    set(*this, F::line_pattern, pattern);
}

void qvAttributeInterface::line_pattern(double const* dashes, int count, double offset) {
    line_pattern(qvLinePattern(dashes, count, offset));
}

qvBitmap qvAttributeInterface::fill_pattern() { return get_or(*this, F::fill_image, qvBitmap()); }

void qvAttributeInterface::fill_pattern(qvBitmapReference const& image) {
    check<qvFillStyle>(F::fill_style);
    set(*this, F::fill_image, qvBitmap(image));
    fill_style(qvFillStyle{8});
}

qvBitmap qvAttributeInterface::marker_pattern() {
    return get_or(*this, F::marker_image, qvBitmap());
}

void qvAttributeInterface::marker_pattern(qvBitmapReference const& image) {
    check<qvBitmap>(F::marker_image);
    marker_style(qvMarkerStyle{7});
    set(*this, F::marker_image, qvBitmap(image));
}

// ---------------------------------------------------------------------------
// Font

qvFontFamily qvAttributeInterface::font_family() {
    return get_or(*this, F::font_family, qvFontFamily{});
}

void qvAttributeInterface::font_family(qvFontFamily family) {
    if (family == 0)
        erase<qvFontFamily>(*this, F::font_family);
    else
        set(*this, F::font_family, family);
}

qvString qvAttributeInterface::font_name() { return get_or(*this, F::font_name, qvString()); }

void qvAttributeInterface::font_name(char const* name) {
    if (name == nullptr || *name == '\0')
        erase<qvString>(*this, F::font_name);
    else
        set(*this, F::font_name, qvString(name));
}

void qvAttributeInterface::font_style(qvFontFamily family, char const* name, qvWrap<float> size,
                                      qvFontSlant slant, qvFontWeight weight,
                                      qvFontAttribute attribute) {
    check<qvString>(F::font_name);
    check<qvWrap<float>>(F::font_size);
    require_finite_size(size);
    check<qvFontSlant>(F::font_slant);
    check<qvFontWeight>(F::font_weight);
    check<qvFontAttribute>(F::font_attribute);
    font_family(family);
    font_name(name);
    font_size(size);
    font_slant(slant);
    font_weight(weight);
    font_attribute(attribute);
}

void qvAttributeInterface::font_style(qvFontFamily family, qvWrap<float> size, qvFontSlant slant,
                                      qvFontWeight weight, qvFontAttribute attribute) {
    font_style(family, nullptr, size, slant, weight, attribute);
}

void qvAttributeInterface::font_style(char const* name, qvWrap<float> size, qvFontSlant slant,
                                      qvFontWeight weight, qvFontAttribute attribute) {
    font_style(qvFontFamily{}, name, size, slant, weight, attribute);
}
