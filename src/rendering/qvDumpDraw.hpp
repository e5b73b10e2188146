#pragma once
// qvDumpDraw: the draw object of a dump buffer and the flavour port that
// receives records. It hands the sink the records' own coordinates, every
// transformation and clip set on it, and the baked attributes of each
// record, and draws nothing itself.
//
// Keeps true: a record reaches the sink only after it passes the record
// check, with a sink set and a palette on the port; a refused record calls
// nothing. Points are decoded into scratch arrays owned here and reused, so
// a steady stream of records allocates nothing. The inverse and the model
// box are computed on demand and cached; setting the transformation clears
// both caches, setting the device box the model box.

#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>

#include "rendering/qvDrawObjectPort.hpp"
#include "rendering/qvDumpVBuf.hpp"

#include <vector>

class qvDumpDriverUser;

class qvDumpDraw : public qvDrawObject, public qvDrawObjectPort {
public:
    explicit qvDumpDraw(qvDumpVBuf& vbuf);

    void* query_interface(qvInterfaceInfo const& info) override;

    // Draw object.
    qvVBufObject& vbuf() const override { return *vbuf_; }
    void brush_origin(qvCrdOf<double> const& origin) override { brush_origin_ = origin; }
    qvCrdOf<double> brush_origin() override { return brush_origin_; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override;
    qvBaseRegion const& clip() const override { return clip_region_; }
    bool copy(qvVBufObject const&, qvMathRectOf<double> const&, qvMathRectOf<double> const&) override {
        return false;
    }

    // Flavour port.
    qvDrawObject& draw() override { return *this; }
    using qvDrawObjectPort::transformation;
    // Also hands the new transformation to the sink.
    void transformation(qvRestrictedTransformation const& t) override;
    bool draw_shape(qvShapeBase const& record) override;
    qvExtent text_metrics(long, char const*, unsigned) override { return {}; }

private:
    qvDumpDriverUser* sink() const noexcept { return vbuf_->dump_driver().user(); }

    qvISafePtr<qvDumpVBuf> vbuf_;
    qvRegion clip_region_;
    qvCrdOf<double> brush_origin_;
    // Scratch arrays of decoded points and tags, reused record after record.
    std::vector<qvCrdOf<double>> points_;
    std::vector<qvPointTag> tags_;
};
