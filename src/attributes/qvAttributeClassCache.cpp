// The cached property-class pointers of the typed accessors, and the type
// check that reads them (see qvAttributeClassCache.hpp).

#include "attributes/qvAttributeClassCache.hpp"

#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvError.hpp>

#include <array>

namespace {

constexpr std::size_t class_count = qvAttributeClassCount;

// The holder's object of C, through get-or-create: a filled holder counts
// nothing more.
template <class C>
qvPropertyClass* holder_object() {
    return qvStandardPropertyClassHolder<C>().get();
}

// In qvAttributeClassId order.
constexpr std::array<qvPropertyClass* (*)(), class_count> class_sources = {
    &holder_object<REFERENCE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<COLOR_RGB_INTERNAL_PROPERTY_CLASS>,
    &holder_object<COLOR_GRAY_INTERNAL_PROPERTY_CLASS>,
    &holder_object<COLOR_INDEX_INTERNAL_PROPERTY_CLASS>,
    &holder_object<IMAGE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<STRING_INTERNAL_PROPERTY_CLASS>,
    &holder_object<CUSTOM_BRUSH_INTERNAL_PROPERTY_CLASS>,
    &holder_object<MARKER_STYLE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<MARKER_DIAMETER_INTERNAL_PROPERTY_CLASS>,
    &holder_object<MARKER_HOT_SPOT_INTERNAL_PROPERTY_CLASS>,
    &holder_object<MARKER_SIZE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_WIDTH_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_STYLE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_PATTERN_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_END_CAP_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_JOIN_INTERNAL_PROPERTY_CLASS>,
    &holder_object<LINE_DIM_UNIT_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FILL_STYLE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FONT_WEIGHT_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FONT_FAMILY_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FONT_SLANT_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FONT_SIZE_INTERNAL_PROPERTY_CLASS>,
    &holder_object<FONT_ATTRIBUTE_INTERNAL_PROPERTY_CLASS>,
};

constinit std::array<qvPropertyClass*, class_count> cached_classes{};

std::size_t index_of(qvAttributeClassId id) noexcept { return static_cast<std::size_t>(id); }

}  // namespace

qvPropertyClass& qvAttributeClass(qvAttributeClassId id) {
    qvPropertyClass*& entry = cached_classes[index_of(id)];
    if (entry == nullptr)
        entry = class_sources[index_of(id)]();
    return *entry;
}

qvPropertyClass* qvCachedAttributeClass(qvAttributeClassId id) noexcept {
    return cached_classes[index_of(id)];
}

qvAttributeClassCacheFill::qvAttributeClassCacheFill() {
    for (std::size_t i = 0; i < class_count; ++i)
        qvAttributeClass(static_cast<qvAttributeClassId>(i));
}

void qvCheckPropertyClass(qvPropertyClass const* bound, qvAttributeClassId expected) {
    if (bound == nullptr || bound->handle() != qvAttributeClass(expected).handle())
        qvRaise(qvErrorFrom<qvPropertyClass>("Wrong type specified to access attribute property"));
}
