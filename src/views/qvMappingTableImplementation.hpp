#pragma once
// qvMappingTableImplementation: the mapping table: one list of entries
// read and changed through the two table sides.
//
// Keeps true: copies are independent tables (entry by entry; each copied
// entry watches its layer on its own); nothing purges the entries of dead
// layers.

#include <orvane/views/qvMappingTableInterface.hpp>

#include "views/qvTableModificationImplementation.hpp"
#include "views/qvTableQueryImplementation.hpp"

class qvMappingTableImplementation : public qvMappingTableInterface,
                                     public qvTableQueryImplementation<qvMappingTableItem, qvMappingTableItem>,
                                     public qvTableModificationImplementation<qvMappingTableItem> {
public:
    qvMappingTableImplementation() = default;
    // Starts with a count of its own.
    qvMappingTableImplementation(qvMappingTableImplementation const& other)
        : qvTableQueryInterface<qvMappingTableItem>(),
          qvTableModificationInterface<qvMappingTableItem>(),
          qvTableInterface<qvMappingTableItem>(),
          qvRefBase(),
          qvDynamicInterface(),
          qvTableImplementationCore<qvMappingTableItem>(other),
          qvMappingTableInterface(),
          qvTableQueryImplementation<qvMappingTableItem, qvMappingTableItem>(),
          qvTableModificationImplementation<qvMappingTableItem>() {}
    qvMappingTableImplementation& operator=(qvMappingTableImplementation const& other) {
        qvTableImplementationCore<qvMappingTableItem>::operator=(other);
        return *this;
    }
    ~qvMappingTableImplementation() override = default;

    // The number of entries, dead layers' included.
    std::size_t size() const noexcept { return entries_.size(); }
};
