// qvSimplePropertyClass: a 32-bit value kept in the word itself (see
// qvSimplePropertyClass.hpp).

#include <orvane/attributes/qvSimplePropertyClass.hpp>

#include "core/qvStreamFields.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <cstdint>
#include <cstring>

namespace {

// A simple value as readers see it: the int32 at the value pointer.
std::int32_t value_at(void const* value) noexcept {
    std::int32_t v;
    std::memcpy(&v, value, sizeof v);
    return v;
}

}  // namespace

void qvSimplePropertyClass::create_object(long& word, void const* value) const {
    word = value_at(value);
}

void qvSimplePropertyClass::destroy_object(long&, qvPalette*) const {}

void qvSimplePropertyClass::load_object(qvInputStream& is, long& word) const {
    word = qvReadValue<std::int32_t>(is);
}

void qvSimplePropertyClass::save_object(qvOutputStream& os, long const& word) const {
    qvWriteInt32(os, word);
}

bool qvSimplePropertyClass::equal_objects(void const* a, void const* b) const {
    QV_ASSERT_TEXT(a && b, "a && b");
    return value_at(a) == value_at(b);
}

void qvSimplePropertyClass::property(long& word, void const* value) const {
    word = value_at(value);
}

void const* qvSimplePropertyClass::property(long const& word) const { return &word; }
