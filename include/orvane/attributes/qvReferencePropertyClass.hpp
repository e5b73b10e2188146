#pragma once
// qvReferencePropertyClass: a simple property class whose word is the handle
// of another attribute of the same palette, which the word holds a
// reference on: destroying the word with a palette releases that attribute
// there. Without a palette (a palette tearing itself down) nothing is
// released. Stream form and comparison are those of the simple class.

#include <orvane/attributes/qvSimplePropertyClass.hpp>

class qvReferencePropertyClass : public qvSimplePropertyClass {
public:
    explicit qvReferencePropertyClass(char const* name) : qvSimplePropertyClass(name) {}

    void destroy_object(long& word, qvPalette* palette) const override;
};
