// One scroller on its own: the initial state, placement in the limits,
// alignment, flipped axes, round-off, zoom, steps, refused input, and the
// invariants every commit keeps (against random operation sequences).

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/views/qvScrollerObject.hpp>

#include "qvFileTestSupport.hpp"
#include "qvScrollerSpy.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>

namespace {

using qv_file_test::raises;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// A scroller object with window (0, 50) and limits (0, 100), mapping (1, 0).
qvScroller bounded() {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 50);
    s->limits(0, 100);
    return s;
}

// The device value of the position: the window start after every commit.
double device_of_position(qvScrollerInterface const& s) { return s.A() * s.position() + s.B(); }

// Every field a caller can read, to state that a refused call changed none.
struct Snapshot {
    double lo, hi, wlo, whi, a, b, page, line, position;
    int alignment;
    bool round_off;
    bool operator==(Snapshot const&) const = default;
};
Snapshot snapshot(qvScrollerInterface const& s) {
    return {s.limits().lo, s.limits().hi, s.window().lo, s.window().hi, s.A(), s.B(),
            s.page(),      s.line(),      s.position(),  s.alignment(),  s.round_off()};
}

// A scroller that commits on update and links nothing: copyable, so the
// copy rules can be seen on committed state.
class Committing : public qvScrollerInterface {
public:
    void update(bool, qvScrollerInterface const*) override { commit(); }
};

TEST(qvScroller, A_new_scroller_starts_unlimited_at_zero_with_the_default_steps) {
    const qvScroller s = qvScrollerObject::create();
    EXPECT_EQ(snapshot(*s), (Snapshot{0, 0, 0, 0, 1, 0, 1.0, 0.1, 0, 2, false}));
    EXPECT_TRUE(s->unrestricted());
    EXPECT_FALSE(s->flipped());
    EXPECT_TRUE(s->oversized());
}

TEST(qvScroller, A_bare_interface_computes_but_never_commits) {
    qvScrollerInterface bare;
    EXPECT_EQ(bare.scroll(5), 5);
    EXPECT_EQ(bare.position(), 0);
    // Alignment and round-off are the two fields that change at once.
    bare.alignment(qvLimitsAtStart);
    bare.round_off(true);
    EXPECT_EQ(bare.alignment(), qvLimitsAtStart);
    EXPECT_TRUE(bare.round_off());
}

TEST(qvScroller, Without_limits_scroll_moves_by_exactly_d_and_start_or_end_move_nothing) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 50);
    s->mapping(2, 3);
    s->position(3.25);
    EXPECT_EQ(s->scroll(0.1), 3.25 + 0.1);
    EXPECT_EQ(s->scroll(-7.3), 3.25 + 0.1 - 7.3);
    const double at = s->position();
    EXPECT_EQ(s->scroll_to_start(), at);
    EXPECT_EQ(s->scroll_to_end(), at);
    EXPECT_EQ(s->position(), at);
    EXPECT_EQ(s->A(), 2);
}

TEST(qvScroller, Limits_keep_the_window_inside_and_a_small_model_is_placed_by_alignment) {
    qvScroller s = bounded();
    EXPECT_EQ(s->position(80), 50);
    EXPECT_EQ(s->B(), -50);
    EXPECT_EQ(s->position(-10), 0);
    EXPECT_EQ(s->B(), 0);
    EXPECT_EQ(s->scroll_to_end(), 50);
    EXPECT_EQ(s->scroll_to_start(), 0);
    EXPECT_FALSE(s->oversized());

    s->resize(0, 200);  // the model (100) now fits: centred by default
    EXPECT_EQ(s->position(), -50);
    EXPECT_TRUE(s->oversized());
    s->alignment(qvLimitsAtStart);
    EXPECT_EQ(s->position(), 0);
    s->alignment(qvLimitsAtEnd);
    EXPECT_EQ(s->position(), -100);
    s->alignment(qvLimitsAlignment(7));  // any other value centres
    EXPECT_EQ(s->position(), -50);
    EXPECT_EQ(device_of_position(*s), 0);
}

TEST(qvScroller, A_flipped_axis_keeps_the_position_between_low_plus_window_and_high) {
    qvScroller s = bounded();
    s->mapping(-1, 50);
    EXPECT_TRUE(s->flipped());
    EXPECT_EQ(s->position(), 50);
    EXPECT_EQ(s->position(10), 50);
    EXPECT_EQ(s->position(120), 100);
    EXPECT_EQ(device_of_position(*s), 0);
    EXPECT_EQ(s->scroll_to_end(), 50);
    EXPECT_EQ(s->scroll_to_start(), 100);

    s->resize(0, 200);
    EXPECT_EQ(s->position(), 150);  // centred: visible [-50, 150]
    s->alignment(qvLimitsAtStart);
    EXPECT_EQ(s->position(), 100);
    s->alignment(qvLimitsAtEnd);
    EXPECT_EQ(s->position(), 200);
}

TEST(qvScroller, Round_off_rounds_the_device_value_and_raises_it_once_when_it_leaves_the_limits) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 50);
    s->round_off(true);
    EXPECT_EQ(s->limits(12.5, 112.5), 13);  // device 12.5 rounds to 13
    EXPECT_EQ(s->B(), -13);

    qvScroller t = qvScrollerObject::create();
    t->resize(0, 50);
    t->round_off(true);
    EXPECT_EQ(t->limits(12.4, 112.4), 13);  // 12 would lie below 12.4

    // Flipped: a rounded position above limits.hi is raised by one device
    // unit, which moves it down in the model.
    qvScroller f = qvScrollerObject::create();
    f->resize(0, 50);
    f->mapping(-1, 0);
    f->round_off(true);
    f->limits(0, 100.6);
    EXPECT_EQ(f->position(200), 100);
}

// Regression: the low-limit test used to run without limits too (against
// 0), so with round-off on every negative position moved one device unit.
TEST(qvScroller, Round_off_without_limits_leaves_negative_positions_where_they_round_to) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 50);
    s->round_off(true);
    EXPECT_EQ(s->position(-10), -10);
    EXPECT_EQ(s->position(-10.4), -10);
    EXPECT_EQ(s->position(-10.6), -11);
    EXPECT_EQ(s->position(3.5), 4);
}

TEST(qvScroller, Zoom_keeps_its_centre_at_the_same_device_value_and_refuses_factors_not_above_zero) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 100);
    s->mapping(1.5, 4);
    const double before = s->A() * 30 + s->B();
    EXPECT_EQ(s->zoom(2, 30), 41.0 / 3);  // the new model value at device 0
    EXPECT_EQ(s->A(), 3);
    EXPECT_EQ(s->A() * 30 + s->B(), before);
    EXPECT_EQ(device_of_position(*s), 0);

    const Snapshot kept = snapshot(*s);
    for (double z : {0.0, -1.0, nan}) {
        SCOPED_TRACE(z);
        EXPECT_TRUE(raises<qvAssertionError>([&] { s->zoom(z, 30); }, "z > 0"));
        EXPECT_EQ(snapshot(*s), kept);
    }
}

TEST(qvScroller, Page_and_line_steps_are_fractions_of_the_window_and_page_add_shows_the_device_high_side) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 50);
    s->mapping(2, 0);  // window length 25 in model units
    EXPECT_EQ(s->page_add(), 25);
    EXPECT_EQ(s->line_add(), 27.5);
    EXPECT_EQ(s->line_sub(), 25);
    EXPECT_EQ(s->page_sub(), 0);

    s->page(-3);
    s->line(-0.5);
    EXPECT_EQ(s->page(), 3);
    EXPECT_EQ(s->line(), 0.5);

    // Flipped: the model value at the window's device-high end (50) comes
    // to the window start.
    qvScroller f = qvScrollerObject::create();
    f->resize(0, 50);
    f->mapping(-2, 0);
    const double at_window_end = f->position() - f->window_size();
    EXPECT_EQ(f->A() * at_window_end + f->B(), 50);
    EXPECT_EQ(f->page_add(), at_window_end);
    EXPECT_EQ(device_of_position(*f), 0);
}

TEST(qvScroller, Limits_from_two_values_are_ordered) {
    qvScroller s = qvScrollerObject::create();
    s->limits(5, 1);
    EXPECT_EQ(s->limits().lo, 1);
    EXPECT_EQ(s->limits().hi, 5);
    s->model_limits(qvCrdOf<double>(9, -2));
    EXPECT_EQ(s->model_limits(), qvCrdOf<double>(-2, 9));
    EXPECT_TRUE(s->restricted());
    EXPECT_EQ(s->model_size(), 11);
    EXPECT_TRUE(qvScrollerInterface::unrestricted(qvScrollerInterface::no_limits()));
    EXPECT_TRUE(qvScrollerInterface::restricted({0, 1}));
}

TEST(qvScroller, Refused_input_changes_nothing_and_reaches_no_update) {
    qvScrollerSpyLog log;
    qvScrollerSpy<qvScrollerObject>* spy = new qvScrollerSpy<qvScrollerObject>("s", log);
    qvScroller s(spy);
    s->resize(0, 50);
    s->limits(0, 100);
    s->mapping(2, 1);
    s->position(10);
    const Snapshot kept = snapshot(*s);
    log.clear();

    const struct {
        char const* what;
        std::function<void()> call;
    } refused[] = {
        {"mapping(0, 5)", [&] { s->mapping(0, 5); }},
        {"mapping(NaN, 0)", [&] { s->mapping(nan, 0); }},
        {"mapping(1, inf)", [&] { s->mapping(1, inf); }},
        {"apply_left(0, 1)", [&] { s->apply_left(0, 1); }},
        {"apply_right(0, 1)", [&] { s->apply_right(0, 1); }},
        {"apply_right(1, NaN)", [&] { s->apply_right(1, nan); }},
        {"scroll(NaN)", [&] { s->scroll(nan); }},
        {"position(inf)", [&] { s->position(inf); }},
        {"limits(0, inf)", [&] { s->limits(0, inf); }},
        {"resize(NaN, 1)", [&] { s->resize(nan, 1); }},
        {"zoom(inf, 0)", [&] { s->zoom(inf, 0); }},
        {"zoom(2, NaN)", [&] { s->zoom(2, nan); }},
    };
    for (auto const& r : refused) {
        SCOPED_TRACE(r.what);
        EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>(r.call, "Invalid scroller argument"));
        EXPECT_EQ(snapshot(*s), kept);
        EXPECT_EQ(spy->pending(), 0);
    }
    EXPECT_EQ(log.count("update"), 0);

    // A NaN step is refused with the scroll it would make.
    s->page(nan);
    EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>([&] { s->page_add(); },
                                                         "Invalid scroller argument"));
    EXPECT_EQ(s->position(), kept.position);
}

TEST(qvScroller, Results_that_would_overflow_or_underflow_the_mapping_are_refused) {
    qvScroller s = qvScrollerObject::create();
    s->resize(0, 10);
    s->mapping(1e-200, 0);
    const Snapshot kept = snapshot(*s);
    // 1e-200 · 1e-200 underflows to a scale of 0.
    EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>([&] { s->zoom(1e-200, 0); },
                                                         "Invalid scroller argument"));
    EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>([&] { s->apply_left(1e-200, 0); },
                                                         "Invalid scroller argument"));
    EXPECT_EQ(snapshot(*s), kept);

    qvScroller big = qvScrollerObject::create();
    big->mapping(1e300, 0);
    // The device value of 1e300 is infinite: the mapping offset would be too.
    EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>([&] { big->position(1e300); },
                                                         "Invalid scroller argument"));
    EXPECT_EQ(big->position(), 0);
    EXPECT_EQ(big->B(), 0);
}

TEST(qvScroller, Only_the_last_staged_operation_is_committed_and_copies_start_uncounted) {
    Committing s;
    s.do_scroll(5);
    s.do_position(7);
    EXPECT_EQ(s.position(), 0);
    s.update(true, nullptr);
    EXPECT_EQ(s.position(), 7);
    s.resize(0, 40);
    s.limits(-5, 95);
    s.mapping(-2, 3);
    s.page(0.5);
    s.round_off(true);
    s.alignment(qvLimitsAtStart);

    qvScroller original(new Committing(s));
    Committing* copy = new Committing(*static_cast<Committing*>(original.get()));
    qvScroller held(copy);
    EXPECT_EQ(snapshot(*copy), snapshot(s));
    EXPECT_FALSE(held == original);
    EXPECT_EQ(copy->bump(), 2);  // held's count and this one: the copy began at 0
    copy->dec();
}

// Every commit leaves the mapping taking the position to the window start,
// and with limits the visible model range inside them (or, when the model
// fits, the model inside the visible range).
TEST(qvScrollerProperty, Random_operations_keep_the_commit_invariants) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> any(-200, 200), scale(0.25, 4);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int round = 0; round < 200; ++round) {
        qvScroller s = qvScrollerObject::create();
        s->round_off(round % 3 == 0);
        s->alignment(qvLimitsAlignment(round % 4));
        s->resize(0, 10 + (round % 7) * 20);
        if (round % 2) s->mapping(-1, 0);
        s->limits(any(rng), any(rng));
        for (int step = 0; step < 40; ++step) {
            switch (pick(rng)) {
                case 0: s->scroll(any(rng)); break;
                case 1: s->position(any(rng)); break;
                case 2: s->zoom(scale(rng), any(rng)); break;
                case 3: s->apply_left(scale(rng), any(rng)); break;
                case 4: s->apply_right(scale(rng), any(rng)); break;
                case 5: s->resize(any(rng) / 4, any(rng)); break;
                case 6: s->limits(any(rng), any(rng)); break;
                case 7: s->mapping((step % 2 ? -1 : 1) * scale(rng), any(rng)); break;
                case 8: s->page_add(); break;
                default: s->line_sub(); break;
            }
            SCOPED_TRACE(testing::Message() << "round " << round << " step " << step);
            const double tolerance = 1e-9 * (1 + std::fabs(s->B()));
            ASSERT_NEAR(device_of_position(*s), s->window().lo, tolerance);
            const double ws = s->window_size(), x = s->position();
            const double lo = s->limits().lo, hi = s->limits().hi;
            const double slack = s->round_off() ? 1 / std::fabs(s->A()) + 1e-9 : 1e-9 * (1 + ws + std::fabs(x));
            const double first = s->flipped() ? x - ws : x, last = s->flipped() ? x : x + ws;
            if (ws >= hi - lo) {
                ASSERT_LE(first, lo + slack);
                ASSERT_GE(last, hi - slack);
            } else {
                ASSERT_GE(first, lo - slack);
                ASSERT_LE(last, hi + slack);
            }
        }
    }
}

}  // namespace
