#pragma once
// qvDumpDriverObject: a driver that draws nothing and hands every primitive
// drawn on it to a host's sink (qvDumpDriverUser). Its one buffer type
// makes draw objects that are also the flavour port receiving records.
//
// Keeps true: its size is the area it was made over, each side x1 - x0 and
// y1 - y0 truncated toward zero (0 when a coordinate is not finite or the
// side is beyond int's range); it offers no buffer types (available() 0)
// and new_vbuf gives null; a buffer holds its driver, a draw object its
// buffer, by counted handle, while a buffer keeps its draw object weakly.
// A record is drawn only when it passes the record check, a sink is set and
// the port has a palette; it is read only within its own size.

#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvDumpDriverUserInterface.hpp>

class qvDumpDriverUser;

class qvDumpDriverObject : public qvDriverObject, public qvDumpDriverUserInterface {
public:
    // A new dump driver over the area (x0, y0) to (x1, y1), drawing into
    // `user` (may be null: set one later through qvDumpDriverUserInterface).
    static qvISafePtr<qvDumpDriverObject> create(qvDumpDriverUser* user, double x0, double y0, double x1,
                                                 double y1);

protected:
    qvDumpDriverObject() noexcept = default;
};

QV_INTERFACE_NAME(qvDumpDriverObject);
