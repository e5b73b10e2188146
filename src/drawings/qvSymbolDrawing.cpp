// Symbol drawings: placement, the painter link, and the mapping of a
// painter's own coordinates into a drawing's box.
//
// The collector is connected only while the drawing has a painter, and
// always to that painter's publisher; every change of painter goes through
// disconnect_painter / connect_painter so the two cannot drift apart.

#include <orvane/drawings/qvDrawingChangeGuard.hpp>
#include <orvane/drawings/qvSymbolDrawing.hpp>
#include <orvane/geometry/qvRectToRectTransformation.hpp>

#include <cmath>
#include <limits>

// ---------------------------------------------------------------- collector

void PainterRectCollector::invalidate() { drawing_->invalidate(); }

void PainterRectCollector::invalidate(qvMathRectOf<double> const&, int) {
    drawing_->invalidate(drawing_->bbox(nullptr));
}

// ---------------------------------------------------------------- construction

qvSymbolDrawing::qvSymbolDrawing() : collector_(std::make_unique<PainterRectCollector>(this)) {}

qvSymbolDrawing::qvSymbolDrawing(qvSymbolPainter* painter, qvCrdOf<double> const& anchor,
                                 double width, double height, bool scalable)
    : scalable_(scalable), painter_(painter), anchor_(anchor), width_(width), height_(height),
      collector_(std::make_unique<PainterRectCollector>(this)) {
    connect_painter();
}

qvSymbolDrawing::qvSymbolDrawing(qvSymbolPainter* painter, qvMathRectOf<double> const& r)
    : scalable_(true), painter_(painter),
      anchor_((r.x1 + r.x2) * 0.5, (r.y1 + r.y2) * 0.5), width_(r.x2 - r.x1),
      height_(r.y2 - r.y1), collector_(std::make_unique<PainterRectCollector>(this)) {
    connect_painter();
}

// The qvDrawing part starts fresh: a copy is in no container yet.
qvSymbolDrawing::qvSymbolDrawing(qvSymbolDrawing const& other)
    : qvDrawing(), scalable_(other.scalable_), painter_(other.painter_),
      alignment_(other.alignment_), anchor_(other.anchor_), width_(other.width_),
      height_(other.height_), collector_(std::make_unique<PainterRectCollector>(this)) {
    connect_painter();
}

qvSymbolDrawing& qvSymbolDrawing::operator=(qvSymbolDrawing const& other) {
    if (this == &other) return *this;
    const qvDrawingChangeGuard guard(this);
    anchor_ = other.anchor_;
    width_ = other.width_;
    height_ = other.height_;
    scalable_ = other.scalable_;
    alignment_ = other.alignment_;
    disconnect_painter();
    painter_ = other.painter_;
    connect_painter();
    return *this;
}

qvSymbolDrawing::~qvSymbolDrawing() { disconnect_painter(); }

void qvSymbolDrawing::connect_painter() {
    if (collector_ && painter_) collector_->connect(painter_->publisher());
}

void qvSymbolDrawing::disconnect_painter() {
    if (collector_ && painter_) collector_->disconnect(painter_->publisher());
}

// ---------------------------------------------------------------- setters

void qvSymbolDrawing::anchor(qvCrdOf<double> const& a) {
    if (a.x == anchor_.x && a.y == anchor_.y) return;
    const qvDrawingChangeGuard guard(this);
    anchor_ = a;
}

void qvSymbolDrawing::width(double w) {
    if (!(std::fabs(w - width_) > std::numeric_limits<double>::epsilon())) return;
    const qvDrawingChangeGuard guard(this);
    width_ = w;
}

void qvSymbolDrawing::height(double h) {
    if (!(std::fabs(h - height_) > std::numeric_limits<double>::epsilon())) return;
    const qvDrawingChangeGuard guard(this);
    height_ = h;
}

void qvSymbolDrawing::scalable(bool s) {
    if (s == scalable_) return;
    const qvDrawingChangeGuard guard(this);
    scalable_ = s;
}

void qvSymbolDrawing::alignment(unsigned a) {
    if (a == alignment_) return;
    const qvDrawingChangeGuard guard(this);
    alignment_ = a;
}

void qvSymbolDrawing::rect(qvMathRectOf<double> const& r) {
    const qvDrawingChangeGuard guard(this);
    width_ = r.x2 - r.x1;
    height_ = r.y2 - r.y1;
    const unsigned h = alignment_ & 12u, v = alignment_ & 3u;
    anchor_.x = h == 8 ? r.x1 + width_ : h == 12 ? r.x1 + width_ * 0.5 : r.x1;
    anchor_.y = v == 2 ? r.y1 + height_ : v == 3 ? r.y1 + height_ * 0.5 : r.y1;
}

void qvSymbolDrawing::painter(qvSymbolPainterPtr p) {
    const qvDrawingChangeGuard guard(this);
    disconnect_painter();
    painter_ = p;
    connect_painter();
}

// ---------------------------------------------------------------- drawing

void qvSymbolDrawing::render(qvFlavorPort& port, qvMathRectOf<double> const&) {
    if (painter_) painter_->draw(port, *this);
}

qvMathRectOf<double> qvSymbolDrawing::bbox(qvRestrictedTransformation const* rt) const {
    double w = width_, h = height_;
    if (!scalable_ && rt != nullptr) {
        w = width_ / std::fabs(rt->m0());
        h = height_ / std::fabs(rt->m3());
    }
    const unsigned ha = alignment_ & 12u, va = alignment_ & 3u;
    const double x0 = ha == 8 ? anchor_.x - w : ha == 12 ? anchor_.x - w * 0.5 : anchor_.x;
    const double y0 = va == 2 ? anchor_.y - h : va == 3 ? anchor_.y - h * 0.5 : anchor_.y;
    return qvMathRectOf<double>(x0, y0, x0 + w, y0 + h);   // normalises
}

// ---------------------------------------------------------------- utilities

qvMathRectOf<double> SymbolPainterUtils::align_rect_into_rect(qvMathRectOf<double> const& src,
                                                              qvMathRectOf<double> const& dst,
                                                              unsigned alignment) {
    const double sw = src.x2 - src.x1, sh = src.y2 - src.y1;
    const double dw = dst.x2 - dst.x1, dh = dst.y2 - dst.y1;
    if (dw < sw && dh < sh) return dst;
    unsigned mode = alignment;
    if (dw < sw) mode = (alignment & 3u) | 12u;
    else if (dh < sh) mode = (alignment & 12u) | 3u;
    const unsigned h = mode & 12u, v = mode & 19u;
    const double cx = h == 8 ? dst.x2 - sw * 0.5 : h == 12 ? (dst.x1 + dst.x2) * 0.5 : dst.x1 + sw * 0.5;
    const double cy = v == 1 ? dst.y1 + sh * 0.5 : v == 2 ? dst.y2 - sh * 0.5 : (dst.y1 + dst.y2) * 0.5;
    const double dx = cx - (src.x1 + src.x2) * 0.5, dy = cy - (src.y1 + src.y2) * 0.5;
    return qvMathRectOf<double>(src.x1 + dx, src.y1 + dy, src.x2 + dx, src.y2 + dy);
}

void SymbolPainterUtils::get_model_coords(qvSymbolDrawing const& d,
                                          std::vector<qvCrdOf<double>> const& points,
                                          std::vector<qvCrdOf<double>>& out) {
    if (points.empty()) {
        out.clear();
        return;
    }
    qvMathRectOf<double> s(points[0], points[0]);
    for (auto const& p : points) {
        if (p.x < s.x1) s.x1 = p.x;
        if (p.x > s.x2) s.x2 = p.x;
        if (p.y < s.y1) s.y1 = p.y;
        if (p.y > s.y2) s.y2 = p.y;
    }
    const qvMathRectOf<double> box = d.bbox(nullptr);
    const qvMathRectOf<double> target = d.scalable() ? box : align_rect_into_rect(s, box, d.alignment());
    const qvRectToRectTransformation m(s, target);
    out.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i)
        out[i] = qvCrdOf<double>(points[i].x * m.m0() + m.m4(), points[i].y * m.m3() + m.m5());
}
