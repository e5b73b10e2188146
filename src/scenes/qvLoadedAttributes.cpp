// qvLoadedAttributes: the attributes of the records a scene loads (see
// qvLoadedAttributes.hpp).

#include "scenes/qvLoadedAttributes.hpp"

#include "attributes/qvAttributeCopy.hpp"
#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <sstream>

namespace {

bool holds_attributes(qvPalette& palette) { return static_cast<bool>(palette.enumerate()); }

}  // namespace

qvLoadedAttributes::qvLoadedAttributes(qvInputStream& is, qvPalette& palette, bool owned)
    : is_(is), palette_(palette), owned_(owned), read_over_(owned && !holds_attributes(palette)) {}

qvLoadedAttributes::~qvLoadedAttributes() {
    if (!kept_)
        give_back();
}

// The kept form is written at the library's own version: it is read back
// by this palette in this process, whatever version the loaded stream has.
void qvLoadedAttributes::read_palette() {
    if (!owned_)
        return;
    if (!read_over_) {
        auto apart = std::make_unique<qvStandardPalette>();
        apart->load(is_);
        stream_palette_ = std::move(apart);
        return;
    }
    std::stringbuf buffer;
    qvOutputStream os(&buffer, qvVersion::default_version(), true);
    palette_.save(os);
    saved_palette_ = buffer.str();
    palette_.load(is_);
    replaced_ = true;
}

void qvLoadedAttributes::refuse() { qvThrowInputStreamError(is_, "Invalid attribute handle on input"); }

// The palette read over the scene's: nothing changes it until keep().
void qvLoadedAttributes::check(long handle) {
    if (!qvPaletteHolds(palette_, handle))
        refuse();
    checked_ = handle;
}

// Room for the new entry is made before the palette is asked for
// anything, so a reference taken is always noted.
void qvLoadedAttributes::take_reference(qvShapeBase& record) {
    const long handle = record.attribute_handle;
    const auto found = by_stream_handle_.find(handle);
    if (found != by_stream_handle_.end()) {
        Taken& taken = taken_[found->second];
        const std::int32_t held = qvCheckedInt32(taken.handle);
        palette_.add_ref(taken.handle);
        ++taken.references;
        record.attribute_handle = held;
        return;
    }
    taken_.reserve(taken_.size() + 1);
    const auto entry = by_stream_handle_.emplace(handle, taken_.size()).first;
    long held = 0;
    try {
        held = first_reference(handle);
    } catch (...) {
        by_stream_handle_.erase(entry);
        throw;
    }
    taken_.push_back(Taken{held, 1});
    record.attribute_handle = qvCheckedInt32(held);
}

long qvLoadedAttributes::first_reference(long handle) {
    if (stream_palette_) {
        if (!qvPaletteHolds(*stream_palette_, handle))
            refuse();
        const bool shared =
            stream_palette_->property(handle, qvAttributeFolder(qvAttributeFolderId::is_shared)) != nullptr;
        return qvCopyAttribute(*stream_palette_, handle, palette_, shared);
    }
    if (!qvPaletteHolds(palette_, handle))
        refuse();
    palette_.add_ref(handle);
    return handle;
}

// A palette load is all or nothing, and the kept form is the palette's
// own: reading it back can fail only for want of memory.
void qvLoadedAttributes::give_back() noexcept {
    if (replaced_) {
        try {
            std::stringbuf buffer(saved_palette_);
            qvInputStream in(&buffer);
            palette_.load(in);
        } catch (...) {
            // The load's own error is the one to report.
        }
        return;
    }
    for (auto taken = taken_.rbegin(); taken != taken_.rend(); ++taken) {
        for (long n = 0; n < taken->references; ++n) {
            try {
                palette_.release(taken->handle);
            } catch (...) {
                // Only a value destroyed with its attribute can raise here.
            }
        }
    }
}
