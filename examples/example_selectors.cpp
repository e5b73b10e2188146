// Selectors: hit testing by drawing. A small scene (a rectangle, an
// ellipse, a polyline, a polygon and some markers) is shown in a view
// whose driver is a selector instead of a screen; redrawing the area under
// a spot, then a box, hands every record there to the selector, which
// reports the ones it hits, topmost first.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/interaction/qvBoxSelector.hpp>
#include <orvane/interaction/qvSpotSelector.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvPolyMarker.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewBackgroundLayerObject.hpp>
#include <orvane/views/qvViewCreator.hpp>
#include <orvane/views/qvViewSceneLayer.hpp>

#include <iostream>

namespace {

char const* kind_name(int kind) {
    switch (kind) {
    case qvRectangleKind: return "rectangle";
    case qvEllipseKind: return "ellipse";
    case qvCompactPolyMarkerKind: return "markers";
    case qvCompactPolylineKind: return "polyline";
    case qvExactPolygonKind: return "exact polygon";
    default: return "other";
    }
}

// Prints each hit and lets the traversal go on.
struct PrintHits : qvSelector::Callback {
    bool selected(qvShapeBase const* record, qvScene const*) override {
        std::cout << " " << kind_name(record->kind) << " (" << record->kind << ")";
        return true;
    }
};

}  // namespace

void example_selectors() {
    std::cout << "Selectors\n";
    qvMemoryScene scene;
    qvRectangle(scene, qvMathRectOf<double>(0, 0, 40, 30));
    qvEllipse(scene, qvCrdOf<double>(20, 15), 10);
    const qvCrdOf<double> line[] = {{0, 40}, {30, 45}, {60, 40}};
    qvPolyline(scene, 3, line);
    const qvCrdOf<double> triangle[] = {{50, 0}, {90, 0}, {90, 30}};
    qvExactPolygon(scene, 3, triangle);
    const qvCrdOf<double> dots[] = {{70, 50}, {80, 55}};
    qvPolyMarker(scene, 2, dots);

    // The view a selection makes: a background that paints nothing and the
    // scene in model coordinates (identity mapping).
    qvViewManager view = qvViewCreator::create();
    view->background()->fill_style(qvFillStyle{1});
    qvViewSceneLayer layer(scene, -1);
    layer->mapping(qvRestrictedTransformation::identity());
    view->add(layer, qvOrderLast);

    PrintHits print;
    // A spot on the ellipse's right end, inside the rectangle. The
    // whole-area option (0x20) also counts the inside of closed shapes.
    for (unsigned options : {0u, qvSelector::whole_area}) {
        qvSpotSelector spot(qvCrdOf<double>(30, 15), &print);
        spot->options(options);
        const qvDeviceRenderer renderer(spot, view);
        std::cout << "  spot at (30, 15), tolerance " << spot->tolerance() << ", options " << options << ":";
        view->redraw(qvRegion(spot->bbox()), true);
        std::cout << '\n';
    }
    // A box over the right half: what lies wholly inside it, then what
    // touches it.
    for (bool touch : {false, true}) {
        qvBoxSelector box(qvMathRectOf<double>(45, -5, 95, 60), &print, touch);
        const qvDeviceRenderer renderer(box, view);
        std::cout << "  box (45, -5)-(95, 60), " << (touch ? "touching" : "inside") << ":";
        view->redraw(qvRegion(box->bbox()), true);
        std::cout << '\n';
    }
}
