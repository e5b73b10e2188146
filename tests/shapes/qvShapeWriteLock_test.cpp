// The proxy base and its modification guard, through rectangles on the
// recording scene: the record a first change creates, what the guard
// reports and when, read-only refusal, destroying a shape, releasing and
// outliving the scene, narrowing and size limits, and the guard's depth on
// every exit.

#include <orvane/shapes/qvRectangle.hpp>

#include "qvAllocationProbe.hpp"
#include "qvGeometryValuesTestSupport.hpp"
#include "qvNotificationProbe.hpp"
#include "qvPaletteTestSupport.hpp"
#include "qvShapeReportTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

namespace {

using palette_test::expect_raises;
using shape_test::RecordingScene;
using shape_test::raw;
using Log = std::vector<std::string>;
using Boxes = std::vector<qvMathRectOf<double>>;

char const* const uninitialized = "Attempt to query uninitialized shape";
char const* const read_only = "Attempt to modify a read-only scene";

// A box exactly as given, inverted or not.
// Counts what it is sent, allocating nothing.
class CountingReceiver : public qvBroadcastReceiver<qvInvalidateEvent<qvMathRectOf<double>>> {
public:
    ~CountingReceiver() override { disconnect_all(); }
    void invalidate() override {}
    void invalidate(qvMathRectOf<double> const&, int) override { ++received; }
    int received = 0;
};

// Makes every throwing allocation fail while it lives.
struct NoAllocation {
    NoAllocation() { qv_allocation_probe::allocations_left = 0; }
    ~NoAllocation() { qv_allocation_probe::allocations_left = -1; }
};

// A rectangle scene whose rectangle sender is watched.
class Guard : public shape_test::ReportingSceneTest {
protected:
    Guard() : ReportingSceneTest(3) {}

    // A rectangle with a record in `layer`, its reports and log forgotten.
    qvRectangle shape(qvMathRectOf<double> const& box, int layer = 0) {
        qvRectangle r(scene, box);
        scene.layer_of[r->shape_handle()] = layer;
        forget();
        return r;
    }
    void forget() {
        scene.take_log();
        forget_reports();
    }
};

}  // namespace

// ---------------------------------------------------------------------------
// Creation and reports

TEST_F(Guard, A_first_change_creates_a_stamped_record_and_reports_its_box_once) {
    qvRectangle r(scene);
    EXPECT_TRUE(scene.log.empty());
    r->user_handle(1);

    ASSERT_EQ(scene.take_log(), Log{"allocate 48 -> 1"});
    EXPECT_EQ(shape_test::record_hex(scene.records.at(1)),
              "30 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00 FF FF FF FF 00 00 00 00 "
              "00 00 80 3F 00 00 80 3F 00 00 00 00 00 00 00 00 "
              "00 00 00 00 00 00 00 00");
    EXPECT_EQ(areas.items, Boxes{raw(1, 1, 0, 0)});
    EXPECT_EQ(areas.flags, std::vector<int>{0});
    EXPECT_EQ(scene.entries(), 1u);
    EXPECT_EQ(scene.instantiate(1).get(), static_cast<qvGraphicInterface*>(r.get()));
}

TEST_F(Guard, Only_the_outermost_guard_reports_with_the_shapes_layer) {
    qvRectangle r = shape(raw(1, 2, 3, 4), 2);
    {
        const qvShapeWriteLock outer(*r, true, true);
        EXPECT_EQ(outer.layer(), 2);
        r->rectangle(raw(5, 6, 7, 8));
        r->user_handle(9);
        r->rectangle(raw(0, 0, 1, 1));
    }
    EXPECT_EQ(areas.items, (Boxes{raw(1, 2, 3, 4), raw(0, 0, 1, 1)}));
    EXPECT_EQ(areas.flags, (std::vector<int>{2, 2}));

    // A silent outer guard sends only what the change reports itself.
    forget();
    {
        const qvShapeWriteLock silent(*r, false, false);
        r->rectangle(raw(0, 0, 2, 2));
        silent.report(raw(1, 1, 2, 2));
    }
    EXPECT_EQ(areas.items, Boxes{raw(1, 1, 2, 2)});
    EXPECT_EQ(areas.flags, std::vector<int>{2});
}

TEST_F(Guard, Nothing_is_reported_while_notification_is_off) {
    qvRectangle r = shape(raw(1, 2, 3, 4));
    scene.update_notification(false, true);
    r->rectangle(raw(0, 0, 1, 1));
    qvRectangle(scene, raw(2, 2, 3, 3));
    {
        // Off when the guard opened: the close stays silent too.
        const qvShapeWriteLock guard(*r, true, true);
        r->user_handle(4);
        scene.update_notification(true, true);
        guard.report(raw(0, 0, 9, 9));   // the own report follows the switch
    }
    EXPECT_EQ(areas.items, Boxes{raw(0, 0, 9, 9)});
    EXPECT_EQ(log, Log{"rect item"});
}

// ---------------------------------------------------------------------------
// Refusals

TEST_F(Guard, A_proxy_connected_to_a_read_only_scene_refuses_every_change_for_good) {
    RecordingScene locked(1, true);
    areas.connect(locked.rect_sender());
    qvRectangle r(locked);
    locked.read_only_flag(false);

    using Refused = qvErrorFrom<qvSingleShapeProxyBase>;
    expect_raises<Refused>([&] { r->rectangle(raw(0, 0, 1, 1)); }, read_only);
    expect_raises<Refused>([&] { r->user_handle(3); }, read_only);
    expect_raises<Refused>([&] { r->attr_handle(3); }, read_only);
    expect_raises<Refused>([&] { r->destroy_shape(); }, read_only);
    expect_raises<Refused>([&] { qvShapeWriteLock silent(*r, false, false); }, read_only);
    EXPECT_TRUE(locked.records.empty());
    EXPECT_TRUE(locked.log.empty());
    EXPECT_TRUE(log.empty());
    expect_raises<Refused>([&] { r->rectangle(); }, uninitialized);
}

TEST_F(Guard, Values_beyond_32_bits_create_change_and_report_nothing) {
    qvRectangle r(scene);
    using Narrowing = qvErrorFrom<long>;
    expect_raises<Narrowing>([&] { r->user_handle(0x1'0000'0000L); }, "Value does not fit a 32-bit field");
    expect_raises<Narrowing>([&] { r->attr_handle(-0x1'0000'0000L); }, "Value does not fit a 32-bit field");
    EXPECT_TRUE(scene.records.empty());
    EXPECT_TRUE(log.empty());
}

TEST_F(Guard, A_record_beyond_the_32_bit_size_limit_is_refused_before_the_scene_is_asked) {
    qvRectangle r(scene);
    auto& proxy = *r;
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>(
        [&] { proxy.allocate(INT_MAX - 47); }, "Limitation: shape size exceeds maximum allowed for a record");
    EXPECT_TRUE(scene.log.empty());
    EXPECT_EQ(proxy.record(), nullptr);
    EXPECT_EQ(qvSingleShapeProxyBase::record_size(INT_MAX), INT_MAX);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([] { qvSingleShapeProxyBase::record_size(INT_MAX + 1LL); },
                                                       "Limitation: shape size exceeds maximum allowed for a record");
}

// ---------------------------------------------------------------------------
// Destruction, release, the scene's death

TEST_F(Guard, Destroying_a_shape_reports_its_box_once_and_the_next_change_makes_a_new_one) {
    qvRectangle r = shape(raw(1, 2, 3, 4), 1);
    r->destroy_shape();
    EXPECT_EQ(scene.take_log(), Log{"destroy 1"});
    EXPECT_EQ(areas.items, Boxes{raw(1, 2, 3, 4)});
    EXPECT_EQ(areas.flags, std::vector<int>{1});
    EXPECT_EQ(scene.entries(), 0u);
    expect_raises<qvErrorFrom<qvSingleShapeProxyBase>>([&] { r->shape_handle(); }, uninitialized);

    r->rectangle(raw(5, 5, 6, 6));
    EXPECT_EQ(scene.take_log(), Log{"allocate 48 -> 2"});
    EXPECT_EQ(scene.instantiate(2).get(), static_cast<qvGraphicInterface*>(r.get()));

    // Without a record there is nothing to destroy, and nothing is made.
    qvRectangle unmade(scene);
    forget();
    unmade->destroy_shape();
    EXPECT_TRUE(scene.log.empty());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(scene.records.size(), 1u);
}

TEST_F(Guard, Releasing_the_last_handle_disconnects_the_record_once_and_keeps_it) {
    qvRectangle r = shape(raw(1, 2, 3, 4));
    qvGraphic g = r;
    r.release();
    EXPECT_TRUE(scene.log.empty());
    g.release();
    EXPECT_EQ(scene.take_log(), Log{"disconnect 1"});
    EXPECT_EQ(scene.records.count(1), 1u);
    EXPECT_EQ(scene.entries(), 0u);
    EXPECT_TRUE(log.empty());
}

// Regression: a proxy without a record has no entry in the proxy site, and
// kept a pointer to the dead scene that its next change followed.
TEST_F(Guard, A_proxy_outliving_its_scene_is_read_only_and_released_cleanly) {
    auto gone = std::make_unique<RecordingScene>();
    qvRectangle with_record(*gone, raw(1, 1, 2, 2));
    qvRectangle without(*gone);
    gone.reset();

    using Refused = qvErrorFrom<qvSingleShapeProxyBase>;
    for (qvRectangle* r : {&with_record, &without}) {
        expect_raises<Refused>([&] { (*r)->shape_handle(); }, uninitialized);
        expect_raises<Refused>([&] { (*r)->rectangle(); }, uninitialized);
        expect_raises<Refused>([&] { (*r)->rectangle(raw(0, 0, 1, 1)); }, read_only);
        expect_raises<Refused>([&] { (*r)->user_handle(1); }, read_only);
        expect_raises<Refused>([&] { (*r)->destroy_shape(); }, read_only);
        expect_raises<qvAssertionError>([&] { (*r)->scene(); }, "_scene");
        EXPECT_EQ((*r)->attribute_handle(), 0);
    }
    with_record.release();
    without.release();
}

// ---------------------------------------------------------------------------
// The depth on every exit

TEST_F(Guard, A_failed_opening_or_change_leaves_no_guard_open) {
    qvRectangle r(scene);
    scene.read_only_flag(true);   // the scene itself refuses the record
    expect_raises<qvErrorFrom<RecordingScene>>([&] { r->rectangle(raw(0, 0, 1, 1)); },
                                               "Cannot modify a read-only scene");
    scene.read_only_flag(false);
    r->rectangle(raw(0, 0, 1, 1));
    EXPECT_EQ(areas.items, Boxes{raw(0, 0, 1, 1)});   // an outermost guard again

    forget();
    areas.on_next_event([] { qvRaise(qvError("receiver failed")); });
    expect_raises<qvError>([&] { r->rectangle(raw(2, 2, 3, 3)); }, "receiver failed");   // at the opening report
    EXPECT_EQ(r->rectangle(), raw(0, 0, 1, 1));

    forget();
    try {
        const qvShapeWriteLock guard(*r, true, true);
        qvRaise(qvError("change failed"));
    } catch (qvError const&) {
    }
    r->rectangle(raw(4, 4, 5, 5));
    EXPECT_EQ(areas.items, (Boxes{raw(0, 0, 1, 1), raw(0, 0, 1, 1), raw(0, 0, 1, 1), raw(4, 4, 5, 5)}));
}

TEST_F(Guard, A_receiver_error_at_the_closing_report_aborts) {
    qvRectangle r(scene);
    areas.on_next_event([] { qvRaise(qvError("receiver failed")); });
    EXPECT_DEATH(r->rectangle(raw(0, 0, 1, 1)), "Unexpected Orvane error: receiver failed");
}

// ---------------------------------------------------------------------------
// Allocation

TEST(GuardAllocation, A_change_of_an_existing_record_allocates_nothing) {
    RecordingScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    const qvRectangle r(scene, raw(0, 0, 1, 1));
    {
        const NoAllocation none;
        r->rectangle(raw(1, 1, 2, 2));
        r->user_handle(5);
        EXPECT_EQ(r->rectangle(), raw(1, 1, 2, 2));
    }
    EXPECT_EQ(receiver.received, 5);
}

TEST(GuardAllocation, A_failed_allocation_while_creating_leaves_a_proxy_that_works) {
    RecordingScene scene;
    CountingReceiver receiver;
    receiver.connect(scene.rect_sender());
    for (long fail_at = 0;; ++fail_at) {
        const qvRectangle r(scene);
        bool failed = false;
        qv_allocation_probe::allocations_left = fail_at;
        try {
            r->rectangle(raw(0, 0, 1, 1));
        } catch (std::bad_alloc const&) {
            failed = true;
        }
        qv_allocation_probe::allocations_left = -1;
        if (!failed)
            break;
        // Without its record in the proxy site the shape would have no owner.
        ASSERT_EQ(r->record(), nullptr) << fail_at;
        receiver.received = 0;
        r->rectangle(raw(0, 0, 1, 1));
        EXPECT_EQ(receiver.received, 1) << fail_at;
        EXPECT_EQ(scene.instantiate(r->shape_handle()).get(), static_cast<qvGraphicInterface*>(r.get())) << fail_at;
    }
}
