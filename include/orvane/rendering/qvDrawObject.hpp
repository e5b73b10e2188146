#pragma once
// qvDrawObject: the drawing surface of one buffer: its brush origin, its
// clip region (device coordinates) and copies between buffers. The
// library's own draw objects are a qvFlavorPort in the same object.
//
// Keeps true: counted, no data of its own; clip(rect) and clip_box() are
// defined through clip(region) and clip(), so an implementation that
// overrides those two keeps all four consistent (bring the rectangle form
// back into scope with `using qvDrawObject::clip;`).

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvVBufObject;

class qvDrawObject : public virtual qvRefBase, public virtual qvDynamicInterface {
public:
    virtual qvVBufObject& vbuf() const = 0;
    virtual void brush_origin(qvCrdOf<double> const& origin) = 0;
    virtual qvCrdOf<double> brush_origin() = 0;
    // The region of the one rectangle, through clip(region).
    virtual void clip(qvMathRectOf<double> const& rect);
    virtual void clip(qvBaseRegion const& region) = 0;
    virtual qvBaseRegion const& clip() const = 0;
    // The bounding box of clip().
    virtual qvMathRectOf<double> clip_box();
    virtual bool copy(qvVBufObject const& source, qvMathRectOf<double> const& from,
                      qvMathRectOf<double> const& to) = 0;

protected:
    qvDrawObject() noexcept = default;
    qvDrawObject(qvDrawObject const&) noexcept : qvRefBase(), qvDynamicInterface() {}
    qvDrawObject& operator=(qvDrawObject const&) noexcept { return *this; }
};

QV_INTERFACE_NAME(qvDrawObject);
