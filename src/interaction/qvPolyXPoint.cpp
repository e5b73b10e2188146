// The crossing accumulators (see qvPolyXPoint.hpp and its three kinds).

#include <orvane/interaction/qvPolyMarkerXPoint.hpp>
#include <orvane/interaction/qvPolygonXPoint.hpp>
#include <orvane/interaction/qvPolylineXPoint.hpp>

#include <cmath>
#include <numbers>

void qvPolygonXPoint::add_vertex(double x, double y) {
    if (on_vertex_)
        return;
    added_ = true;
    if (x == p_.x && y == p_.y) {
        on_vertex_ = true;
        return;
    }
    const double angle = std::atan2(y - p_.y, x - p_.x);
    if (started_) {
        double turn = angle - last_angle_;
        if (turn > std::numbers::pi)
            turn -= 2 * std::numbers::pi;
        else if (turn < -std::numbers::pi)
            turn += 2 * std::numbers::pi;
        sum_ += turn;
    }
    started_ = true;
    last_angle_ = angle;
}

bool qvPolygonXPoint::is_hit() const {
    if (!added_)
        return false;
    return on_vertex_ || std::fabs(sum_) >= std::numbers::pi;
}

void qvPolygonXPoint::reset() noexcept {
    sum_ = 0.0;
    last_angle_ = 0.0;
    started_ = false;
    added_ = false;
    on_vertex_ = false;
}

void qvPolylineXPoint::add_vertex(double x, double y) {
    const qvCrdOf<double> q{x, y};
    if (!started_) {
        started_ = true;
        last_ = q;
        return;
    }
    if (!hit_) {
        const double r = radius_;
        const double px = p_.x - last_.x, py = p_.y - last_.y;
        if (q.x == last_.x && q.y == last_.y) {
            hit_ = px * px + py * py <= r * r;
        } else {
            const double dx = q.x - last_.x, dy = q.y - last_.y;
            const double len = std::sqrt(dx * dx + dy * dy);
            const double dot = px * dx + py * dy;
            const double cross = dx * py - dy * px;
            hit_ = -r * len <= dot && dot <= len * len + r * len && -r * len <= cross && cross <= r * len;
        }
    }
    last_ = q;
}

void qvPolyMarkerXPoint::add_vertex(double x, double y) {
    if (hit_)
        return;
    const double dx = x - p_.x, dy = y - p_.y;
    hit_ = radius_ * radius_ >= dx * dx + dy * dy;
}
