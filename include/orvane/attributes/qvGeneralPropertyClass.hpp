#pragma once
// qvGeneralPropertyClass: a property class whose word points to a heap block
// of an int32 byte count n followed by n bytes, kept as it stands. The
// "UNKNOWN" class is one, so that values of a class the reading process
// lacks survive a read and a write unchanged.
//
// Keeps true: a block's count is never negative; a stored word owns its block
// (created by create_object or load_object, freed by destroy_object).
//
// Block and stream form (little-endian, identical):
//   offset  size  meaning
//        0     4  n, the byte count (int32, >= 0)
//        4     n  the bytes
// Reading refuses a negative count ("Invalid count on input") and takes the
// bytes as they arrive, so a large count on short input fails with
// "Incomplete data on input" before a large allocation.

#include <orvane/attributes/qvComplexPropertyClassBase.hpp>

class qvGeneralPropertyClass : public qvComplexPropertyClassBase {
public:
    explicit qvGeneralPropertyClass(char const* name) : qvComplexPropertyClassBase(name) {}

    // Copies the n + 4 bytes of the block at the value pointer.
    void create_object(long& word, void const* value) const override;
    // Frees the block and sets the word to 0.
    void destroy_object(long& word, qvPalette* palette) const override;
    void load_object(qvInputStream& is, long& word) const override;
    void save_object(qvOutputStream& os, long const& word) const override;
    // Equal counts, then equal bytes.
    bool equal_objects(void const* a, void const* b) const override;
};
