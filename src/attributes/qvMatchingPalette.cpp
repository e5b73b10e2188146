// qvMatchingPalette: forwards to its base palette and merges attributes of
// equal content through its index (see qvMatchingPalette.hpp).

#include <orvane/attributes/qvMatchingPalette.hpp>

#include "attributes/qvMatchingPaletteIndex.hpp"

qvMatchingPalette::qvMatchingPalette(qvPalette* base)
    : index_(std::make_unique<qvMatchingPaletteIndex>(base)) {
    index_->base().initialize(this);
}

qvMatchingPalette::~qvMatchingPalette() = default;

// ---------------------------------------------------------------------------
// Names: the base's repository, which names through this palette

void qvMatchingPalette::initialize(qvPalette* palette) { index_->base().initialize(palette); }

long qvMatchingPalette::handle(char const* name) const { return index_->base().handle(name); }

char const* qvMatchingPalette::name(long handle) const { return index_->base().name(handle); }

long qvMatchingPalette::add_name(long handle, char const* name, bool shared) {
    return index_->base().add_name(handle, name, shared);
}

long qvMatchingPalette::remove_name(long handle) { return index_->base().remove_name(handle); }

// ---------------------------------------------------------------------------
// Attributes

qvIndirectIterator<qvWrap<long>> qvMatchingPalette::enumerate() { return index_->base().enumerate(); }

long qvMatchingPalette::alloc(bool shared) { return index_->alloc(shared); }

void qvMatchingPalette::add_ref(long handle) { index_->base().add_ref(handle); }

int qvMatchingPalette::release(long handle) { return index_->release(handle); }

long qvMatchingPalette::copy(long src, long dst, qvFolder const& folder, bool shared) {
    return index_->copy(src, dst, folder, shared);
}

long qvMatchingPalette::remove(long handle, qvFolder const& folder, bool shared) {
    return index_->remove(handle, folder, shared);
}

long qvMatchingPalette::property(long handle, qvFolder const& folder, void const* value,
                                 bool shared) {
    return index_->write(handle, folder, value, shared);
}

void const* qvMatchingPalette::property(long handle, qvFolder const& folder) const {
    return index_->base().property(handle, folder);
}

qvSenderInvalidate<long>& qvMatchingPalette::publisher() { return index_->base().publisher(); }

// ---------------------------------------------------------------------------
// Cookies and persistence

void qvMatchingPalette::cookie(qvCookieHandle const& handle, orvane::auto_ptr<qvCookie> cookie) {
    index_->base().cookie(handle, cookie);
}

qvCookie* qvMatchingPalette::cookie(qvCookieHandle const& handle) {
    return index_->base().cookie(handle);
}

long qvMatchingPalette::time_stamp() const { return index_->base().time_stamp(); }

qvSafePtr<qvCookie> qvMatchingPalette::shared_cookie(qvCookieHandle const& handle) {
    return index_->base().shared_cookie(handle);
}

void qvMatchingPalette::replace_cookie(qvCookieHandle const& handle,
                                       qvSafePtr<qvCookie> const& cookie) {
    index_->base().replace_cookie(handle, cookie);
}

void qvMatchingPalette::load(qvInputStream& is) { index_->load(is); }

void qvMatchingPalette::save(qvOutputStream& os) const { index_->base().save(os); }
