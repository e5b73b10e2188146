// qvFolder: registration by path, ordering, enumeration and folder
// references on streams (see qvFolder.hpp).

#include <orvane/attributes/qvFolder.hpp>

#include "attributes/qvFolderIteratorImplementation.hpp"
#include "attributes/qvRegistrationRelease.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include <cstring>

qvUniqueObject<qvFolder::Registry>& qvFolder::registry() noexcept {
    static constinit qvUniqueObject<Registry> the_holder;
    return the_holder;
}

qvFolder& qvFolder::root() noexcept {
    static qvFolder the_root;
    return the_root;
}

// ---------------------------------------------------------------------------
// Construction

qvFolder::qvFolder(char const* path, qvPropertyClass* pt) {
    Registry& folders = *registry().get();
    const long known = folders.id(path);
    if (known == 0) {
        handle_ = folders.insert(path, this);
        type_ = pt;
        owner_ = true;
        return;
    }
    qvFolder const* const folder = folders.object(known);
    QV_ASSERT_TEXT(!pt || pt == folder->type_, "!pt || pt == folder->_type");
    handle_ = known;
    type_ = folder->type_;
}

qvFolder::~qvFolder() {
    if (owner_)
        qvReleaseRegistration(registry(), handle_);
}

// ---------------------------------------------------------------------------
// Queries

char const* qvFolder::name() const {
    if (handle_ == 0)
        return "";
    char const* const path = registry().get()->name(handle_);
    return path != nullptr ? path : "";
}

bool qvFolder::operator<(qvFolder const& other) const {
    return std::strcmp(name(), other.name()) < 0;
}

int qvFolder::max_handle() { return static_cast<int>(registry().get()->size()); }

qvFolder* qvFolder::folder_by_name(char const* path) {
    Registry& folders = *registry().get();
    return folders.object(folders.id(path));
}

qvIndirectIterator<qvFolder> qvFolder::enumerate() const {
    return qvIndirectIterator<qvFolder>(
        new qvFolderIteratorImplementation(*registry().get(), name()));
}

// ---------------------------------------------------------------------------
// Folder references

qvOutputStream& operator<<(qvOutputStream& os, qvFolder const& folder) {
    return os << folder.name();
}

qvInputStream& operator>>(qvInputStream& is, qvFolder*& folder) {
    qvString path;
    is >> path;
    qvFolder* const found = path.empty() ? &qvFolder::root() : qvFolder::folder_by_name(path);
    QV_ASSERT_TEXT(found, "fldr");
    folder = found;
    return is;
}
