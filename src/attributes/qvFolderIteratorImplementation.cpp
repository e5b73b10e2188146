// qvFolderIteratorImplementation: prefix walk over the folder registry (see
// qvFolderIteratorImplementation.hpp).

#include "attributes/qvFolderIteratorImplementation.hpp"

#include <cstring>

qvFolderIteratorImplementation::qvFolderIteratorImplementation(qvFolder::Registry& folders,
                                                               char const* prefix)
    : folders_(folders),
      prefix_(prefix),
      prefix_length_(std::strlen(prefix_)),
      paths_(folders.enumerate(prefix_)) {
    refresh();
}

void qvFolderIteratorImplementation::next() {
    if (current_ == nullptr)
        return;
    ++paths_;
    refresh();
}

void qvFolderIteratorImplementation::refresh() {
    current_ = nullptr;
    if (!paths_)
        return;
    const long id = *paths_;
    if (std::strncmp(folders_.name(id), prefix_, prefix_length_) == 0)
        current_ = folders_.object(id);
}
