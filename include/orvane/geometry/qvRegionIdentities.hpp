#pragma once
// The interface identities by which region implementations recognise each
// other: "qvListRegion", "qvGridRegion" and "qvRectRegion". A region handed
// another region asks it for its own identity to choose a same-kind
// algorithm; an answer is the other region's implementation object itself.
//
// Keeps true: each identity is the record registered under its exact name,
// reached by get-or-create, so it is the same whether or not the start-up
// registrations have run, and in every module. The names are bound here
// once for all region classes; no class answers "qvRectRegion".

#include <orvane/core/qvInterfaceInfo.hpp>

class qvListRegion;
class qvGridRegion;
class qvRectRegion;

QV_INTERFACE_NAME(qvListRegion);
QV_INTERFACE_NAME(qvGridRegion);
QV_INTERFACE_NAME(qvRectRegion);

qvInterfaceInfo const& qvListRegionIdentity();
qvInterfaceInfo const& qvGridRegionIdentity();
qvInterfaceInfo const& qvRectRegionIdentity();
