// Receivers of attribute-handle invalidations hear a palette's changes.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvWrap.hpp>
#include <orvane/views/qvReceiverInvalidateHandle.hpp>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct HandleLog : qvReceiverInvalidateHandle {
    std::vector<std::pair<long, int>> changes;
    int everything = 0;
    void invalidate() override { ++everything; }
    void invalidate(long const& handle, int flag) override { changes.emplace_back(handle, flag); }
};

}  // namespace

TEST(qvReceiverInvalidateHandle, Hears_the_handle_and_flag_of_a_palette_change) {
    qvStandardPalette palette;
    HandleLog receiver;
    receiver.connect(palette.publisher());
    const long shared = palette.alloc(true);
    palette.add_ref(shared);
    qvFolder* width = qvFolder::folder_by_name("pen/color_device/line_width");
    ASSERT_NE(width, nullptr);
    const qvWrap<double> two(2.0);
    palette.property(shared, *width, &two, true);
    const long alone = palette.alloc(false);
    palette.release(alone);

    ASSERT_GE(receiver.changes.size(), 2u);
    EXPECT_EQ(receiver.changes.front(), std::make_pair(shared, 1));
    EXPECT_EQ(receiver.changes.back(), std::make_pair(alone, 0));
}

