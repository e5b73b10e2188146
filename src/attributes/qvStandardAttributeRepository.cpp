// qvStandardAttributeRepository: names of attributes beside their
// "attr_name" values (see qvStandardAttributeRepository.hpp).

#include <orvane/attributes/qvStandardAttributeRepository.hpp>

#include "attributes/qvPaletteSystemFolders.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvError.hpp>

namespace {

[[noreturn]] void raise_repository_error(char const* message) {
    qvRaise(qvErrorFrom<qvStandardAttributeRepository>(message));
}

qvFolder const& name_folder() { return *qvPaletteSystemFolder("attr_name"); }

}  // namespace

long qvStandardAttributeRepository::handle(char const* name) const {
    if (name == nullptr)
        return 0;
    auto const it = names_.find(qvString(name));
    return it != names_.end() ? it->second : 0;
}

char const* qvStandardAttributeRepository::name(long handle) const {
    if (handle == 0)
        return nullptr;
    auto const* const value = static_cast<qvString const*>(palette_->property(handle, name_folder()));
    return value != nullptr ? static_cast<char const*>(*value) : nullptr;
}

long qvStandardAttributeRepository::add_name(long handle, char const* name, bool shared) {
    if (name == nullptr)
        raise_repository_error("Cannot use NULL as a name for an attribute");
    // An unknown handle is refused here, before the name is taken from the
    // attribute that holds it.
    if (handle == 0 || palette_->property(handle, *qvPaletteSystemFolder("ref_count")) == nullptr)
        raise_repository_error("Cannot associate name with invalid attribute handle");

    remove_name(this->handle(name));
    const qvString value(name);
    const long named = palette_->property(handle, name_folder(), &value, shared);
    names_[value] = named;
    palette_->add_ref(named);  // the repository's reference
    if (named != handle)
        remove_name(handle);
    return named;
}

long qvStandardAttributeRepository::remove_name(long handle) {
    char const* const held = name(handle);
    if (held == nullptr)
        return 0;
    auto const it = names_.find(qvString(held));
    if (it != names_.end() && it->second == handle)
        names_.erase(it);
    const long unnamed = palette_->remove(handle, name_folder(), true);
    palette_->release(unnamed);  // the repository's reference
    return unnamed;
}

void qvStandardAttributeRepository::init() {
    names_.clear();
    qvFolder const& folder = name_folder();
    for (auto it = palette_->enumerate(); it; ++it) {
        const long handle = *it;
        if (auto const* value = static_cast<qvString const*>(palette_->property(handle, folder)))
            names_.emplace(*value, handle);  // the lowest handle keeps a repeated name
    }
}
