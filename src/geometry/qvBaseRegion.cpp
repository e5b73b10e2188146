// qvBaseRegion: answers no identity of its own; implementations that have
// one answer it themselves.

#include <orvane/geometry/qvBaseRegion.hpp>

void* qvBaseRegion::query_interface(qvInterfaceInfo const& info) {
    return qvDynamicInterface::query_interface(info);
}
