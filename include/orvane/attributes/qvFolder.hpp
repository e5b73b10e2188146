#pragma once
// qvFolder: a named slot of an attribute, such as
// "pen/color_device/line_width", bound to the property class of the values
// stored under it. Folders are registered by path in the process-wide
// "Folder Registry"; paths form a hierarchy by prefix, so enumerating a
// folder yields every registered folder whose path begins with its path.
//
// Keeps true:
//  - every folder built with one path stands for the same registered folder:
//    same handle, same class; only the object that inserted the path (the
//    owner) removes it;
//  - the root folder (default-constructed) has handle 0, the empty path and
//    no class, is never registered, sorts before every folder and
//    enumerates them all;
//  - paths compare byte by byte as unsigned characters; the prefix test of
//    enumeration has no separator check, so "pen/color_device/color" also
//    covers "pen/color_device/color_index" (palettes rely on it to copy and
//    remove the colour index with the colour).
//
// Stream form of a folder reference: the path as a qvString (16-bit length,
// bytes; the empty string for the root). Reading a path that no folder is
// registered under fails the assertion "fldr".

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvObjectRegistry.hpp>
#include <orvane/core/qvUniqueObject.hpp>

class qvInputStream;
class qvOutputStream;
class qvPropertyClass;

class qvFolder {
public:
    // The unique object "Folder Registry": folder paths and handles.
    class Registry : public qvObjectRegistry<qvFolder> {
    public:
        static char const* get_name() noexcept { return "Folder Registry"; }
    };

    // The module's one holder of the registry.
    static qvUniqueObject<Registry>& registry() noexcept;

    // The library's root folder.
    static qvFolder& root() noexcept;

    // The root folder: handle 0, no class, registers nothing.
    constexpr qvFolder() noexcept = default;
    // Registers the path with class pt, or takes over the registered
    // folder's handle and class; pt must then be null or that class
    // ("!pt || pt == folder->_type").
    qvFolder(char const* path, qvPropertyClass* pt);
    qvFolder(qvFolder const&) = delete;
    qvFolder& operator=(qvFolder const&) = delete;
    ~qvFolder();

    long handle() const noexcept { return handle_; }
    qvPropertyClass* type() const noexcept { return type_; }
    void type(qvPropertyClass* pt) noexcept { type_ = pt; }

    // The path; "" for the root.
    char const* name() const;

    bool operator==(qvFolder const& other) const noexcept { return handle_ == other.handle_; }
    bool operator<(qvFolder const& other) const;

    // The registry's highest handle.
    static int max_handle();
    // The folder registered under the path, or null.
    static qvFolder* folder_by_name(char const* path);

    // The registered folders whose path begins with this folder's path (this
    // one included when registered), in ascending path order. The folder
    // under the iterator must stay registered while the iterator is in use.
    qvIndirectIterator<qvFolder> enumerate() const;

private:
    long handle_ = 0;
    qvPropertyClass* type_ = nullptr;
    bool owner_ = false;
};

// Writes the folder's path.
qvOutputStream& operator<<(qvOutputStream& os, qvFolder const& folder);
// The folder registered under the path read (the root for ""). On failure
// `folder` keeps its old value.
qvInputStream& operator>>(qvInputStream& is, qvFolder*& folder);
