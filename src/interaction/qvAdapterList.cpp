// The "Adapter list" (see qvAdapterList.hpp): a short vector, searched
// front to back; thirteen rows in the library.

#include <orvane/interaction/qvAdapterList.hpp>

qvUniqueObject<qvAdapterList>& qvAdapterList::holder() noexcept {
    static constinit qvUniqueObject<qvAdapterList> adapter_list_holder;
    return adapter_list_holder;
}

qvAdapterBase::Class* qvAdapterList::find(qvInterfaceInfo const& data_access,
                                          qvInterfaceInfo const& interaction) const noexcept {
    for (qvAdapterEntry const& entry : entries_)
        if (entry.data_access == &data_access && entry.interaction == &interaction)
            return entry.adapter_class;
    return nullptr;
}
