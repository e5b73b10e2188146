// qvReferencePropertyClass: a word naming another attribute of the same
// palette, released there when the word is destroyed (see
// qvReferencePropertyClass.hpp).

#include <orvane/attributes/qvReferencePropertyClass.hpp>

#include <orvane/attributes/qvPalette.hpp>

void qvReferencePropertyClass::destroy_object(long& word, qvPalette* palette) const {
    if (palette != nullptr)
        palette->release(word);
}
