#pragma once
// qvVBufObject: one surface of a driver (a window, memory, bitmap or printer
// buffer), the maker of draw objects. Buffer mixins (qvVBufOffset and its
// kin) are found on it through query_interface.
//
// Keeps true: counted (qvISafePtr<qvVBufObject>), no data of its own;
// driver() is the driver that made it.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvDriverObject;
class qvDrawObject;

class qvVBufObject : public virtual qvRefBase, public virtual qvDynamicInterface {
public:
    virtual int type() const = 0;
    virtual long width() const = 0;
    virtual long height() const = 0;
    virtual unsigned info() const = 0;
    virtual qvDriverObject& driver() const = 0;
    virtual double h_dpi() const = 0;
    virtual double v_dpi() const = 0;
    virtual long zero_point_x() const = 0;
    virtual long zero_point_y() const = 0;
    virtual unsigned axes() const = 0;
    virtual qvISafePtr<qvDrawObject> new_draw() = 0;
    // Moves the contents by (dx, dy) device units, within `area` when given,
    // else over the whole buffer; false when it cannot (the library then
    // repaints instead: the whole window when the renderer scrolls).
    // On success a window buffer reports the strips the move uncovered
    // (inside `area`, or the buffer) as needing a redraw, as a window
    // system's expose does: the library moves what still waits for a redraw
    // along with the pixels, but repaints the uncovered strips only when the
    // driver reports them, so a window that only moves pixels keeps stale
    // strips at its edges. An off-screen buffer reports nothing; the library
    // tracks what it holds.
    virtual bool scroll(long dx, long dy, qvMathRectOf<double> const* area) = 0;

protected:
    qvVBufObject() noexcept = default;
    qvVBufObject(qvVBufObject const&) noexcept : qvRefBase(), qvDynamicInterface() {}
    qvVBufObject& operator=(qvVBufObject const&) noexcept { return *this; }
};

QV_INTERFACE_NAME(qvVBufObject);
