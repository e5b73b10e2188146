#pragma once
// qvStandardPropertyClassSet: the library's hold on "UNKNOWN" and the 25
// standard property classes, taken at load in the order below and given
// back at unload in reverse.
//
// Keeps true: at load each class's holder is filled by get-or-create (the
// folders already filled most of them, which then counts nothing more); at
// unload each holder releases its use, deleting the class when that was its
// last user, so a class a host's module also holds outlives the library's
// hold. The "PropertyClass Registry" must exist before and outlive the set.

#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvError.hpp>

#include <array>

template <class... C>
class qvPropertyClassHolds {
public:
    qvPropertyClassHolds() { (qvStandardPropertyClassHolder<C>().get_or_create(), ...); }
    qvPropertyClassHolds(qvPropertyClassHolds const&) = delete;
    qvPropertyClassHolds& operator=(qvPropertyClassHolds const&) = delete;
    ~qvPropertyClassHolds() {
        constexpr std::array<void (*)(), sizeof...(C)> releases = {&release<C>...};
        for (auto it = releases.rbegin(); it != releases.rend(); ++it)
            (*it)();
    }

private:
    template <class One>
    static void release() noexcept {
        try {
            qvStandardPropertyClassHolder<One>().release();
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }
};

using qvStandardPropertyClassSet = qvPropertyClassHolds<
    UNKNOWN_INTERNAL_PROPERTY_CLASS, REF_COUNT_INTERNAL_PROPERTY_CLASS,
    REFERENCE_INTERNAL_PROPERTY_CLASS, IS_SHARED_INTERNAL_PROPERTY_CLASS,
    COLOR_RGB_INTERNAL_PROPERTY_CLASS, COLOR_GRAY_INTERNAL_PROPERTY_CLASS,
    COLOR_INDEX_INTERNAL_PROPERTY_CLASS, STRING_INTERNAL_PROPERTY_CLASS,
    IMAGE_INTERNAL_PROPERTY_CLASS, CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS,
    MARKER_STYLE_INTERNAL_PROPERTY_CLASS, MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS,
    MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS, MARKER_SIZE_INTERNAL_PROPERTY_CLASS,
    LINE_WIDTH_INTERNAL_PROPERTY_CLASS, LINE_STYLE_INTERNAL_PROPERTY_CLASS,
    LINE_PATTERN_INTERNAL_PROPERTY_CLASS, LINE_END_CAP_INTERNAL_PROPERTY_CLASS,
    LINE_JOIN_INTERNAL_PROPERTY_CLASS, LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS,
    FILL_STYLE_INTERNAL_PROPERTY_CLASS, FONT_WEIGHT_INTERNAL_PROPERTY_CLASS,
    FONT_FAMILY_INTERNAL_PROPERTY_CLASS, FONT_SLANT_INTERNAL_PROPERTY_CLASS,
    FONT_SIZE_INTERNAL_PROPERTY_CLASS, FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>;
