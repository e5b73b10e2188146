// qvReferencePropertyClass: a word naming another attribute of the same
// palette, released there when the word is destroyed (see
// qvReferencePropertyClass.hpp).

#include <orvane/attributes/qvReferencePropertyClass.hpp>

#include <orvane/core/qvAssertionError.hpp>

// The palette's interface is built on top of the property classes, so this
// file may be compiled before that interface exists. Until it does, no
// palette object can exist either, and a null palette is the only one that
// can arrive here.
#if __has_include(<orvane/attributes/qvPalette.hpp>)
#include <orvane/attributes/qvPalette.hpp>
#define QV_REFERENCE_RELEASES_IN_PALETTE 1
#else
#define QV_REFERENCE_RELEASES_IN_PALETTE 0
#endif

void qvReferencePropertyClass::destroy_object(long& word, qvPalette* palette) const {
#if QV_REFERENCE_RELEASES_IN_PALETTE
    if (palette != nullptr)
        palette->release(word);
#else
    (void)word;
    QV_ASSERT(palette == nullptr);
#endif
}
