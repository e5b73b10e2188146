#pragma once
// qvTVBufObject: a virtual buffer laid over a real buffer of a driver
// through an affine transformation from virtual device coordinates to the
// real buffer's. What is drawn into it lands, mapped, on the real buffer;
// invalidations made on it reach the real buffer's listener, mapped.
//
// Keeps true:
//  - there is always a real buffer, held counted; while it is held, its
//    driver's added width is 0, and the value found is put back when the
//    buffer is replaced or this one is destroyed;
//  - `area` is the real buffer's extent seen in virtual coordinates,
//    recomputed whenever the transformation or the real buffer changes;
//    width() and height() are its right and top edges truncated toward
//    zero (INT_MIN for NaN, never undefined);
//  - there is at most one draw object, a qvTFlavorPort made by the first
//    new_draw and retargeted, with the current transformation, by every
//    later one;
//  - invalidations go on only while the callback is open and a listener is
//    set; every form is mapped (a point as its unit square);
//  - scroll moves real pixels only when the move is whole pixels there.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

class qvFlavorPort;
class qvTFlavorPort;

class qvTVBufObject : public qvVBufObject, public qvVBufInvalidate {
public:
    explicit qvTVBufObject(qvVBufObject& real);
    ~qvTVBufObject() override;
    qvTVBufObject(qvTVBufObject const&) = delete;
    qvTVBufObject& operator=(qvTVBufObject const&) = delete;

    // Replaces the real buffer.
    void vbuf(qvVBufObject& real);
    qvVBufObject& vbuf() const noexcept { return *real_; }
    // Virtual to real.
    void transformation(qvTransformation const& t);
    qvTransformation const& transformation() const noexcept { return transformation_; }
    // Stored only.
    void bbox(qvMathRectOf<double> const& box);
    // The mapped area: the real buffer's extent in virtual coordinates.
    qvMathRectOf<double> const& bbox() const noexcept { return area_; }
    void vbuf_invalidate(qvVBufInvalidate* listener) noexcept { listener_ = listener; }
    qvVBufInvalidate* vbuf_invalidate() const noexcept { return listener_; }

    // The normalised bounding box of r's four corners under t.
    static qvMathRectOf<double> transform_area(qvMathRectOf<double> const& r, qvTransformation const& t);

    // Its qvVBufInvalidate side, or itself for its own identity (layers ask
    // for its area: its width and height do not tell where its window is);
    // else null.
    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- the buffer --------------------------------------------------------
    int type() const override;
    long width() const override;
    long height() const override;
    unsigned info() const override;
    qvDriverObject& driver() const override;
    double h_dpi() const override;
    double v_dpi() const override;
    long zero_point_x() const override;
    long zero_point_y() const override;
    unsigned axes() const override;
    // The port, made once. A real buffer that gives no draw object with a
    // flavour port fails the assertion "_fp != 0", nothing kept.
    qvISafePtr<qvDrawObject> new_draw() override;
    // With no cross terms and whole-pixel real deltas (a * dx, d * dy), the
    // real buffer scrolls by those within the mapped area (all when null);
    // otherwise false and the real buffer is not asked.
    bool scroll(long dx, long dy, qvMathRectOf<double> const* area) override;

    // ---- invalidation ------------------------------------------------------
    void open_callback(bool open) override;
    bool callback_ready() override;
    bool invalidate(qvBaseRegion const& region) override;
    bool invalidate(qvMathRectOf<double> const& rect) override;
    bool invalidate(qvCrdOf<double> const& point) override;
    bool invalidate() override;

private:
    qvMathRectOf<double> to_virtual_area(qvMathRectOf<double> const& r) const;
    qvMathRectOf<double> to_actual_area(qvMathRectOf<double> const& r) const;
    bool support_invalidation() const noexcept { return listener_ != nullptr; }
    void recalculate_area();

    qvISafePtr<qvVBufObject> real_;
    // The flavour port of the real draw object behind the port's target;
    // valid while the port holds that draw object.
    qvFlavorPort* fp_ = nullptr;
    qvTransformation transformation_;
    qvTFlavorPort* port_ = nullptr;
    qvISafePtr<qvDrawObject> draw_;
    long saved_added_width_ = 0;
    qvMathRectOf<double> area_{0, 0, 0, 0};
    qvMathRectOf<double> box_{0, 0, 0, 0};
    bool open_ = false;
    qvVBufInvalidate* listener_ = nullptr;
};
QV_INTERFACE_NAME(qvTVBufObject);
