#pragma once
// The library's own property classes: "UNKNOWN" and the 25 standard classes,
// one process-wide object each, registered in the "PropertyClass Registry"
// under the names below and kept as unique objects of the same names.
//
// Keeps true:
//  - qvStandardPropertyClassHolder<C>() is the module's one holder of C's
//    unique object; qvStandardPropertyClass<C>() gets or creates the object
//    through it, so every caller (folders, typed accessors, the start-up)
//    reaches the same object, whose handle is the registry's for its name;
//  - the classes add nothing to their kind but the name.
//
// Stream forms of the value-object classes (little-endian):
//   "COLOR_RGB"        qvRgbColor's form (16 bytes from 3.4.1 on, else 12)
//   "COLOR_GRAY"       qvGrayColor's form (8 bytes from 3.4.1 on, else 4)
//   "COLOR_INDEX"      1 byte
//   "STRING"           qvString's form
//   "IMAGE"            qvBitmap's load and save
//   "CUSTOM_BRUSH"     qvCustomBrush's load and save
//   "MARKER_HOT_SPOT"  8 bytes: int32 x, int32 y
//   "MARKER_SIZE"      qvMarkerSize's form (8 bytes)
//   "LINE_WIDTH"       8 bytes: one float64
//   "LINE_PATTERN"     qvLinePattern's form
// The simple classes write their int32 (4 bytes), "UNKNOWN" its block.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvComplexPropertyClass.hpp>
#include <orvane/attributes/qvCustomBrush.hpp>
#include <orvane/attributes/qvGeneralPropertyClass.hpp>
#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvLinePattern.hpp>
#include <orvane/attributes/qvMarkerSize.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvSimplePropertyClass.hpp>
#include <orvane/core/qvString.hpp>
#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/geometry/qvCrd.hpp>

// ---------------------------------------------------------------------------
// Values streamed as raw bytes

template <>
struct qvPropertyValueStream<unsigned char> {
    static void load(qvInputStream& is, unsigned char& value);
    static void save(qvOutputStream& os, unsigned char const& value);
};

template <>
struct qvPropertyValueStream<qvCrdOf<int>> {
    static void load(qvInputStream& is, qvCrdOf<int>& value);
    static void save(qvOutputStream& os, qvCrdOf<int> const& value);
};

template <>
struct qvPropertyValueStream<qvWrap<double>> {
    static void load(qvInputStream& is, qvWrap<double>& value);
    static void save(qvOutputStream& os, qvWrap<double> const& value);
};

// ---------------------------------------------------------------------------
// The classes

#define QV_STANDARD_PROPERTY_CLASS(NAME, KIND)                              \
    class NAME##_INTERNAL_PROPERTY_CLASS : public KIND {                    \
    public:                                                                 \
        static char const* get_name() noexcept { return #NAME; }            \
        NAME##_INTERNAL_PROPERTY_CLASS() : KIND(get_name()) {}              \
    }

QV_STANDARD_PROPERTY_CLASS(UNKNOWN, qvGeneralPropertyClass);

QV_STANDARD_PROPERTY_CLASS(REF_COUNT, qvSimplePropertyClass);
// Holds an attribute handle but, as a plain simple class, releases nothing
// when a word is destroyed: an attribute named by another outlives it.
QV_STANDARD_PROPERTY_CLASS(REFERENCE, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(IS_SHARED, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(MARKER_STYLE, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(MARKER_DIAMETER, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(LINE_STYLE, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(LINE_END_CAP, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(LINE_JOIN, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(LINE_DIM_UNIT, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FILL_STYLE, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FONT_WEIGHT, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FONT_FAMILY, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FONT_SLANT, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FONT_SIZE, qvSimplePropertyClass);
QV_STANDARD_PROPERTY_CLASS(FONT_ATTRIBUTE, qvSimplePropertyClass);

QV_STANDARD_PROPERTY_CLASS(COLOR_RGB, qvComplexPropertyClass<qvRgbColor>);
QV_STANDARD_PROPERTY_CLASS(COLOR_GRAY, qvComplexPropertyClass<qvGrayColor>);
QV_STANDARD_PROPERTY_CLASS(COLOR_INDEX, qvComplexPropertyClass<unsigned char>);
QV_STANDARD_PROPERTY_CLASS(STRING, qvComplexPropertyClass<qvString>);
// Copies share the pixels; equal values share one pixel store.
QV_STANDARD_PROPERTY_CLASS(IMAGE, qvComplexPropertyClass<qvBitmap>);
// Copies share the brush's fill object and count one use of it each.
QV_STANDARD_PROPERTY_CLASS(CUSTOM_BRUSH, qvComplexPropertyClass<qvCustomBrush>);
QV_STANDARD_PROPERTY_CLASS(MARKER_HOT_SPOT, qvComplexPropertyClass<qvCrdOf<int>>);
QV_STANDARD_PROPERTY_CLASS(MARKER_SIZE, qvComplexPropertyClass<qvMarkerSize>);
QV_STANDARD_PROPERTY_CLASS(LINE_WIDTH, qvComplexPropertyClass<qvWrap<double>>);
QV_STANDARD_PROPERTY_CLASS(LINE_PATTERN, qvComplexPropertyClass<qvLinePattern>);

#undef QV_STANDARD_PROPERTY_CLASS

// ---------------------------------------------------------------------------
// Get-or-create accessors

template <class C>
qvUniqueObject<C>& qvStandardPropertyClassHolder() noexcept {
    static constinit qvUniqueObject<C> the_holder;
    return the_holder;
}

// The process-wide object of C, made and registered on first use.
template <class C>
C* qvStandardPropertyClass() {
    return qvStandardPropertyClassHolder<C>().get();
}
