#pragma once
// qvStandardFolders: the library's root folder and its 54 standard folders,
// built in table order at load so that their handles are 1 to 54, and
// removed in reverse at unload. Building a folder gets or creates its
// property class, so the standard classes take their handles in the order
// the table first names them.
//
// Keeps true: every folder of the table is registered while the object
// lives; the "Folder Registry" must exist before and outlive it.

#include <orvane/attributes/qvFolder.hpp>

#include <array>
#include <cstddef>
#include <utility>

class qvPropertyClass;

class qvStandardFolders {
public:
    static constexpr std::size_t count = 54;

    struct Row {
        char const* path;
        qvPropertyClass* (*type)();  // gets or creates the folder's class
    };
    static std::array<Row, count> const& table() noexcept;

    qvStandardFolders();
    qvStandardFolders(qvStandardFolders const&) = delete;
    qvStandardFolders& operator=(qvStandardFolders const&) = delete;

private:
    template <std::size_t... I>
    explicit qvStandardFolders(std::index_sequence<I...>);

    std::array<qvFolder, count> folders_;
};
