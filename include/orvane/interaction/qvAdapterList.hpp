#pragma once
// qvAdapterList: the process-wide list of adapter rows, the unique object
// "Adapter list". It is made empty by whichever comes first, the first
// registration or the start-up binding; the library's unload gives its hold
// back and the last user frees it.
//
// Keeps true: rows stay in registration order and are only appended; a
// look-up walks them from the first and takes the first row whose two
// identities are the ones asked for (by address).

#include <orvane/core/qvUniqueObject.hpp>
#include <orvane/interaction/qvAdapterEntry.hpp>

#include <vector>

class qvAdapterList {
public:
    static char const* get_name() noexcept { return "Adapter list"; }
    // The module's holder of the list; get() binds it, making it if absent.
    static qvUniqueObject<qvAdapterList>& holder() noexcept;

    void append(qvAdapterEntry const& entry) { entries_.push_back(entry); }
    // The class of the first row joining the two identities, or null.
    qvAdapterBase::Class* find(qvInterfaceInfo const& data_access,
                               qvInterfaceInfo const& interaction) const noexcept;
    std::vector<qvAdapterEntry> const& entries() const noexcept { return entries_; }

private:
    std::vector<qvAdapterEntry> entries_;
};
