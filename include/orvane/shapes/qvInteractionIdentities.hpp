#pragma once
// The identities of the four interactions that shapes answer in
// query_interaction: "qvMoveInteraction", "qvScaleInteraction",
// "qvExtendedScaleInteraction" and "qvRotateInteraction". The interaction
// classes themselves belong to the interaction side; shapes only compare
// identities, so the names are bound here once, to forward declarations.
//
// Keeps true: each identity is the record registered under its exact name,
// reached by get-or-create, the same in every module and whether or not the
// start-up registrations have run.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvMoveInteraction;
class qvScaleInteraction;
class qvExtendedScaleInteraction;
class qvRotateInteraction;

QV_INTERFACE_NAME(qvMoveInteraction);
QV_INTERFACE_NAME(qvScaleInteraction);
QV_INTERFACE_NAME(qvExtendedScaleInteraction);
QV_INTERFACE_NAME(qvRotateInteraction);
