// The library's symbol painters. Each draw takes the drawing's box under
// the port's present transformation, rewrites the painter's own shapes in
// place (point sets emptied, then refilled from index 0), stamps the
// attribute handle and hands the records to the port in a fixed order.
// A box no shape can hold (a size of 1e300, a NaN anchor, a non-scalable
// size under a scale of 0) draws nothing: neither the shapes nor the driver
// ever see such coordinates.

#include <orvane/core/qvNumericConversion.hpp>
#include <orvane/drawings/qvStandardSymbolPainters.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>
#include <orvane/geometry/qvFiniteCoordinates.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

#include <optional>

namespace {

struct SymbolPainterBox {
    double x0, y0, x1, y1, cx, cy;
};

// The drawing's box under the port's transformation; none when no shape
// could hold it.
std::optional<SymbolPainterBox> symbol_painter_box(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const qvMathRectOf<double> b = drawing.bbox(&port.transformation());
    if (!qvFitsFloat(b))
        return std::nullopt;
    return SymbolPainterBox{b.x1, b.y1, b.x2, b.y2, (b.x1 + b.x2) * 0.5, (b.y1 + b.y2) * 0.5};
}

template <class Shape>
void symbol_painter_points(Shape& shape, std::initializer_list<qvCrdOf<double>> points) {
    const int n = shape->size();
    if (n > 0) shape->remove(0, n);
    shape->insert(0, static_cast<int>(points.size()), points.begin());
}

template <class Shape>
void symbol_painter_send(qvFlavorPort& port, Shape& shape, long handle) {
    auto* record = shape->record();
    if (record == nullptr) return;
    record->attribute_handle = qvCheckedInt32(handle);
    port.draw_shape(*record);
}

}  // namespace

void qvAttributedSymbolPainter::attribute(qvSharedAttribute const& a) {
    attribute_ = a;
    invalidate();
}

long qvAttributedSymbolPainter::attribute_handle() const {
    return attribute_ ? attribute_->attribute_handle() : 0;
}

void qvCircleSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    ellipse_->rectangle(qvMathRectOf<double>(b.x0, b.y0, b.x1, b.y1));
    symbol_painter_send(port, ellipse_, attribute_handle());
}

void qvCrossSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    symbol_painter_points(lines_[0], {{b.x0, b.y0}, {b.x1, b.y1}});
    symbol_painter_points(lines_[1], {{b.x0, b.y1}, {b.x1, b.y0}});
    const long handle = attribute_handle();
    for (auto& line : lines_) symbol_painter_send(port, line, handle);
}

void qvDiamondSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    symbol_painter_points(polygon_, {{b.cx, b.y0}, {b.x1, b.cy}, {b.cx, b.y1}, {b.x0, b.cy}});
    symbol_painter_send(port, polygon_, attribute_handle());
}

void qvPlusSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    symbol_painter_points(lines_[0], {{b.x0, b.cy}, {b.x1, b.cy}});
    symbol_painter_points(lines_[1], {{b.cx, b.y1}, {b.cx, b.y0}});
    const long handle = attribute_handle();
    for (auto& line : lines_) symbol_painter_send(port, line, handle);
}

void qvSquareSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    rectangle_->rectangle(qvMathRectOf<double>(b.x0, b.y0, b.x1, b.y1));
    qvPalette* own = attribute() ? attribute()->attribute_palette() : port.palette();
    std::optional<qvFlavorPortPalette> swap;   // puts the port's palette back on every exit
    if (own != port.palette()) swap.emplace(port, own);
    symbol_painter_send(port, rectangle_, attribute_handle());
}

void qvStarSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    symbol_painter_points(lines_[0], {{b.x0, b.cy}, {b.x1, b.cy}});
    symbol_painter_points(lines_[1], {{b.cx, b.y0}, {b.cx, b.y1}});
    symbol_painter_points(lines_[2], {{b.x0, b.y0}, {b.x1, b.y1}});
    symbol_painter_points(lines_[3], {{b.x1, b.y0}, {b.x0, b.y1}});
    const long handle = attribute_handle();
    for (auto& line : lines_) symbol_painter_send(port, line, handle);
}

void qvTriangleSymbolPainter::draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) {
    const std::optional<SymbolPainterBox> box = symbol_painter_box(port, drawing);
    if (!box)
        return;
    const SymbolPainterBox& b = *box;
    symbol_painter_points(polygon_, {{b.cx, b.y0}, {b.x0, b.y1}, {b.x1, b.y1}});
    symbol_painter_send(port, polygon_, attribute_handle());
}
