#pragma once
// qvMappingTableInterface: the counted table of links between mapping
// controls and layers. One table may serve several controls: each entry
// names its control, and a control only looks at its own entries (through
// qvMappingControlFilter). Entries whose layer has died stay until removed.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/views/qvMappingTableItem.hpp>
#include <orvane/views/qvTableInterface.hpp>

class qvMappingTableInterface : public virtual qvTableInterface<qvMappingTableItem>,
                                public virtual qvRefBase,
                                public virtual qvDynamicInterface {
public:
    ~qvMappingTableInterface() override = default;

protected:
    qvMappingTableInterface() noexcept = default;
    qvMappingTableInterface(qvMappingTableInterface const&) noexcept = default;
    qvMappingTableInterface& operator=(qvMappingTableInterface const&) noexcept = default;
};

QV_INTERFACE_NAME(qvMappingTableInterface);

// Compiled once in the library.
extern template class qvSmartPtrInterface<qvMappingTableItem>;
extern template class qvIteratorInterface<qvMappingTableItem>;
extern template class qvBasedSmartPtr<qvMappingTableItem, qvIteratorInterface<qvMappingTableItem>>;
extern template class qvBasedIterator<qvMappingTableItem, qvIteratorInterface<qvMappingTableItem>>;
extern template class qvIterator<qvMappingTableItem>;
extern template class qvIndirectIterator<qvMappingTableItem>;
