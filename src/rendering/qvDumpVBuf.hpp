#pragma once
// qvDumpVBuf: the buffer of a dump driver. Holds its driver by counted
// handle and its one draw object weakly: the draw object lives while a
// draw handle does, and new_draw after its end makes a fresh one in the
// initial state.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

#include "rendering/qvDumpDriverImplementation.hpp"

class qvDumpDraw;

class qvDumpVBuf : public qvVBufObject {
public:
    explicit qvDumpVBuf(qvDumpDriverImplementation& driver) noexcept : driver_(&driver) {}

    int type() const override { return -1; }
    long width() const override { return driver_->width(); }
    long height() const override { return driver_->height(); }
    unsigned info() const override { return 6; }
    qvDriverObject& driver() const override { return *driver_; }
    double h_dpi() const override { return 100.0; }
    double v_dpi() const override { return 100.0; }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override;
    bool scroll(long, long, qvMathRectOf<double> const*) override { return false; }

    qvDumpDriverImplementation& dump_driver() const noexcept { return *driver_; }

private:
    qvISafePtr<qvDumpDriverImplementation> driver_;
    qvIWeakPtr<qvDumpDraw> draw_;
};
