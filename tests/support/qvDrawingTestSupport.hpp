#pragma once
// Test doubles of the drawings area.
//
// qvRecordingDrawingHost keeps every report it hears, in order.
//
// qvTestDrawing has a box that a test sets (reported whatever the
// transformation), keeps one Render per call (the port's transformation,
// palette and scene, and the area), draws one stand-alone rectangle over
// its box with its attribute handle (so it shows on a raster window), and
// counts its destruction in `*deaths` when given. Told so, its render
// raises qvErrorFrom<qvTestDrawing> "Test drawing refuses to render";
// on_render, when set, runs inside each render.

#include <orvane/drawings/qvDrawing.hpp>
#include <orvane/drawings/qvDrawingChangeGuard.hpp>
#include <orvane/drawings/qvDrawingHost.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>

#include <functional>
#include <vector>

class qvRecordingDrawingHost : public qvDrawingHost {
public:
    std::vector<qvMathRectOf<double>> rects;   // invalidate(rect), in order
    int wholes = 0;                            // invalidate()

    void invalidate(qvMathRectOf<double> const& rect) override { rects.push_back(rect); }
    void invalidate() override { ++wholes; }
};

class qvTestDrawing : public qvDrawing {
public:
    struct Render {
        qvRestrictedTransformation transformation;
        qvPalette* palette = nullptr;
        qvScene* scene = nullptr;
        qvMathRectOf<double> area;
    };

    std::vector<Render> renders;
    long attribute = 0;
    bool refuse = false;
    std::function<void()> on_render;

    explicit qvTestDrawing(qvMathRectOf<double> const& box = qvMathRectOf<double>(0, 0, 10, 10), int* deaths = nullptr)
        : box_(box), deaths_(deaths) {}
    qvTestDrawing(qvTestDrawing const&) = default;
    qvTestDrawing& operator=(qvTestDrawing const&) = default;
    ~qvTestDrawing() override {
        if (deaths_ != nullptr)
            ++*deaths_;
    }

    void render(qvFlavorPort& port, qvMathRectOf<double> const& area) override {
        renders.push_back({port.transformation(), port.palette(), port.scene(), area});
        if (on_render)
            on_render();
        if (refuse)
            qvRaise(qvErrorFrom<qvTestDrawing>("Test drawing refuses to render"));
        qvSimpleRectangle shape;
        shape->rectangle(box_);
        shape->record()->attribute_handle = static_cast<std::int32_t>(attribute);
        port.draw_shape(*shape->record());
    }
    qvMathRectOf<double> bbox(qvRestrictedTransformation const*) const override { return box_; }

    // A change wrapped in a guard, as a drawing's setters are.
    void box(qvMathRectOf<double> const& b) {
        const qvDrawingChangeGuard guard(this);
        box_ = b;
    }

private:
    qvMathRectOf<double> box_;
    int* deaths_;
};
