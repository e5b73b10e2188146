#pragma once
// qvRasterDraw: a draw object of the raster test host and the flavour port
// that draws records into its buffer's pixels (rules in qvRasterCanvas).
//
// Keeps true:
//  - a new draw object clips to its buffer's device rectangle, has brush
//    origin (0, 0), the identity transformation, device box (0, 0, 0, 0)
//    and no palette; it holds its buffer counted;
//  - draw_shape checks the record first and answers false for a refused
//    record, a null palette, arcs, pie slices, -8, 0 and flavour kinds; it
//    answers true for every other record, drawn or not (an empty text,
//    pixels off), and counts it by kind;
//  - colours come from the palette's cookies (pen, brush, marker); a fill
//    needs a brush that is neither empty nor without colour, an outline
//    such a pen; markers take the brush's colour whenever it has one
//    (fill style 0 included), else the pen's;
//  - model_bbox() is the device box through the inverse, recomputed after
//    either changes.

#include <orvane/geometry/qvPointTag.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/rendering/qvDrawObject.hpp>

#include "rendering/qvDrawObjectPort.hpp"
#include "qvRasterVBuf.hpp"

#include <vector>

class qvRasterDraw : public qvDrawObject, public qvDrawObjectPort {
public:
    explicit qvRasterDraw(qvRasterVBuf& vbuf);

    void* query_interface(qvInterfaceInfo const& info) override;

    // ---- draw object -------------------------------------------------------------
    qvVBufObject& vbuf() const override { return *vbuf_; }
    void brush_origin(qvCrdOf<double> const& origin) override;
    qvCrdOf<double> brush_origin() override { return brush_origin_; }
    using qvDrawObject::clip;
    void clip(qvBaseRegion const& region) override;
    qvBaseRegion const& clip() const override { return clip_; }
    // Raster sources only, `from` and `to` of equal sizes; cut by the clip.
    bool copy(qvVBufObject const& source, qvMathRectOf<double> const& from,
              qvMathRectOf<double> const& to) override;

    // ---- flavour port ---------------------------------------------------------------
    qvDrawObject& draw() override { return *this; }
    bool draw_shape(qvShapeBase const& record) override;
    // Width: length x the font size; ascent the font size; descent 0. Zero
    // without a palette.
    qvExtent text_metrics(long attribute, char const* text, unsigned length) override;

private:
    qvCrdOf<double> map(qvCrdOf<double> const& p) const noexcept;
    // Rasterises a record that passed the checks; `box` is its mapped box.
    void rasterise(qvShapeBase const& record, qvMathRectOf<double> const& box);
    // The flattened figures of the decoded Bézier points into figure_*.
    void flatten_bezier();

    qvISafePtr<qvRasterVBuf> vbuf_;
    qvRegion clip_;
    std::vector<qvMathRectOf<double>> clip_rects_;
    qvCrdOf<double> brush_origin_{0, 0};
    // Scratch storage reused record after record.
    std::vector<qvCrdOf<double>> points_;
    std::vector<qvPointTag> tags_;
    std::vector<qvCrdOf<double>> figure_points_;
    std::vector<std::size_t> figure_starts_;
    std::vector<bool> figure_closed_;
};
