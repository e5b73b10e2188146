// The paged scene segment: its stream form, layer removal and the node
// pages it gives back, and loads that fail.
#include <orvane/scenes/qvPagedSceneSegment.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include "qvFileTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using qv_file_test::raises;
using qv_file_test::ScratchDir;
using qv_page_test::hex;
using qv_page_test::le32;

namespace {

using Rect = qvMathRectOf<double>;

Rect rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

std::string saved(qvPagedSceneSegment const& segment) {
    std::stringbuf buffer;
    {
        qvOutputStream out(&buffer, qvVersion::default_version(), false);
        segment.save(out);
    }
    return buffer.str();
}

void load(qvPagedSceneSegment& segment, std::string const& bytes) {
    std::stringbuf buffer(bytes);
    qvInputStream in(&buffer);
    segment.load(in);
}

struct Fixture {
    ScratchDir dir;
    qvPagedSceneFile file;
    Fixture() { file.create((dir / "s.pg").c_str(), std::size_t{1} << 20); }
    ~Fixture() { file.close(); }
};

}  // namespace

TEST(qvPagedSceneSegment, A_new_segment_saves_as_a_zero_count) {
    Fixture f;
    qvPagedSceneSegment segment(f.file);
    EXPECT_EQ(hex(saved(segment)), "00 00 00 00");
    segment.cleanup();
    EXPECT_EQ(segment.total_layers(), 0);
}

TEST(qvPagedSceneSegment, Removing_a_layer_moves_the_later_ones_down_and_frees_its_nodes) {
    Fixture f;
    qvPagedSceneSegment segment(f.file);
    segment.add_layer(rect(0, 0, 10, 10));
    segment.add_layer(rect(0, 0, 20, 20));
    segment.add_layer(rect(0, 0, 30, 30));
    // Layer 1 gets a second node: a split below its full root.
    for (int k = 0; k < 400; ++k)
        qv_quadtree_test::store(segment.tree(1), qv_quadtree_test::record(40, 1, 1, 2, 2, k + 1));
    std::vector<long> pages;
    for (qvQuadTreeDirectory::EnumerateIterator it(*segment.tree(1).directory()); it.get(); it.next())
        pages.push_back(it.get()->page_number());
    ASSERT_GT(pages.size(), 1u);
    std::sort(pages.begin(), pages.end());

    segment.remove_layer(1);
    ASSERT_EQ(segment.total_layers(), 2);
    EXPECT_EQ(segment.layer(1).bbox(), rect(0, 0, 30, 30));
    qvPageDevice& device = f.file.device();
    for (long page : pages) EXPECT_EQ(device.allocate(), page);

    EXPECT_TRUE(raises<qvAssertionError>([&] { segment.layer(2); }, "n >= 0 && n < int(layers.size())"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { segment.remove_layer(-1); }, "n >= 0 && n < int(layers.size())"));
}

TEST(qvPagedSceneSegment, Save_and_load_over_the_same_file_give_the_same_layers_and_nodes) {
    Fixture f;
    qvPagedSceneSegment segment(f.file);
    segment.add_layer(rect(0, 0, 100, 100));
    segment.add_layer(rect(-5, -5, 5, 5));
    for (int k = 0; k < 500; ++k)
        qv_quadtree_test::store(segment.tree(0), qv_quadtree_test::record(48, k % 90, 3, k % 90 + 2, 5, k + 1));
    const std::string bytes = saved(segment);
    EXPECT_EQ(bytes.substr(0, 4), le32(2));

    qvPagedSceneSegment copy(f.file);
    load(copy, bytes);
    ASSERT_EQ(copy.total_layers(), 2);
    EXPECT_EQ(saved(copy), bytes);
    EXPECT_EQ(copy.layer(1).bbox(), rect(-5, -5, 5, 5));
    EXPECT_EQ(qv_quadtree_test::handles_of(copy.tree(0), rect(0, 0, 100, 100)),
              qv_quadtree_test::handles_of(segment.tree(0), rect(0, 0, 100, 100)));
    copy.cleanup();   // the pages stay: the original still reads them
    EXPECT_EQ(qv_quadtree_test::handles_of(segment.tree(0), rect(0, 0, 100, 100)).size(), 500u);
}

TEST(qvPagedSceneSegment, Failed_loads_append_nothing_of_what_failed) {
    Fixture f;
    qvPagedSceneSegment segment(f.file);
    segment.add_layer(rect(0, 0, 1, 1));
    const std::string one = saved(segment);
    EXPECT_TRUE(raises<qvErrorFrom<qvPagedSceneSegment>>([&] { load(segment, le32(0xFFFFFFFF)); },
                                                         "Invalid or corrupt Orvane pagefile"));
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { load(segment, "\x01"); }, "Incomplete data on input"));
    // Two layers claimed, one there: the first is appended, the cut one not.
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { load(segment, le32(2) + one.substr(4) + "xx"); },
                                                   "Incomplete data on input"));
    EXPECT_EQ(segment.total_layers(), 2);
}
