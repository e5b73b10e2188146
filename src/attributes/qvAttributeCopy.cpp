// qvCopyAttribute: values of one palette's attribute written into a new
// attribute of another (see qvAttributeCopy.hpp).

#include "attributes/qvAttributeCopy.hpp"

#include "attributes/qvAttributeFolders.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPalette.hpp>

#include <initializer_list>

namespace {

bool stays_with_source(qvFolder const& folder) {
    for (qvAttributeFolderId id :
         {qvAttributeFolderId::ref_count, qvAttributeFolderId::is_shared,
          qvAttributeFolderId::attr_name, qvAttributeFolderId::attribute_flavor}) {
        if (folder == qvAttributeFolder(id))
            return true;
    }
    return false;
}

}  // namespace

// Each write returns the handle that now carries the values (a merging
// palette may trade the copy for an equal attribute), so the handle to
// release on a failure is always the last one returned.
long qvCopyAttribute(qvPalette& source, long source_handle, qvPalette& target, bool shared) {
    long copy = target.alloc(shared);
    if (source_handle == 0)
        return copy;
    try {
        for (qvIndirectIterator<qvFolder> folder = qvFolder::root().enumerate(); folder; ++folder) {
            if (stays_with_source(*folder))
                continue;
            if (void const* const value = source.property(source_handle, *folder))
                copy = target.property(copy, *folder, value, false);
        }
    } catch (...) {
        target.release(copy);
        throw;
    }
    return copy;
}
