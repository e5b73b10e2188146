// The mapping table's handle and the iterator templates compiled once.

#include <orvane/views/qvMappingTable.hpp>

#include "views/qvMappingTableImplementation.hpp"

template class qvSmartPtrInterface<qvMappingTableItem>;
template class qvIteratorInterface<qvMappingTableItem>;
template class qvBasedSmartPtr<qvMappingTableItem, qvIteratorInterface<qvMappingTableItem>>;
template class qvBasedIterator<qvMappingTableItem, qvIteratorInterface<qvMappingTableItem>>;
template class qvIterator<qvMappingTableItem>;
template class qvIndirectIterator<qvMappingTableItem>;

qvMappingTable::qvMappingTable(bool) : qvISafePtr<qvMappingTableInterface>(new qvMappingTableImplementation) {}
