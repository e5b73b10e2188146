#pragma once
// qvDeviceRendererImplementation: the device renderer (see
// qvDeviceRendererObject.hpp for the flags).
//
// All regions are in device coordinates. The window rectangle is the window
// buffer's size placed at its offset (qvVBufOffset); a memory buffer stands
// at the same place, so a pixel copy between the two never moves anything.
//
// Keeps true:
//  - the valid area lies within the memory buffer and holds only pixels
//    that match the picture; it is empty whenever there is no memory
//    buffer. It grows only by areas whose every step succeeded, and
//    anything that may move or stale pixels (a scroll that failed, a zoom,
//    a new buffer, a new offset) empties it or takes the moved part out;
//  - the memory buffer type is found afresh by each update();
//  - a memory buffer is kept only when it can stand where the window
//    stands: at offset (0, 0), or its type accepts an offset (info 0x10);
//    otherwise the renderer draws unbuffered;
//  - every redraw that reaches the manager ends with the manager's cleanup()
//    and open_callback(true), also when a layer raises; what was not drawn
//    then is invalidated again before the error passes on.

#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/views/qvDeviceRendererObject.hpp>

class qvViewVBuf;

#include "views/qvRendererImplementation.hpp"

class qvDeviceRendererImplementation : public virtual qvDeviceRendererObject, public qvRendererImplementation {
public:
    qvDeviceRendererImplementation() noexcept = default;
    ~qvDeviceRendererImplementation() override;

    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- the redraw -------------------------------------------------------------
    bool redraw(qvBaseRegion const& area, bool prepare_flag) override;

    // ---- driver and buffers ----------------------------------------------------------
    void driver(qvISafePtr<qvDriverObject> const& driver) override;
    using qvRendererImplementation::driver;
    void vbuf(qvISafePtr<qvVBufObject> const& window) override;
    qvISafePtr<qvVBufObject> vbuf() const override { return window_; }
    long width() const override;
    long height() const override;
    void update() override;

    // ---- flags ----------------------------------------------------------------------------
    void double_buffered(bool on) override { set_flag(double_buffered_flag, on); }
    bool double_buffered() const override { return (flags_ & double_buffered_flag) != 0; }
    void backing_store(bool on) override { set_flag(backing_store_flag, on); }
    bool backing_store() const override { return (flags_ & backing_store_flag) != 0; }
    void render_backing_store(bool on) override { set_flag(render_backing_store_flag, on); }
    bool render_backing_store() const override { return (flags_ & render_backing_store_flag) != 0; }

    // ---- transformation -----------------------------------------------------------------
    void apply_left(qvRestrictedTransformation const& t) override;
    void apply_right(qvRestrictedTransformation const& t) override { apply_left(t); }

    // ---- probes (tests) -----------------------------------------------------------------
    qvVBufObject* memory_buffer() const noexcept { return memory_.get(); }
    qvBaseRegion const& valid_area() const noexcept { return valid_; }
    int memory_type() const noexcept { return memory_type_; }
    double added_width() const noexcept { return added_width_; }

private:
    using Procedure = bool (qvDeviceRendererImplementation::*)();
    static const Procedure procedures[4];

    void set_flag(unsigned bit, bool on);
    void release_memory();
    // The window buffer's offset, (0, 0) without one.
    qvCrdOf<long> window_offset() const;
    // Step 3 of a redraw: a memory buffer of at least w x h at the window's
    // offset, or none.
    void resize_memory(long w, long h, qvCrdOf<long> offset);
    // Renders `render_` through the manager (prepare, render, cleanup) into
    // the buffer, clipped to it with the origin; the manager is cleaned up
    // also when a layer raises.
    bool render_into(qvViewVBuf& target);
    // Copies `region` of `source` into the buffer, clipped to the region.
    bool copy_into(qvViewVBuf& target, qvISafePtr<qvVBufObject> const& source, qvBaseRegion const& region);
    // Forgets every pixel of the memory buffer and asks for the whole window.
    void invalidate_all_pixels();

    bool straight();        // flags 0 (or no memory buffer)
    bool backed();          // backing_store
    bool double_buffer();   // double_buffered

    unsigned flags_ = 0;
    double added_width_ = 0.0;
    qvISafePtr<qvVBufObject> window_;
    qvISafePtr<qvVBufObject> memory_;
    qvGridRegion valid_;
    bool window_owned_ = false;
    qvGridRegion redraw_;
    qvGridRegion copy_;
    qvGridRegion render_;
    bool prepare_flag_ = false;
    int memory_type_ = -1;
    // What the redraw under way has not drawn yet; invalidated again when a
    // step raises.
    qvGridRegion undone_;
};
