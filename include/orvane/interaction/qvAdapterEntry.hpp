#pragma once
// qvAdapterEntry: one row of the "Adapter list": the identities of the data
// access and of the interaction it joins, and the class that builds the
// adapter for them. The row borrows the class.

#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>

struct qvAdapterEntry {
    qvInterfaceInfo const* data_access = nullptr;
    qvInterfaceInfo const* interaction = nullptr;
    qvAdapterBase::Class* adapter_class = nullptr;
};
