#pragma once
// Bases of the test drivers and buffers: every answer of the driver model
// fixed and inert (96 dpi, quantum 1, no added width, no buffers made, no
// scrolling), so a test double overrides only what its test looks at. The
// driver answers query_interface for qvDriverObject, as a real driver does
// for the renderers that look it up. The buffer borrows its driver, which
// must outlive it.

#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

class qvStubDriver : public qvDriverObject {
public:
    int available() const override { return 0; }
    unsigned info(int) const override { return 0; }
    qvISafePtr<qvVBufObject> new_master_vbuf() override { return {}; }
    qvISafePtr<qvVBufObject> new_vbuf(int, long, long, qvISafePtr<qvVBufObject> const&) override { return {}; }
    bool initialized() const override { return true; }
    double h_quantum() const override { return 1; }
    double v_quantum() const override { return 1; }
    double h_dpi() const override { return 96; }
    double v_dpi() const override { return 96; }
    void added_width(long) override {}
    long added_width() const override { return 0; }
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvDriverObject>(this, info);
    }
};

class qvStubVBuf : public qvVBufObject {
public:
    explicit qvStubVBuf(qvDriverObject& driver) noexcept : driver_(&driver) {}
    int type() const override { return 0; }
    long width() const override { return 0; }
    long height() const override { return 0; }
    unsigned info() const override { return 0; }
    qvDriverObject& driver() const override { return *driver_; }
    double h_dpi() const override { return 96; }
    double v_dpi() const override { return 96; }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override { return {}; }
    bool scroll(long, long, qvMathRectOf<double> const*) override { return false; }

private:
    qvDriverObject* driver_;
};
