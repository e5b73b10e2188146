#pragma once
// The buffer and draw object of a selector (see qvSelector.hpp).
//
// The buffer answers a buffer without pixels: width and height -1, no
// offset, scrolling that succeeds without doing anything. The draw object
// is the flavour port of one redraw: it keeps the port's transformation,
// boxes, scene and palette, and turns draw_shape into the hit test. Clip
// and brush origin are accepted and forgotten (the clip it answers is an
// empty region, made on demand).
//
// Keeps true: the buffer holds its selector, the draw object its buffer
// (and through it the selector), counted; `stopped` is set once a callback
// answered false and then every record is ignored.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/interaction/qvSelector.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>

#include "rendering/qvDrawObjectPort.hpp"

#include <memory>

class qvSelector::VBufImpl : public qvVBufObject {
public:
    explicit VBufImpl(qvSelector& selector) noexcept : selector_(&selector) {}

    int type() const override { return 0; }
    long width() const override { return -1; }
    long height() const override { return -1; }
    unsigned info() const override { return 0; }
    qvDriverObject& driver() const override { return *selector_; }
    double h_dpi() const override { return selector_->h_dpi(); }
    double v_dpi() const override { return selector_->v_dpi(); }
    long zero_point_x() const override { return 0; }
    long zero_point_y() const override { return 0; }
    unsigned axes() const override { return 0; }
    qvISafePtr<qvDrawObject> new_draw() override;
    bool scroll(long, long, qvMathRectOf<double> const*) override { return true; }

    qvSelector& selector() const noexcept { return *selector_; }

private:
    qvISafePtr<qvSelector> selector_;
};

class qvSelector::DrawImpl : public qvDrawObject, public qvDrawObjectPort {
public:
    explicit DrawImpl(VBufImpl& vbuf) noexcept : vbuf_(&vbuf) {}

    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- draw object -----------------------------------------------------------
    qvVBufObject& vbuf() const override { return *vbuf_; }
    void brush_origin(qvCrdOf<double> const&) override {}
    qvCrdOf<double> brush_origin() override { return {0, 0}; }
    using qvDrawObject::clip;
    void clip(qvMathRectOf<double> const&) override {}
    void clip(qvBaseRegion const&) override {}
    // Always empty. Made at the first call: a select over the direct road
    // never asks, and a region costs an allocation.
    qvBaseRegion const& clip() const override {
        if (clip_ == nullptr)
            clip_ = std::make_unique<qvRegion>();
        return *clip_;
    }
    bool copy(qvVBufObject const&, qvMathRectOf<double> const&, qvMathRectOf<double> const&) override {
        return false;
    }

    // ---- flavour port ----------------------------------------------------------
    qvDrawObject& draw() override { return *this; }
    // Tests the record and reports a hit; false only for a record that
    // fails the record check.
    bool draw_shape(qvShapeBase const& record) override;
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

    bool stopped() const noexcept { return stopped_; }

private:
    qvISafePtr<VBufImpl> vbuf_;
    bool stopped_ = false;
    mutable std::unique_ptr<qvRegion> clip_;
};
