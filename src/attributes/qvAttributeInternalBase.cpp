// qvAttributeInternalBase: a palette and a counted handle (see
// qvAttributeInternalBase.hpp).

#include <orvane/attributes/qvAttributeInternalBase.hpp>

#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

// Inline here, where every caller is: the reads pay one compare.
inline bool qvAttributeInternalBase::current() const noexcept { return content == palette->content(); }

qvAttributeInternalBase::qvAttributeInternalBase(qvPalette& palette_, long handle_)
    : palette(&palette_), content(palette_.content()) {
    if (handle_ != 0)
        palette_.add_ref(handle_);
    handle = handle_;
}

// A copy of an object whose handle is of an earlier content holds it the
// same way: refused, and counting nothing.
qvAttributeInternalBase::qvAttributeInternalBase(qvAttributeInternalBase const& other)
    : qvAttributeInterface(other), qvAttributeBase(other), palette(other.palette), content(other.content) {
    if (other.handle != 0 && other.current())
        palette->add_ref(other.handle);
    handle = other.handle;
}

qvAttributeInternalBase& qvAttributeInternalBase::operator=(qvAttributeInternalBase const& other) {
    if (this == &other)
        return *this;
    const bool counted = other.handle != 0 && other.current();
    if (counted)
        other.palette->add_ref(other.handle);
    try {
        if (handle != 0 && current())
            palette->release(handle);
    } catch (...) {
        if (counted)
            other.palette->release(other.handle);
        throw;
    }
    handle = other.handle;
    palette = other.palette;
    content = other.content;
    return *this;
}

qvAttributeInternalBase::~qvAttributeInternalBase() {
    if (handle == 0 || palette == nullptr || !current())
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

// One compare while the content lasts.
void qvAttributeInternalBase::check_attached() const {
    if (handle != 0 && !current())
        refuse_earlier_content();
}

// A palette replaced without words of its replacer's (none does so) still
// refuses.
void qvAttributeInternalBase::refuse_earlier_content() const {
    if (qvPalette::Refusal const refusal = palette->content_refusal())
        refusal();
    qvRaise(qvErrorFrom<qvAttributeBase>("Attribute handle of an earlier palette content"));
}

// Every change asks this before it takes a handle, so the handle it
// stores is one of the content noted here or checked to be current.
void qvAttributeInternalBase::check_writable() const {
    if (handle != 0)
        return check_attached();
    if (palette != nullptr)
        content = palette->content();
}

// A read through a handle of an earlier content would give whatever
// attribute has its number now (another file's), or nothing. Reads are the
// hot road (every drawn shape's pen and font): the check is the one
// compare, and the read goes straight to the palette with the handle and
// palette this object keeps (as its destructor releases them), not through
// the accessors the general base asks.
void const* qvAttributeInternalBase::property(qvFolder const& folder) {
    if (handle == 0 || palette == nullptr)
        return nullptr;
    if (!current()) [[unlikely]]
        refuse_earlier_content();
    return palette->property(handle, folder);
}

qvString qvAttributeInternalBase::attribute_name() {
    if (handle == 0 || palette == nullptr)
        return qvString(nullptr);
    if (!current()) [[unlikely]]
        refuse_earlier_content();
    return qvString(palette->name(handle));
}

// The handle is stored directly: the derived classes' stores would ask the
// palette about it.
void qvAttributeInternalBase::disconnect_attribute() {
    if (handle != 0 && !current()) {
        handle = 0;
        return;
    }
    qvAttributeBase::disconnect_attribute();
}
