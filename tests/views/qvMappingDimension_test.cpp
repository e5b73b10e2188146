// Scrollers coupled through mapping dimensions: what a broadcast reaches and
// in which order, linking and unlinking, cycles of links, failures inside a
// broadcast, the handles, and that a broadcast allocates nothing.

#include <orvane/views/qvMappingDimension.hpp>
#include <orvane/views/qvScrollerObject.hpp>

#include "qvAllocationProbe.hpp"
#include "qvFileTestSupport.hpp"
#include "qvScrollerSpy.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using qv_file_test::raises;
using Lines = std::vector<std::string>;
using SpyScroller = qvScrollerSpy<qvScrollerObject>;
using SpyDimension = qvScrollerSpy<qvMappingDimensionObject>;

qvScroller spy_scroller(char const* name, qvScrollerSpyLog& log) {
    return qvScroller(new SpyScroller(name, log));
}
qvMappingDimension spy_dimension(char const* name, qvScrollerSpyLog& log) {
    return qvMappingDimension(new SpyDimension(name, log, true));
}

// Commits an operation on one scroller only: the dimension named as origin
// is not replayed to (its only link).
void set_alone(qvScroller const& s, qvMappingDimension const& d, qvRangeOf<double> window,
               qvRangeOf<double> limits) {
    s->do_resize(window);
    s->update(true, d.get());
    s->do_limits(limits);
    s->update(true, d.get());
}

TEST(qvScrollerObject, Without_links_it_commits_and_calls_nothing_else) {
    qvScrollerSpyLog log;
    qvScroller a = spy_scroller("a", log);
    EXPECT_EQ(a->scroll(5), 5);
    EXPECT_EQ(log.lines, (Lines{"a.do_scroll(5)", "a.update(null)", "a.begin_update(null)",
                                "a.end_update(null)", "a.commit"}));
}

TEST(qvMappingDimension, Scrolling_one_scroller_moves_the_others_each_within_its_own_limits) {
    qvScrollerSpyLog log;
    qvMappingDimension d = spy_dimension("d", log);
    qvScroller a = spy_scroller("a", log), b = spy_scroller("b", log);
    d->add(a);
    d->add(b);
    set_alone(a, d, {0, 10}, {0, 100});
    set_alone(b, d, {0, 10}, {0, 35});
    log.clear();

    EXPECT_EQ(a->scroll(30), 30);
    EXPECT_EQ(b->position(), 25);  // 35 - 10
    EXPECT_EQ(d->position(), 30);  // no limits of its own
    // The road: a hands the operation to d, d to b; each commits after the
    // objects it forwarded to, and b does not hand it back to d.
    EXPECT_EQ(log.lines, (Lines{"a.do_scroll(30)", "a.update(null)", "a.begin_update(null)",
                                "d.begin_update(a)", "b.begin_update(d)", "d.do_scroll(30)",
                                "d.update(a)", "d.begin_update(a)", "b.do_scroll(30)",
                                "b.update(d)", "b.begin_update(d)", "b.end_update(d)", "b.commit",
                                "d.end_update(a)", "b.end_update(d)", "d.commit",
                                "a.end_update(null)", "d.end_update(a)", "a.commit"}));

    a->scroll(-50);
    EXPECT_EQ(a->position(), 0);
    EXPECT_EQ(b->position(), 0);
    EXPECT_EQ(d->position(), -20);
    // An operation started on the dimension reaches every scroller.
    d->position(12);
    EXPECT_EQ(a->position(), 12);
    EXPECT_EQ(b->position(), 12);
}

TEST(qvMappingDimension, Adding_brings_the_scroller_to_the_dimension_state_step_by_step) {
    qvScrollerSpyLog log;
    qvMappingDimension d(0, true);
    log.name(d.get(), "d");
    d->resize(0, 40);
    d->limits(-10, 90);
    d->mapping(2, 5);
    d->position(7);
    d->round_off(true);
    d->alignment(qvLimitsAtStart);

    // s is already linked to e, which hears every step as well.
    qvMappingDimension e = spy_dimension("e", log);
    qvScroller s = spy_scroller("s", log);
    e->add(s);
    log.clear();
    d->add(s);

    const double scale = d->A(), offset = d->B(), at = d->position();
    const Lines staged = {"s.do_resize(0, 40)",
                          "s.do_limits(-10, 90)",
                          "s.do_mapping(" + qv_spy_number(scale) + ", " + qv_spy_number(offset) + ")",
                          "s.do_position(" + qv_spy_number(at) + ")",
                          "s.do_round_off(true)",
                          "s.do_alignment(1)"};
    EXPECT_EQ(log.of("s", "do_"), staged);
    EXPECT_EQ(log.of("s", ".update("), Lines(6, "s.update(d)"));
    // Bracketed by one begin and one end, both from d.
    EXPECT_EQ(log.of("s").front(), "s.begin_update(d)");
    EXPECT_EQ(log.of("s").back(), "s.end_update(d)");
    EXPECT_EQ(log.of("e", "do_").size(), 6u);
    EXPECT_EQ(log.count("commit"), 12);

    for (qvScrollerInterface const* t : {s.get(), static_cast<qvScrollerInterface*>(e.get())}) {
        EXPECT_EQ(t->window().hi, 40);
        EXPECT_EQ(t->limits().lo, -10);
        EXPECT_EQ(t->A(), scale);
        EXPECT_EQ(t->B(), offset);
        EXPECT_EQ(t->position(), at);
        EXPECT_TRUE(t->round_off());
        EXPECT_EQ(t->alignment(), qvLimitsAtStart);
    }
}

TEST(qvMappingDimension, Add_and_remove_ignore_null_handles_and_dimensions) {
    qvScrollerSpyLog log;
    qvMappingDimension d = spy_dimension("d", log);
    qvMappingDimension other = spy_dimension("other", log);
    d->add(qvScroller());
    d->add(other);
    d->remove(qvScroller());
    d->remove(other);
    EXPECT_TRUE(log.lines.empty());
    d->scroll(5);
    EXPECT_EQ(other->position(), 0);

    qvScroller s = qvScrollerObject::create();
    d->add(s);
    d->remove(s);
    s->scroll(3);
    EXPECT_EQ(d->position(), 5);
    EXPECT_EQ(s->position(), 8);  // joined d at 5, then alone
}

TEST(qvMappingDimension, A_destroyed_scroller_or_dimension_is_unlinked) {
    qvScrollerSpyLog log;
    qvMappingDimension d = spy_dimension("d", log);
    qvScroller a = qvScrollerObject::create(), b = spy_scroller("b", log);
    d->add(a);
    d->add(b);
    b = qvScroller();  // the last handle: b dies
    a->scroll(4);
    EXPECT_EQ(d->position(), 4);

    log.clear();
    d = qvMappingDimension();
    a->scroll(1);
    EXPECT_EQ(a->position(), 5);
    EXPECT_TRUE(log.lines.empty());
}

// a and b are both linked to d1 and d2: each hop excludes only the object it
// came from, so without the broadcast marks the operation would go round
// for ever, or be applied twice (b, d1 and d2 at 20).
TEST(qvMappingDimension, A_cycle_of_links_ends_and_every_object_commits_once) {
    qvScrollerSpyLog log;
    qvScroller a = spy_scroller("a", log), b = spy_scroller("b", log);
    qvMappingDimension d1 = spy_dimension("d1", log), d2 = spy_dimension("d2", log);
    d1->add(a);
    d2->add(a);
    d1->add(b);
    d2->add(b);
    log.clear();

    EXPECT_EQ(a->scroll(10), 10);
    for (qvScrollerInterface* s : {a.get(), b.get(), static_cast<qvScrollerInterface*>(d1.get()),
                                   static_cast<qvScrollerInterface*>(d2.get())})
        EXPECT_EQ(s->position(), 10);
    for (char const* name : {"a", "b", "d1", "d2"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(log.of(name, "commit").size(), 1u);
        EXPECT_EQ(log.of(name, "do_scroll").size(), 1u);
    }

    // Three scrollers in three dimensions, every one linked to every one.
    qvScroller s[3] = {qvScrollerObject::create(), qvScrollerObject::create(),
                       qvScrollerObject::create()};
    qvMappingDimension dims[3] = {qvMappingDimension(0, true), qvMappingDimension(0, true),
                                  qvMappingDimension(0, true)};
    for (auto& dim : dims)
        for (auto& t : s) dim->add(t);
    s[1]->zoom(2, 5);
    s[2]->scroll(7);
    for (auto& t : s) {
        EXPECT_EQ(t->A(), 2);
        EXPECT_EQ(t->position(), 9.5);  // zoom about 5 shows 2.5 at the start; then 7 on
    }
    for (auto& dim : dims) EXPECT_EQ(dim->position(), 9.5);
}

// x walks its dimensions p, q, r in that order; y links p and q. The end of
// q's update reaches x through y's side of the cycle while x is still
// walking: had x forwarded it then, its second walk over the same list
// would have ended the first, and r would never have heard of the scroll.
TEST(qvMappingDimension, An_early_end_update_cannot_cut_the_scrollers_own_walk_short) {
    qvScroller x = qvScrollerObject::create(), y = qvScrollerObject::create();
    qvMappingDimension p(0, true), q(0, true), r(0, true);
    r->add(x);  // a scroller walks its newest link first
    q->add(x);
    p->add(x);
    p->add(y);
    q->add(y);
    x->scroll(10);
    for (qvScrollerInterface* s : {y.get(), static_cast<qvScrollerInterface*>(p.get()),
                                   static_cast<qvScrollerInterface*>(q.get()),
                                   static_cast<qvScrollerInterface*>(r.get())})
        EXPECT_EQ(s->position(), 10);
}

// b's scale makes a zoom underflow on b alone: the error reaches the caller
// and nothing of the broadcast stays pending.
TEST(qvMappingDimension, A_replay_refused_on_one_scroller_fails_the_operation) {
    qvMappingDimension d(0, true);
    qvScroller a = qvScrollerObject::create(), b = qvScrollerObject::create();
    d->add(a);
    d->add(b);
    b->do_mapping(qvRTComponent(1e-200, 0));
    b->update(true, d.get());

    EXPECT_TRUE(raises<qvErrorFrom<qvScrollerInterface>>([&] { a->zoom(1e-200, 0); },
                                                         "Invalid scroller argument"));
    EXPECT_EQ(b->A(), 1e-200);
    a->update(true, nullptr);  // nothing left to commit
    d->update(true, nullptr);
    EXPECT_EQ(a->A(), 1);
    EXPECT_EQ(d->A(), 1);

    // The next broadcast runs normally.
    a->scroll(3);
    EXPECT_EQ(b->position(), 3);
    EXPECT_EQ(d->position(), 3);
}

TEST(qvMappingDimension, A_broadcast_allocates_nothing) {
    qvMappingDimension d(0, true), e(0, true);
    std::vector<qvScroller> scrollers;
    for (int i = 0; i < 10; ++i) {
        scrollers.push_back(qvScrollerObject::create());
        d->add(scrollers.back());
        if (i < 2) e->add(scrollers.back());  // and one cycle
    }
    bool done = false;
    qv_allocation_probe::allocations_left = 0;
    try {
        scrollers[3]->scroll(1);
        scrollers[0]->zoom(2, 0);
        d->page_add();
        done = true;
    } catch (...) {
    }
    qv_allocation_probe::allocations_left = -1;
    EXPECT_TRUE(done);
    EXPECT_EQ(scrollers[9]->A(), 2);
}

TEST(qvMappingDimension, Handles_convert_only_between_matching_objects_and_share_the_count) {
    EXPECT_FALSE(static_cast<qvScroller>(qvMappingDimension()));
    const qvScroller plain = qvScrollerObject::create();
    EXPECT_FALSE(qvMappingDimension(plain));
    EXPECT_FALSE(qvMappingDimension(plain.get()));

    const qvScroller made = qvMappingDimensionObject::create(false);
    const qvMappingDimension found(made);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found == made);  // one counter
    EXPECT_TRUE(static_cast<qvScroller>(found) == made);
    EXPECT_EQ(qvQueryInterface<qvScrollerObject>(made.get()), nullptr);
    EXPECT_EQ(qvQueryInterface<qvMappingDimensionObject>(plain.get()), nullptr);
    EXPECT_NE(qvQueryInterface<qvScrollerObject>(plain.get()), nullptr);

    qvMappingDimension first(0, true);
    qvMappingDimension second = first;
    first = qvMappingDimension();
    second->scroll(2);  // still alive
    EXPECT_EQ(second->position(), 2);
}

}  // namespace
