// The order in which a paged scene's close and the allocator's chain growth
// reach the disk, read from the POSIX layer's record of its writes and
// syncs (not from the file they leave, which looks the same whatever the
// order): a crash between any two steps must leave a file that either
// still carries the open mark or has every page it names.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/shapes/qvRectangle.hpp>

#include "platform/qvPlatformFault.hpp"
#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLayout.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using orvane::platform::Call;
using qv_file_test::ScratchDir;

namespace {

struct Step {
    Call call;
    long long position;
};

std::vector<Step>& steps() {
    static std::vector<Step> recorded;
    return recorded;
}

void record(Call call, long long position) noexcept {
    if (call == Call::write || call == Call::sync) steps().push_back({call, position});
}

// Records the writes and syncs of `body`.
template <class F>
std::vector<Step> recorded(F&& body) {
    steps().clear();
    orvane::platform::observe_calls(record);
    try {
        body();
    } catch (...) {
        orvane::platform::observe_calls(nullptr);
        throw;
    }
    orvane::platform::observe_calls(nullptr);
    return steps();
}

long long position_of(long page) { return static_cast<long long>(qvPagePosition(page)); }

// Index of the last write at `position`, -1 when none.
long last_write_at(std::vector<Step> const& log, long long position) {
    for (long i = static_cast<long>(log.size()) - 1; i >= 0; --i)
        if (log[static_cast<std::size_t>(i)].call == Call::write && log[static_cast<std::size_t>(i)].position == position)
            return i;
    return -1;
}

// Index of the first write at `position` after index `from`, -1 when none.
long first_write_at(std::vector<Step> const& log, long long position, long from = -1) {
    for (long i = from + 1; i < static_cast<long>(log.size()); ++i)
        if (log[static_cast<std::size_t>(i)].call == Call::write && log[static_cast<std::size_t>(i)].position == position)
            return i;
    return -1;
}

bool sync_between(std::vector<Step> const& log, long after, long before) {
    for (long i = after + 1; i < before; ++i)
        if (log[static_cast<std::size_t>(i)].call == Call::sync) return true;
    return false;
}

}  // namespace

// The mark goes with the last write of the directory page; every other page
// the close wrote is synced before it, and the mark's removal is synced too.
TEST(qvPagedSceneDurability, Close_syncs_every_data_page_before_the_write_that_clears_the_open_mark) {
    ScratchDir dir;
    const std::string path = dir / "order.pgf";
    for (bool reopened : {false, true}) {
        qvPagedScene scene;
        if (reopened)
            ASSERT_TRUE(scene.open(path.c_str(), 1 << 20, false));
        else
            scene.create(path.c_str(), 2, qvMathRectOf<double>(0, 0, 1000, 1000), 1 << 20);
        for (int k = 0; k < 400; ++k) qvRectangle(scene, qvMathRectOf<double>(k * 2, k, k * 2 + 3, k + 3));
        const std::vector<Step> log = recorded([&] { scene.close(); });
        const long mark = last_write_at(log, position_of(qvBasicPagedScene::open_mark_page));
        ASSERT_GE(mark, 0) << reopened;
        long last_data = -1;
        for (long i = 0; i < mark; ++i)
            if (log[static_cast<std::size_t>(i)].call == Call::write &&
                log[static_cast<std::size_t>(i)].position != position_of(1))
                last_data = i;
        ASSERT_GE(last_data, 0) << reopened;
        EXPECT_TRUE(sync_between(log, last_data, mark)) << reopened;
        EXPECT_TRUE(sync_between(log, mark, static_cast<long>(log.size()))) << reopened;
        for (long i = mark + 1; i < static_cast<long>(log.size()); ++i)
            EXPECT_NE(log[static_cast<std::size_t>(i)].call, Call::write) << reopened;
        EXPECT_EQ(scene.device().find_root(qvBasicPagedScene::open_mark), 0);
    }
}

// A new map page is on disk before the map page that links to it is
// written; the link's own write follows in a later flush.
TEST(qvPagedSceneDurability, A_new_map_page_is_synced_before_the_link_that_names_it_is_written) {
    ScratchDir dir;
    const std::string path = dir / "chain.pgf";
    constexpr long range = qvMapAllocator::pages_per_map;
    {
        std::string full(qvPageBytes, '\xFF');
        qvSetPageWord(full.data(), 0, qvMapAllocator::magic);
        qvSetPageWord(full.data(), 4, 0);
        qvSetPageWord(full.data(), qvPageBytes - 4, 0);
        qv_file_test::write_file(path, full + qv_page_test::directory_page(0));
        std::filesystem::resize_file(path, static_cast<std::uintmax_t>(range) * qvPageBytes);
    }
    // A writable open probes with an allocation: the chain grows there.
    std::unique_ptr<qvPageFile> device;
    const std::vector<Step> log = recorded([&] {
        device = std::make_unique<qvPageFile>(path.c_str(), 1 << 20, false, false);
        EXPECT_EQ(device->allocate(), range + 1);
        device->flush();
    });
    // The map page is written again later (its bit of range + 1): the
    // first write is the one that lays it out.
    const long added = first_write_at(log, position_of(range));
    const long link = first_write_at(log, position_of(0), added);
    ASSERT_GE(added, 0);
    ASSERT_GT(link, added);
    EXPECT_TRUE(sync_between(log, added, link));
    device->close();
    EXPECT_EQ(qv_page_test::word_at(qv_page_test::page_of(path, 0), 4), static_cast<std::uint32_t>(range));
}
