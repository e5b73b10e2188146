#pragma once
// qvComplexPropertyClassBase: a property class whose word holds a pointer to
// a heap value that the stored word owns. The word is a `long`, wide enough
// for a pointer on the platforms built for.
//
// Keeps true: property(word, value) stores the value pointer without copying
// (a word that owns nothing and must not be destroyed); property(word) gives
// back the pointer the word holds.

#include <orvane/attributes/qvPropertyClass.hpp>

#include <cstdint>

static_assert(sizeof(long) >= sizeof(void*), "a palette word must hold a pointer");

class qvComplexPropertyClassBase : public qvPropertyClass {
public:
    explicit qvComplexPropertyClassBase(char const* name) : qvPropertyClass(name) {}

    void property(long& word, void const* value) const override { word = word_of(value); }
    void const* property(long const& word) const override { return pointer_of(word); }

protected:
    static long word_of(void const* pointer) noexcept {
        return static_cast<long>(reinterpret_cast<std::intptr_t>(pointer));
    }
    static void* pointer_of(long word) noexcept {
        return reinterpret_cast<void*>(static_cast<std::intptr_t>(word));
    }
};
