#pragma once
// qvSimplePropertyClass: a property class whose word is the value itself, a
// 32-bit integer.
//
// Keeps true: a stored word holds its 32-bit value sign-extended, so the
// word read as `long` and its first four bytes read as int32_t agree (the
// platform is little-endian); property(word) is the word's address, and
// readers of a simple value read an int32_t there. Only the 32-bit values
// are compared, copied and streamed.
//
// Stream form (little-endian):
//   offset  size  meaning
//        0     4  the value (int32)

#include <orvane/attributes/qvPropertyClass.hpp>

class qvSimplePropertyClass : public qvPropertyClass {
public:
    explicit qvSimplePropertyClass(char const* name) : qvPropertyClass(name) {}

    // Copies the int32 at the value pointer.
    void create_object(long& word, void const* value) const override;
    // Nothing to release.
    void destroy_object(long& word, qvPalette* palette) const override;
    void load_object(qvInputStream& is, long& word) const override;
    void save_object(qvOutputStream& os, long const& word) const override;
    bool equal_objects(void const* a, void const* b) const override;
    void property(long& word, void const* value) const override;
    void const* property(long const& word) const override;
};
