#pragma once
// qvTFlavorPort: the draw object of a transformed buffer (qvTVBufObject): a
// scene port whose target is the real buffer's flavour port and whose
// mapping is the buffer's transformation, joined with a draw object whose
// clip region and brush origin are kept in virtual coordinates and passed
// to the real draw object mapped.
//
// Keeps true:
//  - the port holds the real draw object behind its target by counted
//    handle (when it was given one), so a buffer that keeps its draw
//    objects weakly cannot free the target under the port;
//  - the real draw object's clip region and brush origin, as they were
//    when the port took it as its target, are put back when the port is
//    destroyed or retargeted;
//  - the transformed buffer is held weakly (it holds the port counted):
//    once it is gone, vbuf() is the real draw object's buffer;
//  - clip regions are mapped rectangle by rectangle, each to the bounding
//    box of its four mapped corners.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvBaseRegion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvViewTScenePort.hpp>

#include <memory>

class qvVBufObject;

class qvTFlavorPort : public qvViewTScenePort, public qvDrawObject {
public:
    // `target_draw`, when given, is the counted draw object whose flavour
    // port `target` is.
    qvTFlavorPort(qvFlavorPort& target, qvTransformation const& mapping, qvVBufObject* vbuf,
                  qvISafePtr<qvDrawObject> const& target_draw = {});
    ~qvTFlavorPort() override;

    // A new target and the counted draw object behind it: the old target's
    // clip and brush origin are put back and the new target's are saved in
    // their place; the virtual ones are not carried over (a renderer sets
    // them on each new draw object).
    void retarget(qvFlavorPort& target, qvISafePtr<qvDrawObject> const& target_draw);

    // "qvFlavorPort" alone.
    void* query_interface(qvInterfaceInfo const& info) override;
    // Its own draw-object side.
    qvDrawObject& draw() override { return *this; }

    // ---- draw object ----------------------------------------------------
    qvVBufObject& vbuf() const override;
    // Stored as given; the real draw object gets it mapped by the port's
    // model-to-target matrix.
    void brush_origin(qvCrdOf<double> const& origin) override;
    qvCrdOf<double> brush_origin() override { return brush_; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override;
    qvBaseRegion const& clip() const override { return *clip_region_; }
    // The real draw object's copy, arguments unmapped.
    bool copy(qvVBufObject const& source, qvMathRectOf<double> const& from,
              qvMathRectOf<double> const& to) override;

private:
    qvDrawObject& target_draw() const;

    qvCrdOf<double> brush_;
    qvCrdOf<double> saved_brush_;
    std::unique_ptr<qvBaseRegion> clip_region_;
    std::unique_ptr<qvBaseRegion> saved_clip_;
    qvIWeakPtr<qvVBufObject> vbuf_;
    qvISafePtr<qvDrawObject> target_draw_;
};
QV_INTERFACE_NAME(qvTFlavorPort);
