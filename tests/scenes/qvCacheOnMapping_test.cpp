// The mapped page cache over a real file: file lengths while mapped and
// after, views grown in place under locked pages within their range, moved
// once none is locked (early, before the range is full), or (with no address
// range set aside) remaps deferred while pages are locked, the red zone and
// the disk's refusal it reports when one is behind it, addresses kept
// between remaps, refusals outside the file and on read-only files, and
// views that fail or come back too small.

#include "scenes/qvCacheOnMapping.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvRaisedText.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <string>

using namespace qv_page_test;
using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

using E = qvErrorFrom<qvCacheOnMapping>;
constexpr long long page_bytes = 16384;

// Seam calls of each kind made while observing.
int asked[static_cast<int>(platform::Call::count_)];
void count_asks(platform::Call call, long long) noexcept { ++asked[static_cast<int>(call)]; }
int asks(platform::Call call) { return asked[static_cast<int>(call)]; }

class qvCacheOnMappingTest : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string f = dir / "mapped.pages";

    // A file of `pages` pages whose page n begins with the word n.
    void make_file(long pages, long long extra_bytes = 0) {
        std::string bytes(static_cast<std::size_t>(pages * page_bytes + extra_bytes), '\0');
        for (long n = 0; n < pages; ++n) qvSetPageWord(bytes.data() + n * page_bytes, 0, static_cast<std::uint32_t>(n));
        write_file(f, bytes);
    }
    qvFileMapping mapping(bool read_only, unsigned view = 0x1000000) {
        return qvFileMapping(f.c_str(), false, read_only, view);
    }
    // Views made from now on get no address range to grow in: they move.
    static void no_room_to_grow_in_place() { platform::fail_next(platform::Call::address_space, ENOMEM, 1 << 30); }
};

}  // namespace

// --- lengths and remaps -------------------------------------------------------------

TEST_F(qvCacheOnMappingTest, A_writable_file_is_as_long_as_the_view_while_mapped_and_cut_to_its_pages_after) {
    make_file(10);
    {
        qvFileMapping file = mapping(false);
        qvCacheOnMapping cache(file, 16, 64);
        EXPECT_EQ(cache.limit(), 10);
        EXPECT_EQ(cache.mapped(), 26);
        EXPECT_EQ(file_length(f), 26 * page_bytes);
        EXPECT_EQ(qvPageWord(cache.lock(9, false), 0), 9u);
        cache.unlock(9, 0.0f);
    }
    EXPECT_EQ(file_length(f), 10 * page_bytes);
    {
        qvFileMapping file = mapping(true);
        qvCacheOnMapping cache(file, 16, 64);
        EXPECT_EQ(cache.mapped(), 26);
        EXPECT_EQ(file_length(f), 10 * page_bytes);
    }
    EXPECT_EQ(file_length(f), 10 * page_bytes);
}

TEST_F(qvCacheOnMappingTest, Growth_into_the_headroom_remaps_at_once_or_at_the_last_unlock) {
    no_room_to_grow_in_place();   // a view that must move
    make_file(10);
    qvFileMapping file = mapping(false);
    qvCacheOnMapping cache(file, 16, 64);
    cache.limit(11);   // nothing locked: 11 + 16 > 26
    EXPECT_EQ(cache.mapped(), 75);
    EXPECT_EQ(file_length(f), 75 * page_bytes);

    cache.limit(59);   // 59 + 16 = 75: still inside
    EXPECT_EQ(cache.mapped(), 75);
    void* const page = cache.lock(3, true);
    EXPECT_EQ(cache.lock(3, false), page);
    cache.limit(70);
    EXPECT_EQ(cache.mapped(), 75);
    cache.unlock(3, 0.0f);
    EXPECT_EQ(cache.mapped(), 75);   // still locked once
    EXPECT_EQ(cache.lock(3, false), page);
    cache.unlock(3, 0.0f);
    cache.unlock(3, 0.0f);
    EXPECT_EQ(cache.mapped(), 134);   // 70 + 64
    EXPECT_EQ(cache.counters().remaps, 2u);
    EXPECT_EQ(cache.counters().locks, 3u);
}

// Regression: a page held between calls (a scene's user stream) kept the
// view from growing, and every allocation past its spare pages met the red
// zone. Within its range (twice the view) the view grows under a locked
// page; a full range waits for the last unlock, and a range that cannot
// hold the next growth is remade at the first lock, before it is full.
TEST_F(qvCacheOnMappingTest, A_locked_page_keeps_its_address_in_the_range_and_the_view_moves_once_none_is_locked) {
    make_file(200);
    {
        qvFileMapping file = mapping(false);
        qvCacheOnMapping cache(file, 16, 64);
        EXPECT_EQ(file.reserved_size(), 432 * page_bytes);
        auto* const page = static_cast<unsigned char*>(cache.lock(3, true));
        std::memcpy(page + 100, "held", 4);
        for (long pages = 201; pages <= 301; pages += 50) cache.limit(pages);   // 3 growths
        EXPECT_EQ(cache.mapped(), 365);
        platform::fail_next(platform::Call::map_view, ENOMEM);
        EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { cache.limit(366); }, "MapViewOfFile error 0xC"));
        EXPECT_EQ(cache.limit(), 301);
        EXPECT_EQ(file_length(f), 365 * page_bytes);
        cache.limit(351);
        EXPECT_EQ(cache.lock(350, true), page + 347 * page_bytes);   // the same view
        std::memcpy(page + 347 * page_bytes + 8, "far", 3);
        cache.unlock(350, 0.0f);
        cache.limit(415);   // 415 + 64 pages pass the range: the growth waits
        EXPECT_EQ(cache.mapped(), 415);
        EXPECT_TRUE(raises<E>([&] { cache.limit(416); }, "Red zone overflow in the mapped file"));
        EXPECT_EQ(cache.counters().remaps, 4u);
        cache.unlock(3, 0.0f);
        EXPECT_EQ(cache.mapped(), 479);
        EXPECT_EQ(file.reserved_size(), 958 * page_bytes);
        cache.limit(850);   // in place, to 914 of 958 pages
        EXPECT_EQ(cache.counters().remaps, 6u);
        EXPECT_EQ(std::string(static_cast<char*>(cache.lock(3, false)) + 100, 4), "held");
        EXPECT_EQ(cache.counters().remaps, 7u);
        EXPECT_EQ(file.reserved_size(), 1828 * page_bytes);
        cache.unlock(3, 0.0f);
        EXPECT_EQ(cache.mapped(), 914);
    }
    EXPECT_EQ(file_length(f), 850 * page_bytes);
    const std::string bytes = read_file(f);
    EXPECT_EQ(bytes.substr(3 * page_bytes + 100, 4), "held");
    EXPECT_EQ(bytes.substr(350 * page_bytes + 8, 3), "far");
}

TEST_F(qvCacheOnMappingTest, The_red_zone_keeps_the_previous_limit_and_the_unlock_makes_room) {
    no_room_to_grow_in_place();   // a view that must move
    make_file(10);
    {
        qvFileMapping file = mapping(false);
        qvCacheOnMapping cache(file, 16, 64);
        cache.lock(0, false);
        cache.limit(20);
        EXPECT_EQ(cache.mapped(), 26);
        cache.limit(26);
        EXPECT_TRUE(raises<E>([&] { cache.limit(27); }, "Red zone overflow in the mapped file"));
        EXPECT_EQ(cache.limit(), 26);
        EXPECT_EQ(cache.mapped(), 26);
        cache.unlock(0, 0.0f);
        EXPECT_EQ(cache.mapped(), 90);
        EXPECT_EQ(file_length(f), 90 * page_bytes);
    }
    EXPECT_EQ(file_length(f), 26 * page_bytes);
    make_file(10);
    qvFileMapping again = mapping(false);
    qvCacheOnMapping cache(again, 16, 64);
    cache.lock(5, true);
    cache.limit(20);
    // Regression: a growth the disk refused only at unlocked moments, which
    // keep quiet, let the overflow after it read as the red zone's.
    platform::fail_next(platform::Call::reserve, ENOSPC, 2);
    cache.unlock(5, 0.0f);
    cache.lock(5, true);
    EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { cache.limit(27); }, "Cannot create file mapping"));
    EXPECT_EQ(cache.limit(), 20);
    cache.unlock(5, 0.0f);
    EXPECT_EQ(cache.mapped(), 84);
}

// --- refusals -----------------------------------------------------------------------

TEST_F(qvCacheOnMappingTest, Pages_outside_the_file_are_missing_even_inside_the_view) {
    make_file(3, 100);   // a trailing part of a page is not a page
    for (bool read_only : {true, false}) {
        qvFileMapping file = mapping(read_only);
        qvCacheOnMapping cache(file, 16, 64);
        EXPECT_EQ(cache.limit(), 3);
        for (long page : {-1L, 3L, 18L})
            EXPECT_TRUE(raises<E>([&] { cache.lock(page, false); }, "Part of the Orvane pagefile is missing")) << page;
        EXPECT_EQ(cache.locked_pages(), 0u);
        EXPECT_EQ(qvPageWord(cache.lock(2, false), 0), 2u);
        cache.unlock(2, 0.0f);
    }
    EXPECT_EQ(file_length(f), 3 * page_bytes);   // the writable one cut it
}

// A sealed session writes nothing more: its file is cut to its pages at the
// seal, reads go on through the view remade to match, and the growth the
// session's last limit left to ask for is never asked (it grew the cut file
// again at a read's unlock). A cut refused, or one a locked page forbids,
// leaves the spare pages to the close.
TEST_F(qvCacheOnMappingTest, A_seal_cuts_a_writable_file_to_its_pages_and_nothing_grows_it_again) {
    for (char const* row : {"cut", "cut refused", "page locked"}) {
        SCOPED_TRACE(row);
        const std::string name = row;
        make_file(10);
        {
            qvFileMapping file = mapping(false);
            qvCacheOnMapping cache(file, 16, 64);
            cache.limit(11);   // 11 + 16 > 26: grown to 75, asks left
            qvSetPageWord(cache.lock(10, true), 0, 0xC0DE);
            cache.unlock(10, 0.0f);
            if (name == "page locked") cache.lock(2, false);
            if (name == "cut refused") platform::fail_next(platform::Call::resize, EIO);
            EXPECT_EQ(cache.seal(), name == "cut");
            const long long sealed_pages = name == "cut" ? 11 : 75;
            EXPECT_EQ(cache.mapped(), sealed_pages);
            EXPECT_EQ(file_length(f), sealed_pages * page_bytes);
            if (name == "page locked") cache.unlock(2, 0.0f);
            EXPECT_EQ(qvPageWord(cache.lock(10, false), 0), 0xC0DEu);
            EXPECT_EQ(qvPageWord(cache.lock(9, false), 0), 9u);
            cache.unlock(9, 0.0f);
            cache.unlock(10, 0.0f);
            EXPECT_EQ(file_length(f), sealed_pages * page_bytes);
            EXPECT_TRUE(raises<E>([&] { cache.lock(1, true); }, "Attempt to modify a read-only file"));
            EXPECT_TRUE(raises<E>([&] { cache.limit(12); }, "Attempt to modify a read-only file"));
            cache.close();
        }
        EXPECT_EQ(file_length(f), 11 * page_bytes);
    }
    make_file(4);
    qvFileMapping file = mapping(true);
    qvCacheOnMapping cache(file, 16, 64);
    EXPECT_FALSE(cache.seal());   // a read-only file keeps its length
    EXPECT_EQ(file_length(f), 4 * page_bytes);
}

TEST_F(qvCacheOnMappingTest, A_read_only_cache_refuses_changes_before_anything_changes) {
    make_file(4);
    const std::string before = read_file(f);
    qvFileMapping file = mapping(true);
    qvCacheOnMapping cache(file, 16, 64);
    EXPECT_TRUE(raises<E>([&] { cache.lock(1, true); }, "Attempt to modify a read-only file"));
    EXPECT_TRUE(raises<E>([&] { cache.limit(5); }, "Attempt to modify a read-only file"));
    EXPECT_EQ(cache.locked_pages(), 0u);
    EXPECT_EQ(cache.limit(), 4);
    EXPECT_EQ(read_file(f), before);
}

TEST_F(qvCacheOnMappingTest, Unlocking_a_page_that_is_not_locked_and_closing_with_a_lock_are_refused) {
    make_file(2);
    qvFileMapping file = mapping(false);
    qvCacheOnMapping cache(file, 16, 64);
    EXPECT_TRUE(raises<qvAssertionError>([&] { cache.unlock(1, 0.0f); }, "i != locked_pages.end()"));
    cache.lock(1, false);
    EXPECT_TRUE(raises<E>([&] { cache.close(); }, "Cannot release the cache memory while pages are locked"));
    EXPECT_EQ(file_length(f), 18 * page_bytes);
    cache.unlock(1, 0.0f);
    cache.close();
    cache.close();
    EXPECT_EQ(file_length(f), 2 * page_bytes);
}

// --- failing views ------------------------------------------------------------------

// map(size) answers a refused whole view with a window of the default size;
// such a view does not hold the file's pages.
TEST_F(qvCacheOnMappingTest, A_view_that_does_not_cover_the_pages_is_refused_and_the_file_kept) {
    make_file(10, 100);
    for (bool read_only : {false, true}) {
        qvFileMapping file = mapping(read_only, 65536);
        platform::fail_next(platform::Call::map_view, ENOMEM);
        EXPECT_TRUE(raises<E>([&] { qvCacheOnMapping(file, 16, 64); }, "Cannot create file mapping")) << read_only;
        EXPECT_EQ(file.view_size(), 0);
        EXPECT_EQ(file_length(f), 10 * page_bytes + 100);
    }
}

TEST_F(qvCacheOnMappingTest, A_remap_that_fails_keeps_the_previous_view_and_reports_only_what_does_not_fit) {
    make_file(10);
    qvFileMapping file = mapping(false);
    qvCacheOnMapping cache(file, 16, 64);
    platform::fail_next(platform::Call::reserve, ENOSPC, 100);   // the file cannot grow
    cache.limit(11);
    EXPECT_EQ(cache.mapped(), 26);
    EXPECT_EQ(cache.limit(), 11);
    cache.lock(10, true);
    cache.unlock(10, 0.0f);   // asks for the remap again: silent
    EXPECT_EQ(cache.mapped(), 26);
    EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { cache.limit(27); }, "Cannot create file mapping"));
    EXPECT_EQ(cache.limit(), 11);
    EXPECT_EQ(file_length(f), 26 * page_bytes);
    platform::clear_failures();
    cache.limit(27);
    EXPECT_EQ(cache.mapped(), 91);
}

// Regression: a growth that failed left the view without spare pages until
// the next unlock, so an operation that held its first page met the red zone.
TEST_F(qvCacheOnMappingTest, A_growth_that_failed_is_made_at_the_next_lock_that_finds_no_page_locked) {
    make_file(10);
    qvFileMapping file = mapping(false);
    qvCacheOnMapping cache(file, 16, 64);
    platform::fail_next(platform::Call::reserve, ENOSPC);
    cache.limit(26);
    void* const page = cache.lock(3, true);
    EXPECT_EQ(cache.mapped(), 90);
    EXPECT_EQ(qvPageWord(page, 0), 3u);
    EXPECT_EQ(qvRaisedText([&] { cache.limit(27); }), "no error");   // while locked: into the headroom
    EXPECT_EQ(cache.lock(5, false), static_cast<unsigned char*>(page) + 2 * page_bytes);   // the view stays put
    cache.unlock(5, 0.0f);
    cache.unlock(3, 0.0f);
    EXPECT_EQ(cache.counters().remaps, 1u);
}

// Regression: on a full disk a refused growth moved the view into a new
// range and back, and every lock and unlock that found no page locked (a
// page stream's every copy) asked again. A limit that wants room asks the
// disk once (three times where the view must move) and nothing moves.
TEST_F(qvCacheOnMappingTest, A_growth_the_disk_refuses_costs_one_ask_per_limit_and_moves_nothing) {
    for (bool in_place : {true, false}) {
        make_file(in_place ? 100 : 10);   // a range of 232 pages, or of 52
        qvFileMapping file = mapping(false);
        qvCacheOnMapping cache(file, 16, 64);
        const long start = cache.limit(), mapped = cache.mapped();
        platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
        std::fill(std::begin(asked), std::end(asked), 0);
        platform::observe_calls(count_asks);
        for (long k = 1; k <= 3; ++k) {
            cache.limit(start + k);   // into the headroom: the refusal is quiet
            for (int copy = 0; copy < 20; ++copy) {   // as a page stream's copies lock and unlock
                cache.lock(k, true);
                cache.unlock(k, 0.0f);
            }
        }
        platform::observe_calls(nullptr);
        EXPECT_EQ(asks(platform::Call::reserve), in_place ? 3 : 9) << in_place;
        using C = platform::Call;
        EXPECT_EQ(asks(C::address_space) + asks(C::map_view) + asks(C::unmap_view), 0);   // no range, view or move
        EXPECT_EQ(cache.mapped(), mapped);
        // Past the view and what its range can grow to, under a locked page,
        // the growth waits; the overflow says why the view is short: the
        // disk's refusal, until a growth succeeds, then the locked page.
        const auto beyond_the_range = [&] {
            return std::max(cache.mapped(), static_cast<long>(file.reserved_size() / page_bytes) - 64) + 1;
        };
        cache.lock(0, false);
        EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { cache.limit(beyond_the_range()); },
                                                       "Cannot create file mapping")) << in_place;
        EXPECT_EQ(cache.limit(), start + 3);
        cache.unlock(0, 0.0f);
        platform::clear_failures();
        cache.limit(start + 4);
        EXPECT_EQ(cache.mapped(), start + 4 + 64);
        cache.lock(0, false);
        EXPECT_TRUE(raises<E>([&] { cache.limit(beyond_the_range()); }, "Red zone overflow in the mapped file"))
            << in_place;
        EXPECT_EQ(cache.limit(), start + 4);
        cache.unlock(0, 0.0f);
        if (!in_place) continue;
        // A move the disk refuses, then a limit lowered so that the next
        // unlocked moment moves the view early at its own size: a move that
        // asks the disk nothing keeps the refusal.
        cache.limit(start + 53);   // in place to 217 of 232 pages
        platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
        cache.limit(start + 102);   // past the range: a move, refused quietly
        cache.limit(start + 53);
        const std::uint64_t remaps = cache.counters().remaps;
        cache.lock(0, false);
        EXPECT_EQ(cache.counters().remaps, remaps + 1);
        EXPECT_EQ(cache.mapped(), start + 53 + 64);
        EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { cache.limit(beyond_the_range()); },
                                                       "Cannot create file mapping"));
        cache.unlock(0, 0.0f);
        platform::clear_failures();
    }
}

TEST_F(qvCacheOnMappingTest, When_the_previous_view_cannot_come_back_every_lock_is_refused) {
    no_room_to_grow_in_place();   // a view that must move
    make_file(10);
    {
        qvFileMapping file = mapping(false);
        qvCacheOnMapping cache(file, 16, 64);
        platform::fail_next(platform::Call::map_view, ENOMEM, 4);   // new size and old, whole and window
        EXPECT_THROW(cache.limit(11), qvErrorFrom<qvFileMapping>);
        EXPECT_FALSE(cache.has_view());
        EXPECT_EQ(cache.limit(), 10);
        EXPECT_TRUE(raises<E>([&] { cache.lock(0, false); }, "Cannot create file mapping"));
        EXPECT_TRUE(raises<E>([&] { cache.limit(12); }, "Cannot create file mapping"));
    }
    EXPECT_EQ(file_length(f), 10 * page_bytes);
}
