// qvDrawBezierHelper: figure ends found once, then one walk per draw.
//
// Every tag and point read goes through tag_at() and holds(), which keep
// reads inside [0, last_] whatever the tags say; a segment is also cut short
// at its figure's end, so a walk never passes an end it was given.

#include <orvane/geometry/qvDrawBezierHelper.hpp>

#include <algorithm>

qvDrawBezierHelper::qvDrawBezierHelper(qvPointSetInterface const& points)
    : points_(points), last_(std::max(points.size(), 0) - 1) {
    for (int i = 0; i <= last_; ++i) {
        const qvPointTag t = points_.tag(i);
        if (t != qvPointOnCurve && t != qvPointControl) figure_ends_.push_back(i);
    }
    if (last_ >= 0 && (figure_ends_.empty() || figure_ends_.back() != last_))
        figure_ends_.push_back(last_);
    reset();
}

qvDrawBezierHelper::~qvDrawBezierHelper() = default;

void qvDrawBezierHelper::draw(qvDrawBezierPortInterface& port) {
    reset();
    port.begin();
    bool begun = false;
    bool closed = false;
    for (const int end : figure_ends_) {
        get();
        const bool figure_closed = tag_at(end) == qvPointClosedEnd;
        if (!begun || figure_closed != closed) {
            if (begun) port.end_figures();
            port.begin_figures(figure_closed);
            begun = true;
            closed = figure_closed;
        }
        port.move_to(point_);
        while (index_ < end) draw_segment(port, end);
        next();
    }
    if (begun) port.end_figures();
    port.end();
}

void qvDrawBezierHelper::draw_segment(qvDrawBezierPortInterface& port, int figure_end) {
    next();
    // With consistent tags the kind never reaches past the figure's end;
    // the cut keeps a walk inside it when the tags changed since construction.
    const int kind = std::min(detect_segment(), figure_end - index_ + 1);
    if (kind <= 1) {
        port.line_to(point_);
    } else if (kind == 2) {
        const qvCrdOf<double> control = point_;
        next();
        port.quadratic_to(control, get());
    } else {
        const qvCrdOf<double> control1 = point_;
        next();
        const qvCrdOf<double> control2 = get();
        next();
        port.cubic_to(control1, control2, get());
    }
}

void qvDrawBezierHelper::reset() {
    index_ = 0;
    get_sym();
}

void qvDrawBezierHelper::next() {
    if (index_ <= last_) ++index_;
    get_sym();
}

void qvDrawBezierHelper::prev() {
    if (index_ >= 0) --index_;
    get_sym();
}

qvCrdOf<double> const& qvDrawBezierHelper::get() {
    get_sym();
    if (holds(index_)) point_ = points_.point(index_);
    return point_;
}

int qvDrawBezierHelper::detect_segment() {
    const long long i = index_;
    int kind = 1;
    long long after = i + 1;  // the position after the last control point looked at
    if (tag_at(i) == qvPointControl) {
        kind = 2;
        if (tag_at(i + 1) == qvPointControl) {
            kind = 3;
            after = i + 2;
        }
        if (tag_at(after) == 0) --kind;  // the control points run off the set
    }
    get();
    return kind;
}

qvPointTag qvDrawBezierHelper::get_sym() {
    tag_ = tag_at(index_);
    return tag_;
}

qvPointTag qvDrawBezierHelper::tag_at(long long index) const {
    return holds(index) ? points_.tag(static_cast<int>(index)) : qvPointTag{};
}
