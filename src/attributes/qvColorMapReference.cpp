// qvColorMapReference: lookup of an entry by index; see the header.

#include <orvane/attributes/qvColorMapReference.hpp>

#include <orvane/attributes/qvColorMapEntry.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

qvColorMapEntry& qvColorMapReference::operator[](unsigned char i) const {
    if (!simple_) return find_entry(i);
    QV_ASSERT_TEXT(i < size_, "i < _size");
    return entries_[i];
}

qvColorMapEntry& qvColorMapReference::find_entry(unsigned char i) const {
    for (int k = 0; k < size_; ++k)
        if (entries_[k].index() == i) return entries_[k];
    qvRaise(qvErrorFrom<qvColorMapReference>("Wrong colormap index specified"));
}
