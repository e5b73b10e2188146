// The region identities, each made or found by name on first use.

#include <orvane/geometry/qvRegionIdentities.hpp>

qvInterfaceInfo const& qvListRegionIdentity() { return qvInterfaceIdentity<qvListRegion>(); }

qvInterfaceInfo const& qvGridRegionIdentity() { return qvInterfaceIdentity<qvGridRegion>(); }

qvInterfaceInfo const& qvRectRegionIdentity() { return qvInterfaceIdentity<qvRectRegion>(); }
