// qvAttributeInternalBase: a palette and a counted handle (see
// qvAttributeInternalBase.hpp).

#include <orvane/attributes/qvAttributeInternalBase.hpp>

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

qvAttributeInternalBase::qvAttributeInternalBase(qvPalette& palette_, long handle_)
    : palette(&palette_) {
    if (handle_ != 0)
        palette_.add_ref(handle_);
    handle = handle_;
}

qvAttributeInternalBase::qvAttributeInternalBase(qvAttributeInternalBase const& other)
    : qvAttributeInterface(other), qvAttributeBase(other), palette(other.palette) {
    if (other.handle != 0)
        palette->add_ref(other.handle);
    handle = other.handle;
}

qvAttributeInternalBase& qvAttributeInternalBase::operator=(qvAttributeInternalBase const& other) {
    if (this == &other)
        return *this;
    if (other.handle != 0)
        other.palette->add_ref(other.handle);
    try {
        if (handle != 0)
            palette->release(handle);
    } catch (...) {
        if (other.handle != 0)
            other.palette->release(other.handle);
        throw;
    }
    handle = other.handle;
    palette = other.palette;
    return *this;
}

qvAttributeInternalBase::~qvAttributeInternalBase() {
    if (handle == 0 || palette == nullptr)
        return;
    try {
        palette->release(handle);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvAttributeInternalBase::attr_source(qvPalette* new_palette) {
    QV_ASSERT_TEXT(handle == 0, "!handle");
    palette = new_palette;
}
