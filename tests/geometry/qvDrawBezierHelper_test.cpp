// qvDrawBezierHelper: the port calls for pinned tag sequences, and malformed
// sets that must never be read outside [0, size).

#include <orvane/geometry/qvDrawBezierHelper.hpp>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using P = qvCrdOf<double>;

// Points (i, 10 i) with the given tags; fails the test on any read outside
// [0, size) (a negative size reads nothing at all).
class TaggedSet : public qvPointSetInterface {
public:
    explicit TaggedSet(std::vector<int> tags, int size = -1)
        : tags_(std::move(tags)), size_(size < -1 ? size : static_cast<int>(tags_.size())) {}

    P point(int i) const override {
        check(i);
        return {double(i), 10.0 * i};
    }
    qvPointTag tag(int i) const override {
        check(i);
        return qvPointTag(i >= 0 && i < int(tags_.size()) ? tags_[std::size_t(i)] : 0);
    }
    int size() const override { return size_; }

    std::vector<int> tags_;

private:
    void check(int i) const {
        if (i < 0 || i >= size_) ADD_FAILURE() << "read outside the set: " << i;
    }
    int size_;
};

class RecordingPort : public qvDrawBezierPortInterface {
public:
    void move_to(P const& p) override { log_ << "M" << at(p); }
    void line_to(P const& p) override { log_ << "L" << at(p); }
    void quadratic_to(P const& c, P const& e) override { log_ << "Q" << at(c) << at(e); }
    void cubic_to(P const& c1, P const& c2, P const& e) override {
        log_ << "C" << at(c1) << at(c2) << at(e);
    }
    void begin() override { log_ << "begin "; }
    void end() override { log_ << "end"; }
    void begin_figures(bool closed) override { log_ << (closed ? "[closed " : "[open "); }
    void end_figures() override { log_ << "] "; }

    std::string text() const { return log_.str(); }

private:
    // Points are (i, 10 i): the index names the point.
    static std::string at(P const& p) { return std::to_string(int(p.x)) + " "; }
    std::ostringstream log_;
};

std::string draw(TaggedSet const& set) {
    qvDrawBezierHelper helper(set);
    RecordingPort port;
    helper.draw(port);
    return port.text();
}

TEST(qvDrawBezierHelper, Draws_a_cubic_as_one_open_figure) {
    EXPECT_EQ(draw(TaggedSet({1, 2, 2, 3})), "begin [open M0 C1 2 3 ] end");
}

TEST(qvDrawBezierHelper, Groups_figures_by_kind_with_lines_and_quadratics) {
    EXPECT_EQ(draw(TaggedSet({1, 1, 4, 1, 2, 3})),
              "begin [closed M0 L1 L2 ] [open M3 Q4 5 ] end");
}

TEST(qvDrawBezierHelper, Figures_of_one_kind_share_a_group) {
    EXPECT_EQ(draw(TaggedSet({1, 4, 1, 1, 4})), "begin [closed M0 L1 M2 L3 L4 ] end");
    // The last point ends the last figure whatever its tag.
    EXPECT_EQ(draw(TaggedSet({1, 3, 1, 1})), "begin [open M0 L1 M2 L3 ] end");
}

TEST(qvDrawBezierHelper, Empty_set_draws_begin_and_end_only) {
    EXPECT_EQ(draw(TaggedSet({})), "begin end");
    EXPECT_EQ(draw(TaggedSet({1, 2}, -5)), "begin end");
}

TEST(qvDrawBezierHelper, Control_points_at_the_end_shorten_the_piece) {
    EXPECT_EQ(draw(TaggedSet({1, 2, 2})), "begin [open M0 Q1 2 ] end");
    EXPECT_EQ(draw(TaggedSet({1, 2})), "begin [open M0 L1 ] end");
    EXPECT_EQ(draw(TaggedSet({2})), "begin [open M0 ] end");
}

TEST(qvDrawBezierHelper, Unknown_tags_and_tag_zero_end_figures_and_are_read) {
    EXPECT_EQ(draw(TaggedSet({1, 7, 1, 2, 2, 2, 3})),
              "begin [open M0 L1 M2 C3 4 5 L6 ] end");
    // A figure that starts on a tag-0 point moves to that point; a control
    // point followed by tag 0 makes a straight piece.
    EXPECT_EQ(draw(TaggedSet({0, 1, 2, 0, 1})), "begin [open M0 M1 L2 L3 M4 ] end");
}

TEST(qvDrawBezierHelper, Tags_changed_after_construction_never_lead_outside_the_set) {
    TaggedSet set({1, 1, 1, 3});
    qvDrawBezierHelper helper(set);
    set.tags_ = {1, 2, 2, 2};
    RecordingPort port;
    helper.draw(port);
    EXPECT_EQ(port.text(), "begin [open M0 C1 2 3 ] end");
}

TEST(qvDrawBezierHelper, Cursor_reports_segments_and_stays_inside_the_set) {
    TaggedSet set({1, 2, 2, 3});
    qvDrawBezierHelper helper(set);
    EXPECT_EQ(helper.detect_segment(), 1);
    helper.next();
    EXPECT_EQ(helper.detect_segment(), 3);
    EXPECT_EQ(helper.get(), P(1, 10));
    for (int i = 0; i < 6; ++i) helper.next();
    EXPECT_EQ(helper.detect_segment(), 1);
    EXPECT_EQ(helper.get(), P(1, 10));  // nothing read beyond the end
    helper.reset();
    helper.prev();
    helper.prev();
    EXPECT_EQ(helper.get(), P(1, 10));
}

}  // namespace
