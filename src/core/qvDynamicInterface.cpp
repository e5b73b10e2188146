// The end of every query_interface chain.

#include <orvane/core/qvDynamicInterface.hpp>

void* qvDynamicInterface::query_interface(qvInterfaceInfo const&) { return nullptr; }
