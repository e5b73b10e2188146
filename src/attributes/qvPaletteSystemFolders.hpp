#pragma once
// The registered system folders that palettes keep their own bookkeeping
// in ("ref_count", "is_shared", "attr_name"), looked up by path. They are
// standard folders, registered at load and never removed while a palette
// can exist; a missing one fails the assertion "fldr".

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/core/qvAssertionError.hpp>

inline qvFolder* qvPaletteSystemFolder(char const* path) {
    qvFolder* const folder = qvFolder::folder_by_name(path);
    QV_ASSERT_TEXT(folder != nullptr, "fldr");
    return folder;
}
