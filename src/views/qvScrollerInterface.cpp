// The scroller's arithmetic: the pending result of each operation, the
// adjustment into the limits, the commit, the replay on a linked scroller,
// and the broadcast marks.
//
// Every do_ operation follows one pattern (stage()): it works out the old
// position and a candidate, lets adjust() move the candidate into the new
// limits as seen through the new window and a mapping chosen per operation,
// and records the result together with two factors. Δ = old.y - result.y is
// the device distance the picture moves; it goes into the device-side
// (left) factor, or into the model-side (right) one for a mapping, so that
// the committed mapping left ∘ mapping ∘ right takes the new position to
// the old position's device value, the window start. The recorded new
// position keeps the old y for the same reason.
//
// The formulas are written in the order of their terms on purpose: linked
// scrollers with equal state must come to equal bits.

#include <orvane/views/qvScrollerInterface.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include <cmath>

namespace {

[[noreturn]] void raise_invalid_argument() {
    qvRaise(qvErrorFrom<qvScrollerInterface>("Invalid scroller argument"));
}

void require_finite(double v) {
    if (!std::isfinite(v)) raise_invalid_argument();
}

void require_finite(qvRangeOf<double> const& r) {
    require_finite(r.lo);
    require_finite(r.hi);
}

// A mapping component given as an argument: finite, and invertible.
void require_component(qvRTComponent const& c) {
    require_finite(c.scale);
    require_finite(c.offset);
    if (c.scale == 0) raise_invalid_argument();
}

// The model value at device value y: written as y·(1/S) − O/S, not
// (y − O)/S, because that is what every scroller computes.
double model_value(double y, qvRTComponent const& m) noexcept {
    return y * (1 / m.scale) - m.offset / m.scale;
}

// The broadcast now running: its serial, and how many update, begin_update
// and end_update calls are open. One thread only, as everything here.
std::uint64_t broadcast_serial = 0;
int open_calls = 0;

}  // namespace

void* qvScrollerInterface::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvScrollerInterface>(this, info);
}

// ---------------------------------------------------------------------------
// Adjusting a position

qvCrdOf<double> qvScrollerInterface::recalculate(qvRangeOf<double> window, qvRTComponent mapping) {
    return {model_value(window.lo, mapping), window.lo};
}

// Limits (0, 0) skip the placement. Round-off moves the rounded device
// value one unit up when the result would leave the limits on the low side
// of the model range; that test needs limits (without them it would move
// every negative position).
qvCrdOf<double> qvScrollerInterface::adjust(qvRangeOf<double> limits, qvRangeOf<double> window,
                                            qvRTComponent mapping, qvCrdOf<double> p) {
    const double s = mapping.scale;
    const bool is_flipped = s < 0;
    const bool has_limits = !unrestricted(limits);
    qvCrdOf<double> result = p;
    if (has_limits) {
        const double ms = std::fabs(limits.hi - limits.lo);
        const double ws = std::fabs((window.hi - window.lo) / s);
        bool placed = true;
        if (ws >= ms) {
            const double spare = ms - ws;
            switch (alignment_) {
                case qvLimitsAtEnd: result.x = is_flipped ? limits.hi - spare : limits.lo + spare; break;
                case qvLimitsAtStart: result.x = is_flipped ? limits.hi : limits.lo; break;
                default:
                    result.x = is_flipped ? limits.hi - spare * 0.5 : limits.lo + spare * 0.5;
                    break;
            }
        } else if (!is_flipped) {
            if (result.x < limits.lo)
                result.x = limits.lo;
            else if (result.x > limits.hi - ws)
                result.x = limits.hi - ws;
            else
                placed = false;
        } else {
            if (result.x > limits.hi)
                result.x = limits.hi;
            else if (result.x < limits.lo + ws)
                result.x = limits.lo + ws;
            else
                placed = false;
        }
        if (placed) result.y = s * result.x + mapping.offset;
    }
    if (round_off_) {
        result.y = std::floor(result.y + 0.5);
        result.x = model_value(result.y, mapping);
        if (has_limits && (is_flipped ? result.x > limits.hi : result.x < limits.lo)) {
            result.y = result.y + 1;
            result.x = model_value(result.y, mapping);
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// The do_ operations

// Adjusts, adds Δ to the factor that carries it, checks what a commit would
// make of the result, and only then records it.
double qvScrollerInterface::stage(Staged s) {
    const qvCrdOf<double> adjusted = adjust(s.new_limits, s.new_window, s.judge, s.candidate);
    const double delta = s.old_position.y - adjusted.y;
    if (s.operation == mapping_operation)
        s.right.offset = s.right.offset + delta;
    else
        s.left.offset = s.left.offset + delta;

    // What the commit would make the mapping (see commit()).
    const qvRTComponent committed =
        s.operation == mapping_operation
            ? s.right
            : qvRTComponent(s.right.scale * mapping_.scale * s.left.scale,
                            s.right.offset * mapping_.scale * s.left.scale +
                                mapping_.offset * s.left.scale + s.left.offset);
    if (!std::isfinite(adjusted.x) || !std::isfinite(s.old_position.y) || committed.scale == 0 ||
        !std::isfinite(committed.scale) || !std::isfinite(committed.offset))
        raise_invalid_argument();

    arg1_ = s.arg1;
    arg2_ = s.arg2;
    new_limits_ = s.new_limits;
    new_window_ = s.new_window;
    operation_ = s.operation;
    old_ = s.old_position;
    new_ = {adjusted.x, s.old_position.y};
    right_ = s.right;
    left_ = s.left;
    return new_.x;
}

double qvScrollerInterface::do_limits(qvRangeOf<double> limits) {
    require_finite(limits);
    return stage({limits_operation, limits.lo, limits.hi, limits, window_, current_, current_,
                  mapping_, qvRTComponent(), qvRTComponent()});
}

double qvScrollerInterface::do_resize(qvRangeOf<double> window) {
    require_finite(window);
    const qvCrdOf<double> old = recalculate(window, mapping_);
    return stage({resize_operation, window.lo, window.hi, limits_, window, old, old, mapping_,
                  qvRTComponent(), qvRTComponent()});
}

void qvScrollerInterface::check_zoom(double z, double c) {
    QV_ASSERT_TEXT(z > 0, "z > 0");
    require_finite(z);
    require_finite(c);
}

double qvScrollerInterface::do_zoom(double z, double c) {
    check_zoom(z, c);
    const qvRTComponent zoom(z, (1 - z) * c);
    const qvRTComponent judge(mapping_.scale * z, mapping_.scale * (1 - z) * c + mapping_.offset);
    const qvCrdOf<double> old = recalculate(window_, judge);
    return stage({zoom_operation, z, c, limits_, window_, old, old, judge, zoom, qvRTComponent()});
}

double qvScrollerInterface::do_scroll(double distance) {
    require_finite(distance);
    const qvCrdOf<double> candidate(current_.x + distance, mapping_.scale * distance + current_.y);
    return stage({scroll_operation, distance, 0, limits_, window_, current_, candidate, mapping_,
                  qvRTComponent(), qvRTComponent()});
}

double qvScrollerInterface::do_position(double position) {
    require_finite(position);
    const qvCrdOf<double> candidate(position, mapping_.scale * position + mapping_.offset);
    return stage({position_operation, position, 0, limits_, window_, current_, candidate, mapping_,
                  qvRTComponent(), qvRTComponent()});
}

void qvScrollerInterface::do_alignment(qvLimitsAlignment alignment) {
    // adjust() reads the alignment, which takes effect at once; a refused
    // result restores it.
    const qvLimitsAlignment before = alignment_;
    alignment_ = alignment;
    try {
        stage({alignment_operation, 0, 0, limits_, window_, current_, current_, mapping_,
               qvRTComponent(), qvRTComponent()});
    } catch (...) {
        alignment_ = before;
        throw;
    }
}

double qvScrollerInterface::do_mapping(qvRTComponent mapping) {
    require_component(mapping);
    const qvCrdOf<double> old = recalculate(window_, mapping);
    return stage({mapping_operation, mapping.scale, mapping.offset, limits_, window_, old, old,
                  mapping, mapping, qvRTComponent()});
}

double qvScrollerInterface::do_apply_left(qvRTComponent factor) {
    require_component(factor);
    const qvRTComponent judge(factor.scale * mapping_.scale,
                              factor.scale * mapping_.offset + factor.offset);
    const qvCrdOf<double> old = recalculate(window_, judge);
    return stage({apply_left_operation, factor.scale, factor.offset, limits_, window_, old, old,
                  judge, qvRTComponent(), factor});
}

double qvScrollerInterface::do_apply_right(qvRTComponent factor) {
    require_component(factor);
    const qvRTComponent judge(mapping_.scale * factor.scale,
                              mapping_.scale * factor.offset + mapping_.offset);
    const qvCrdOf<double> old = recalculate(window_, judge);
    return stage({apply_right_operation, factor.scale, factor.offset, limits_, window_, old, old,
                  judge, factor, qvRTComponent()});
}

// Takes effect at once and moves nothing: the position is not re-rounded
// until the next operation.
void qvScrollerInterface::do_round_off(bool on) {
    arg1_ = on ? 1.0 : 0.0;
    round_off_ = on;
    new_limits_ = limits_;
    new_window_ = window_;
    operation_ = round_off_operation;
    old_ = current_;
    new_ = current_;
    right_ = qvRTComponent();
    left_ = qvRTComponent();
}

void qvScrollerInterface::update(bool, qvScrollerInterface const*) {}
void qvScrollerInterface::begin_update(qvScrollerInterface const*) {}
void qvScrollerInterface::end_update(qvScrollerInterface const*) {}

// ---------------------------------------------------------------------------
// Commit and replay

void qvScrollerInterface::commit() noexcept {
    if (operation_ == no_operation) return;
    if (operation_ == mapping_operation) {
        mapping_ = right_;
    } else {
        const double s = mapping_.scale, o = mapping_.offset;
        mapping_ = qvRTComponent(right_.scale * s * left_.scale,
                                 right_.offset * s * left_.scale + o * left_.scale + left_.offset);
    }
    limits_ = new_limits_;
    window_ = new_window_;
    current_ = new_;
    operation_ = no_operation;
}

bool qvScrollerInterface::took_part() const noexcept {
    return open_calls > 0 && marks_.update == broadcast_serial;
}

double qvScrollerInterface::execute(qvScrollerInterface& target) {
    if (target.took_part()) return target.position();
    switch (operation_) {
        case limits_operation: return target.do_limits(qvRangeOf<double>(arg1_, arg2_));
        case resize_operation: return target.do_resize(qvRangeOf<double>(arg1_, arg2_));
        case zoom_operation: return target.do_zoom(arg1_, arg2_);
        case scroll_operation: return target.do_scroll(arg1_);
        case position_operation: return target.do_position(arg1_);
        case mapping_operation: return target.do_mapping(qvRTComponent(arg1_, arg2_));
        case apply_left_operation: return target.do_apply_left(qvRTComponent(arg1_, arg2_));
        case apply_right_operation: return target.do_apply_right(qvRTComponent(arg1_, arg2_));
        case round_off_operation: target.do_round_off(arg1_ != 0.0); break;
        case alignment_operation: target.do_alignment(alignment_); break;
        default: break;
    }
    return position();
}

// ---------------------------------------------------------------------------
// Broadcast marks

qvScrollerInterface::BroadcastPass::BroadcastPass(qvScrollerInterface& self, Kind kind) noexcept
    : self_(self), kind_(kind) {
    if (open_calls++ == 0) ++broadcast_serial;
    std::uint64_t& mark = kind == update_pass  ? self.marks_.update
                          : kind == begin_pass ? self.marks_.begin
                                               : self.marks_.end;
    joined_ = mark != broadcast_serial && !(kind == end_pass && self.marks_.holding_end);
    if (joined_) {
        mark = broadcast_serial;
        if (kind == update_pass) self.marks_.holding_end = true;
    }
}

qvScrollerInterface::BroadcastPass::~BroadcastPass() {
    if (joined_ && kind_ == update_pass && self_.marks_.holding_end) {
        // Left by an error before the commit: what was pending is dropped,
        // so no later update commits half a broadcast.
        self_.marks_.holding_end = false;
        self_.operation_ = no_operation;
    }
    --open_calls;
}

void qvScrollerInterface::BroadcastPass::finish_update() noexcept {
    self_.marks_.holding_end = false;
}

// ---------------------------------------------------------------------------
// Public operations

namespace {

// The update(true, nullptr) that follows a public operation's do_ step;
// passes the step's result through.
double published(qvScrollerInterface& s, double result) {
    s.update(true, nullptr);
    return result;
}

}  // namespace

double qvScrollerInterface::limits(qvRangeOf<double> limits) {
    return published(*this, do_limits(limits));
}

double qvScrollerInterface::limits(double a, double b) { return limits(qvRangeOf<double>(a, b)); }

double qvScrollerInterface::model_limits(qvCrdOf<double> limits) {
    return this->limits(qvRangeOf<double>(limits.x, limits.y));
}

double qvScrollerInterface::resize(qvRangeOf<double> window) {
    return published(*this, do_resize(window));
}

double qvScrollerInterface::resize(double a, double b) { return resize(qvRangeOf<double>(a, b)); }

double qvScrollerInterface::zoom(double z, double c) { return published(*this, do_zoom(z, c)); }

double qvScrollerInterface::scroll(double distance) {
    return published(*this, do_scroll(distance));
}

double qvScrollerInterface::position(double position) {
    return published(*this, do_position(position));
}

double qvScrollerInterface::mapping(qvRTComponent mapping) {
    return published(*this, do_mapping(mapping));
}

double qvScrollerInterface::mapping(double scale, double offset) {
    return mapping(qvRTComponent(scale, offset));
}

double qvScrollerInterface::apply_left(qvRTComponent factor) {
    return published(*this, do_apply_left(factor));
}

double qvScrollerInterface::apply_left(double scale, double offset) {
    return apply_left(qvRTComponent(scale, offset));
}

double qvScrollerInterface::apply_right(qvRTComponent factor) {
    return published(*this, do_apply_right(factor));
}

double qvScrollerInterface::apply_right(double scale, double offset) {
    return apply_right(qvRTComponent(scale, offset));
}

void qvScrollerInterface::alignment(qvLimitsAlignment alignment) {
    do_alignment(alignment);
    update(true, nullptr);
}

void qvScrollerInterface::round_off(bool on) {
    do_round_off(on);
    update(true, nullptr);
}

namespace {

// A step of `fraction` window lengths, towards the device-high end unless
// `back`; a flipped axis turns the model direction round once more.
double step_of(qvScrollerInterface const& s, double fraction, bool back) noexcept {
    double step = s.window_size() * fraction;
    if (back) step = -step;
    if (s.flipped()) step = -step;
    return step;
}

}  // namespace

double qvScrollerInterface::page_sub() { return scroll(step_of(*this, page_, true)); }
double qvScrollerInterface::page_add() { return scroll(step_of(*this, page_, false)); }
double qvScrollerInterface::line_sub() { return scroll(step_of(*this, line_, true)); }
double qvScrollerInterface::line_add() { return scroll(step_of(*this, line_, false)); }

double qvScrollerInterface::scroll_to_start() {
    if (restricted()) position(flipped() ? limits_.hi : limits_.lo);
    return position();
}

double qvScrollerInterface::scroll_to_end() {
    if (restricted())
        position(flipped() ? limits_.lo + window_size() : limits_.hi - window_size());
    return position();
}

// ---------------------------------------------------------------------------
// Accessors

double qvScrollerInterface::window_size() const noexcept {
    return std::fabs((window_.hi - window_.lo) / mapping_.scale);
}

double qvScrollerInterface::model_size() const noexcept { return std::fabs(limits_.hi - limits_.lo); }

void qvScrollerInterface::page(double fraction) noexcept { page_ = std::fabs(fraction); }
void qvScrollerInterface::line(double fraction) noexcept { line_ = std::fabs(fraction); }
