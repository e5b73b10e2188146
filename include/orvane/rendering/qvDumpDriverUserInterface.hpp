#pragma once
// qvDumpDriverUserInterface: how a host sets a dump driver's sink after
// creation. Found on a driver through query_interface.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDumpDriverUser;

class qvDumpDriverUserInterface {
public:
    virtual ~qvDumpDriverUserInterface() = default;
    // Stores the sink (not owned; null stops drawing) and returns it.
    virtual qvDumpDriverUser* user(qvDumpDriverUser* sink) = 0;
};

QV_INTERFACE_NAME(qvDumpDriverUserInterface);
