#pragma once
// qvFolderIteratorImplementation: the iterator behind qvFolder::enumerate,
// over the registered folders whose path begins with a prefix, in ascending
// path order.
//
// Keeps true: the registry's name iterator stands at the first registered
// path not below the prefix or after it; the walk ends when that iterator is
// exhausted or its path no longer begins with the prefix (bytes only, no
// separator check). `current` is the folder of the path under the iterator,
// null at the end. The registry must outlive the iterator.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvString.hpp>

#include <cstddef>

class qvFolderIteratorImplementation : public qvIterator<qvFolder> {
public:
    qvFolderIteratorImplementation(qvFolder::Registry& folders, char const* prefix);

    qvFolder* get() override { return current_; }
    void next() override;
    bool at_end() const override { return current_ == nullptr; }

private:
    void refresh();

    qvFolder::Registry& folders_;
    qvString prefix_;
    std::size_t prefix_length_;
    qvIndirectIterator<qvWrap<long>> paths_;
    qvFolder* current_ = nullptr;
};
