#pragma once
// qvMappingControlFilter: keeps the entries of one control; the road to a
// control's own entries in a table that several controls share.

#include <orvane/views/qvMappingTableItem.hpp>
#include <orvane/views/qvTableQueryFilter.hpp>

class qvMappingControlFilter : public qvTableQueryFilter<qvMappingTableItem> {
public:
    explicit qvMappingControlFilter(void const* control) noexcept : control_(control) {}
    bool accept(qvMappingTableItem const& entry) const override { return entry.control == control_; }

protected:
    void const* control_;
};
