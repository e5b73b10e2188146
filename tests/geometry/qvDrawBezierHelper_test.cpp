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
// [0, size).
class TaggedSet : public qvPointSetInterface {
public:
    explicit TaggedSet(std::vector<int> tags, int size = -1)
        : tags_(std::move(tags)), size_(size < -1 ? size : int(tags_.size())) {}
    P point(int i) const override { return check(i), P(i, 10.0 * i); }
    qvPointTag tag(int i) const override {
        return check(i), qvPointTag(i >= 0 && i < int(tags_.size()) ? tags_[std::size_t(i)] : 0);
    }
    int size() const override { return size_; }
    std::vector<int> tags_;

private:
    void check(int i) const {
        if (i < 0 || i >= size_) ADD_FAILURE() << "read outside the set: " << i;
    }
    int size_;
};

// Logs each call; a point is named by its index (its x).
class RecordingPort : public qvDrawBezierPortInterface {
public:
    void move_to(P const& p) override { log << "M" << at(p); }
    void line_to(P const& p) override { log << "L" << at(p); }
    void quadratic_to(P const& c, P const& e) override { log << "Q" << at(c) << at(e); }
    void cubic_to(P const& c1, P const& c2, P const& e) override { log << "C" << at(c1) << at(c2) << at(e); }
    void begin() override { log << "begin "; }
    void end() override { log << "end"; }
    void begin_figures(bool closed) override { log << (closed ? "[closed " : "[open "); }
    void end_figures() override { log << "] "; }
    std::ostringstream log;

private:
    static std::string at(P const& p) { return std::to_string(int(p.x)) + " "; }
};

std::string draw(qvDrawBezierHelper& helper) {
    RecordingPort port;
    helper.draw(port);
    return port.log.str();
}

TEST(qvDrawBezierHelper, Draws_the_pinned_calls_for_each_tag_sequence) {
    const struct { std::vector<int> tags; int size; char const* expected; } rows[] = {
        {{1, 2, 2, 3}, -1, "begin [open M0 C1 2 3 ] end"},
        {{1, 1, 4, 1, 2, 3}, -1, "begin [closed M0 L1 L2 ] [open M3 Q4 5 ] end"},
        {{}, -1, "begin end"}, {{1, 2}, -5, "begin end"},  // a negative size counts as 0
        {{1, 2, 2}, -1, "begin [open M0 Q1 2 ] end"},  // control points at the end shorten the piece
        {{1, 7, 1, 2, 2, 2, 3}, -1, "begin [open M0 L1 M2 C3 4 5 L6 ] end"},  // unknown tags end figures
        {{0, 1, 2, 0, 1}, -1, "begin [open M0 M1 L2 L3 M4 ] end"},
    };
    for (auto const& row : rows) {
        const TaggedSet set(row.tags, row.size);
        qvDrawBezierHelper helper(set);
        EXPECT_EQ(draw(helper), row.expected);
    }
}

TEST(qvDrawBezierHelper, Tags_changed_after_construction_and_the_cursor_stay_inside_the_set) {
    TaggedSet set({1, 1, 1, 3});
    qvDrawBezierHelper helper(set);
    set.tags_ = {1, 2, 2, 2};
    EXPECT_EQ(draw(helper), "begin [open M0 C1 2 3 ] end");
    TaggedSet cubic({1, 2, 2, 3});
    qvDrawBezierHelper cursor(cubic);
    EXPECT_EQ(cursor.detect_segment(), 1);
    cursor.next();
    EXPECT_TRUE(cursor.detect_segment() == 3 && cursor.get() == P(1, 10));
    for (int i = 0; i < 6; ++i) cursor.next();
    EXPECT_TRUE(cursor.detect_segment() == 1 && cursor.get() == P(1, 10));  // nothing read beyond the end
}

}  // namespace
