#pragma once
// qvMappingTable: the counted handle of a mapping table. qvMappingTable(true)
// makes a new, empty table; the default handle holds none.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/views/qvMappingTableInterface.hpp>

class qvMappingTable : public qvISafePtr<qvMappingTableInterface> {
public:
    qvMappingTable() noexcept = default;
    // A new empty table; the bool is not read.
    explicit qvMappingTable(bool make);
    // Adopts the object through its own count; null gives an empty handle.
    qvMappingTable(qvMappingTableInterface* table) noexcept : qvISafePtr<qvMappingTableInterface>(table) {}
    qvMappingTable(qvSafePtrBase const& owner, qvMappingTableInterface* table) noexcept
        : qvISafePtr<qvMappingTableInterface>(owner, table) {}
    qvMappingTable(qvISafePtr<qvMappingTableInterface> const& table) noexcept
        : qvISafePtr<qvMappingTableInterface>(table) {}
    qvMappingTable(qvIWeakPtr<qvMappingTableInterface> const& table) noexcept
        : qvISafePtr<qvMappingTableInterface>(table) {}
    qvMappingTable(qvMappingTable const&) noexcept = default;
    qvMappingTable& operator=(qvMappingTable const&) noexcept = default;
};
