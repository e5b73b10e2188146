// The drawing list: placement, moves, refusals that change nothing, the
// area walk, ownership of entries and copies.

#include "qvDrawingTestSupport.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/drawings/qvDrawingList.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using Rect = qvMathRectOf<double>;

// Records its hooks as "+name", "-name", "~name" (by user handle).
class HookedList : public qvDrawingList {
public:
    std::vector<std::string> hooks;
    explicit HookedList(bool auto_delete = false) : qvDrawingList(auto_delete) {}

protected:
    void on_drawing_added(qvDrawing* d) override { hooks.push_back("+" + std::to_string(d->user_handle())); }
    void on_drawing_removed(qvDrawing* d) override { hooks.push_back("-" + std::to_string(d->user_handle())); }
    void on_drawing_order_changed(qvDrawing* d) override {
        hooks.push_back("~" + std::to_string(d->user_handle()));
    }
};

// Drawings 1 to n, boxes (10i, 0, 10i + 10, 10): side by side.
struct Row {
    std::vector<std::unique_ptr<qvTestDrawing>> d;
    explicit Row(int n) {
        for (int i = 0; i < n; ++i) {
            d.push_back(std::make_unique<qvTestDrawing>(Rect(10.0 * i, 0, 10.0 * i + 10, 10)));
            d.back()->user_handle(i + 1);
        }
    }
    qvDrawing* operator[](int i) const { return d[static_cast<std::size_t>(i - 1)].get(); }
};

std::string order_of(qvIndirectIterator<qvDrawing> it) {
    std::string out;
    for (; it; ++it)
        out += std::to_string(it->user_handle());
    return out;
}

std::string order_of(qvDrawingContainer& list) { return order_of(list.enumerate()); }

template <class F>
void expect_list_error(F&& f, std::string const& text) {
    try {
        f();
        ADD_FAILURE() << "no error, expected " << text;
    } catch (qvErrorFrom<qvDrawingList> const& e) {
        EXPECT_EQ(std::string(static_cast<char const*>(e)), text);
    }
}

}  // namespace

TEST(qvDrawingList, Adds_at_either_end_or_beside_a_reference) {
    Row r(5);
    HookedList list;
    list.add(r[1], qvOrderLast);
    list.add(r[2], qvOrderFirst);
    list.add(r[3], qvOrderBefore, r[1]);
    list.add(r[4], qvOrderAfter, r[2]);
    list.add(r[5], qvOrderBeforeToo, r[2]);
    EXPECT_EQ(order_of(list), "52431");
    EXPECT_EQ(list.size(), 5);
    EXPECT_EQ(list.hooks, (std::vector<std::string>{"+1", "+2", "+3", "+4", "+5"}));
    list.add(nullptr, qvOrderLast);
    list.add(r[1], qvOrderLast, nullptr);   // no reference: appended
    EXPECT_EQ(order_of(list), "524311");
}

TEST(qvDrawingList, Refused_placements_change_nothing) {
    Row r(3);
    int deaths = 0;
    auto* owned = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    HookedList list(true);
    auto* other = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    list.add(owned, qvOrderLast);
    list.add(other, qvOrderLast);
    list.hooks.clear();
    const std::string none = "Reference drawing must be specified for this placement";
    expect_list_error([&] { list.add(r[1], qvOrderBefore); }, none);
    expect_list_error([&] { list.add(r[1], qvOrderBefore, nullptr); }, none);
    expect_list_error([&] { list.add(r[1], qvOrderOneLater); }, none);
    expect_list_error([&] { list.add(r[1], qvOrderAfter, r[2]); }, "Reference drawing not in a list");
    expect_list_error([&] { list.add(r[1], qvOrderOneLater, owned); }, "Placement not supported");
    expect_list_error([&] { list.change_order(owned, qvOrderOneLater, r[2]); },
                      "Reference drawing not in a list");
    expect_list_error([&] { list.change_order(r[3], qvOrderLast, nullptr); }, "Drawing not in a list");
    expect_list_error([&] { list.change_order(owned, qvOrderOneLater, other); }, "Placement not supported");
    expect_list_error([&] { list.change_order(owned, qvOrderAfter, nullptr); }, "Reference drawing not specified");
    EXPECT_EQ(order_of(list), "00");
    EXPECT_TRUE(list.hooks.empty());
    EXPECT_EQ(r[1]->host(), nullptr);
    list.remove(owned);   // its only count: had a refusal counted it, it would live on
    EXPECT_EQ(deaths, 1);
}

TEST(qvDrawingList, Moves_call_the_hook_once_and_moves_to_the_same_place_not_at_all) {
    Row r(4);
    HookedList list;
    for (int i = 1; i <= 4; ++i)
        list.add(r[i], qvOrderLast);
    list.hooks.clear();
    list.change_order(r[4], qvOrderLast, nullptr);
    list.change_order(r[1], qvOrderFirst, nullptr);
    list.change_order(r[3], qvOrderAfter, r[2]);    // already there
    list.change_order(r[2], qvOrderBefore, r[3]);   // already there
    list.change_order(r[2], qvOrderBefore, r[2]);   // itself
    list.change_order(nullptr, qvOrderLast, nullptr);
    EXPECT_TRUE(list.hooks.empty());
    list.change_order(r[1], qvOrderLast, nullptr);
    EXPECT_EQ(order_of(list), "2341");
    list.change_order(r[1], qvOrderFirst, nullptr);
    list.change_order(r[4], qvOrderAfter, r[1]);
    EXPECT_EQ(order_of(list), "1423");
    list.change_order(r[1], qvOrderBeforeToo, r[3]);
    EXPECT_EQ(order_of(list), "4213");
    list.change_order(r[3], qvOrderBefore, r[4]);   // the reference is first
    EXPECT_EQ(order_of(list), "3421");
    EXPECT_EQ(list.hooks, (std::vector<std::string>{"~1", "~1", "~4", "~1", "~3"}));
}

TEST(qvDrawingList, Remove_takes_the_first_entry_and_ignores_absent_drawings) {
    Row r(3);
    HookedList list;
    list.add(r[1], qvOrderLast);
    list.add(r[2], qvOrderLast);
    list.add(r[1], qvOrderLast);
    EXPECT_EQ(order_of(list), "121");   // twice in the list: walked twice
    list.hooks.clear();
    list.remove(r[3]);
    list.remove(nullptr);
    EXPECT_TRUE(list.hooks.empty());
    list.remove(r[1]);
    EXPECT_EQ(order_of(list), "21");
    EXPECT_EQ(list.hooks, std::vector<std::string>{"-1"});
    EXPECT_TRUE(list.contains(r[1]));
    EXPECT_FALSE(list.contains(r[3]));
    try {
        list.contains(nullptr);
        ADD_FAILURE();
    } catch (qvAssertionError const& e) {
        EXPECT_STREQ(static_cast<char const*>(e), "drawing");
    }
}

TEST(qvDrawingList, Clear_tells_the_hook_while_the_drawing_lives_then_deletes_it) {
    int deaths = 0;
    std::vector<int> deaths_at_hook;
    class Watching : public qvDrawingList {
    public:
        Watching(int& deaths, std::vector<int>& seen) : qvDrawingList(true), deaths_(deaths), seen_(seen) {}

    protected:
        void on_drawing_removed(qvDrawing* d) override {
            seen_.push_back(deaths_);
            EXPECT_EQ(d->bbox(nullptr), Rect(0, 0, 1, 1));   // still alive
        }

    private:
        int& deaths_;
        std::vector<int>& seen_;
    } list(deaths, deaths_at_hook);
    auto* a = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    list.add(a, qvOrderLast);
    list.add(a, qvOrderLast);
    list.add(new qvTestDrawing(Rect(0, 0, 1, 1), &deaths), qvOrderLast);
    list.clear();
    EXPECT_EQ(deaths_at_hook, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(list.size(), 0);
}

TEST(qvDrawingList, Query_yields_boxes_meeting_the_area_strictly_in_either_direction) {
    Row r(4);   // boxes at x 0-10, 10-20, 20-30, 30-40
    qvDrawingList list;
    for (int i = 1; i <= 4; ++i)
        list.add(r[i], qvOrderLast);
    EXPECT_EQ(order_of(list.query(Rect(5, 5, 25, 6), nullptr, false)), "123");
    EXPECT_EQ(order_of(list.query(Rect(5, 5, 25, 6), nullptr, true)), "321");
    EXPECT_EQ(order_of(list.query(Rect(10, 0, 20, 10), nullptr, false)), "2");   // touching 1 and 3
    EXPECT_EQ(order_of(list.query(Rect(40, 0, 50, 10), nullptr, true)), "");
    EXPECT_EQ(order_of(list.query(Rect(0, 10, 40, 20), nullptr, false)), "");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(order_of(list.query(Rect(nan, 0, 50, 10), nullptr, false)), "");
    r.d[1]->box(Rect(nan, 0, 20, 10));
    EXPECT_EQ(order_of(list.query(Rect(-100, -100, 100, 100), nullptr, false)), "134");
}

TEST(qvDrawingList, A_copy_has_entries_of_its_own_counted_without_hooks) {
    int deaths = 0;
    auto* a = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    auto* b = new qvTestDrawing(Rect(0, 0, 1, 1), &deaths);
    a->user_handle(1);
    b->user_handle(2);
    auto source = std::make_unique<HookedList>(true);
    source->add(a, qvOrderLast);
    source->add(b, qvOrderLast);
    qvDrawingList copy(*source);
    EXPECT_TRUE(copy.auto_delete());
    EXPECT_EQ(order_of(copy), "12");
    source.reset();
    EXPECT_EQ(deaths, 0);   // the copy holds a count of its own
    qvDrawingList other(true);
    other.add(a, qvOrderLast);
    copy = other;           // b's last owner lets go; a stays held
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(order_of(copy), "1");
    other.clear();
    EXPECT_EQ(deaths, 1);
    copy.remove(a);
    EXPECT_EQ(deaths, 2);
}
