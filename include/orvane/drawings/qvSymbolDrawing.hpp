#pragma once
// qvSymbolDrawing: one small symbol in a box placed at an anchor. The
// drawing keeps the placement only; its painter, shared with other
// drawings, decides the looks and draws.
//
// Keeps true: the drawing's collector lives exactly as long as the drawing
// and is connected to at most one publisher, that of the present painter.
// Width and height are model units when scalable, else device units turned
// into model units by the port's scales when drawn.
//
// Alignment: bits 2-3 (value & 12) place the box horizontally, 8 anchor on
// the right edge, 12 centred, 0 or 4 anchor on the left edge; bits 0-1
// (value & 3) vertically, 2 anchor on the high-y edge, 3 centred, 0 or 1
// anchor on the low-y edge. Higher bits are ignored.

#include <orvane/core/qvBroadcastReceiver.hpp>
#include <orvane/core/qvInvalidateEvent.hpp>
#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/drawings/qvSymbolPainter.hpp>
#include <orvane/geometry/qvCrd.hpp>

#include <memory>
#include <vector>

class qvSymbolDrawing;

// Hears a painter's publisher for one drawing.
class PainterRectCollector : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    explicit PainterRectCollector(qvSymbolDrawing* drawing) noexcept : drawing_(drawing) {}
    ~PainterRectCollector() override { disconnect_all(); }
    void invalidate() override;
    // Reports the drawing's own box, not the event's rectangle.
    void invalidate(qvMathRectOf<double> const& rect, int flag) override;

private:
    qvSymbolDrawing* drawing_;
};

class qvSymbolDrawing : public qvDrawing {
public:
    qvSymbolDrawing();
    qvSymbolDrawing(qvSymbolPainter* painter, qvCrdOf<double> const& anchor, double width,
                    double height, bool scalable);
    qvSymbolDrawing(qvSymbolPainter* painter, qvMathRectOf<double> const& r);
    qvSymbolDrawing(qvSymbolDrawing const& other);
    qvSymbolDrawing& operator=(qvSymbolDrawing const& other);
    ~qvSymbolDrawing() override;

    qvCrdOf<double> anchor() const noexcept { return anchor_; }
    void anchor(qvCrdOf<double> const& a);
    double width() const noexcept { return width_; }
    void width(double w);
    double height() const noexcept { return height_; }
    void height(double h);
    bool scalable() const noexcept { return scalable_; }
    void scalable(bool s);
    unsigned alignment() const noexcept { return alignment_; }
    void alignment(unsigned a);
    // Takes r's size and places the anchor on r by the present alignment.
    void rect(qvMathRectOf<double> const& r);

    qvSymbolPainterPtr painter() const { return painter_; }
    void painter(qvSymbolPainterPtr p);

    // Draws nothing without a painter.
    void render(qvFlavorPort& port, qvMathRectOf<double> const& area) override;
    qvMathRectOf<double> bbox(qvRestrictedTransformation const* rt) const override;

private:
    void connect_painter();
    void disconnect_painter();

    bool scalable_ = false;
    qvSymbolPainterPtr painter_;
    unsigned alignment_ = 15;
    qvCrdOf<double> anchor_{0.0, 0.0};
    double width_ = 0.0;
    double height_ = 0.0;
    std::unique_ptr<PainterRectCollector> collector_;
};

// Maps a painter's own coordinates into a drawing's box.
class SymbolPainterUtils {
public:
    // src moved (not scaled) into dst by alignment; dst itself when src
    // fits in neither direction. Vertically 1 is the low edge, 2 the high
    // edge, anything else the centre.
    static qvMathRectOf<double> align_rect_into_rect(qvMathRectOf<double> const& src,
                                                     qvMathRectOf<double> const& dst,
                                                     unsigned alignment);
    // Scalable drawings stretch the points' box onto theirs; others place it
    // by their alignment. An empty list gives an empty list.
    static void get_model_coords(qvSymbolDrawing const& d,
                                 std::vector<qvCrdOf<double>> const& points,
                                 std::vector<qvCrdOf<double>>& out);
};
