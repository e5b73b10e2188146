// The control's own scroller: what each committed operation hands to the
// control, and that nothing is handed on without the update flag or after
// the control has died.

#include <orvane/views/qvMappingControl.hpp>

#include "views/qvMappingControlImpl.hpp"
#include "views/qvScrollerInt.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using RT = qvRestrictedTransformation;

std::string text_of(RT const& t) {
    std::ostringstream os;
    os << t.m0() << ' ' << t.m3() << ' ' << t.m4() << ' ' << t.m5();
    return os.str();
}

// A control that logs what its scrollers hand it.
class HandOffLog : public qvMappingControlImpl {
public:
    std::vector<std::string> calls;

protected:
    void do_left(RT const& rt) override { calls.push_back("do_left(" + text_of(rt) + ")"); }
    void do_right(RT const& rt) override { calls.push_back("do_right(" + text_of(rt) + ")"); }
    void do_set_x(qvRTComponent c) override { calls.push_back("do_set_x(" + text_of(RT(c, {})) + ")"); }
    void do_set_y(qvRTComponent c) override { calls.push_back("do_set_y(" + text_of(RT({}, c)) + ")"); }
};

struct qvScrollerIntTest : ::testing::Test {
    HandOffLog* log = new HandOffLog;
    qvMappingControl control{log};

    qvISafePtr<qvScrollerInt> axis(bool vertical) {
        return qvISafePtr<qvScrollerInt>(new qvScrollerInt(control, vertical));
    }
};

TEST_F(qvScrollerIntTest, Zooms_go_model_side_scrolls_device_side_mappings_as_components) {
    auto x = axis(false);
    auto y = axis(true);
    x->zoom(2, 5);
    y->scroll(3);
    x->mapping(4, 1);
    y->mapping(2, 6);
    const std::vector<std::string> expected = {"do_right(2 1 -5 0)", "do_left(1 1 0 -3)", "do_set_x(4 1 1 0)",
                                               "do_set_y(1 2 0 6)"};
    EXPECT_EQ(log->calls, expected);
}

TEST_F(qvScrollerIntTest, Identity_changes_and_updates_without_the_flag_reach_nothing) {
    auto x = axis(false);
    x->scroll(0);
    x->alignment(qvLimitsAtStart);
    x->do_scroll(7);
    x->update(false, nullptr);
    EXPECT_EQ(x->position(), 7);
    EXPECT_TRUE(log->calls.empty());
}

TEST_F(qvScrollerIntTest, After_the_control_dies_its_scrollers_commit_and_call_nothing) {
    auto x = axis(false);
    qvMappingDimension dimension(0, true);
    dimension->add(qvScroller(x, static_cast<qvScrollerInterface*>(x.get())));
    control = qvMappingControl();
    EXPECT_EQ(x->control(), nullptr);
    dimension->scroll(12);
    EXPECT_EQ(x->position(), 12);
    dimension->zoom(2, 0);
    EXPECT_EQ(x->M().scale, 2);
}

TEST_F(qvScrollerIntTest, A_controls_own_scrollers_outlive_it_in_a_copy_and_stop_reporting) {
    auto& impl = static_cast<qvMappingControlImpl&>(*control);
    qvMappingControl copy(new qvMappingControlImpl(impl));
    log->calls.clear();
    copy->scroll(5, 0);
    EXPECT_EQ(log->calls, std::vector<std::string>{"do_left(1 1 -5 0)"});
    const qvMappingDimension h = copy->horizontal_dimension();
    control = qvMappingControl();
    copy->scroll(5, 0);
    EXPECT_EQ(copy->x_position(), 10);
    EXPECT_EQ(h->position(), 10);
}

}  // namespace
