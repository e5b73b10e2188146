#pragma once
// qvDriverSubsystems: a driver's subsystems, asked of the driver through
// query_interface; a null answer means the driver offers none.
//
// Keeps true: no bases, only a virtual destructor (the rest of a host's
// protocol is the host's business), and an identity under its own class
// name.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDriverSubsystems {
public:
    virtual ~qvDriverSubsystems() = default;
};

QV_INTERFACE_NAME(qvDriverSubsystems);
