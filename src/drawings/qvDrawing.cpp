// The drawing base: visibility and the report road to the host.

#include <orvane/drawings/qvDrawing.hpp>

#include <orvane/drawings/qvDrawingHost.hpp>

void qvDrawing::visible(bool v) {
    invalidate();
    visible_ = v;
    invalidate();
}

void qvDrawing::invalidate() {
    if (host_ != nullptr)
        host_->invalidate(bbox(nullptr));
}

void qvDrawing::invalidate(qvMathRectOf<double> const& rect) {
    if (host_ != nullptr)
        host_->invalidate(rect);
}
