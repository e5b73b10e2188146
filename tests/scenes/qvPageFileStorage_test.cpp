// Whole pages on a block file: 64-bit page positions, the exact length that
// limit gives, and pages outside the file (the page count of cut files and
// the opening rules are tested with the assembled page file).

#include "scenes/qvPageFileStorage.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include "platform/qvPlatformFault.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <string>

using namespace qv_page_test;
using namespace qv_file_test;

namespace {

using E = qvErrorFrom<qvPageFileStorage>;
using BlockError = qvErrorFrom<qvBlockFile>;

class qvPageFileStorageTest : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string f = dir / "pages";
};

}  // namespace

TEST_F(qvPageFileStorageTest, Pages_lie_at_64_bit_positions_and_limit_sets_the_exact_length) {
    qvPageFileStorage storage(f.c_str(), true, false);
    const long far = 300000;   // past 4 GiB
    storage.limit(far + 1);
    Page out;
    out.fill(0x5A);
    storage.write(far, out.data());
    Page in{};
    storage.read(far, in.data());
    EXPECT_EQ(in, out);
    EXPECT_EQ(page_of(f, far), std::string(qvPageBytes, '\x5A'));
    EXPECT_LT(file_length(f, true), 1 << 20);   // sparse
    storage.limit(2);
    EXPECT_EQ(file_length(f), 2 * 16384);
    EXPECT_EQ(storage.limit(), 2);
}

TEST_F(qvPageFileStorageTest, Pages_outside_the_file_are_missing_and_cannot_be_placed) {
    qvPageFileStorage storage(f.c_str(), true, false);
    storage.limit(2);
    Page buffer{};
    for (long page : {2L, -1L, qvMaxPageCount + 1})
        EXPECT_TRUE(raises<E>([&] { storage.read(page, buffer.data()); }, "Part of the Orvane pagefile is missing"))
            << page;
    for (long bad : {-1L, qvMaxPageCount + 1}) {
        EXPECT_TRUE(raises<BlockError>([&] { storage.write(bad, buffer.data()); }, "I/O error on seek operation"));
        EXPECT_TRUE(raises<BlockError>([&] { storage.limit(bad); }, "I/O error on seek operation"));
    }
    EXPECT_EQ(storage.limit(), 2);
    EXPECT_EQ(file_length(f), 2 * 16384);
}

TEST_F(qvPageFileStorageTest, A_refused_open_is_false_and_a_read_only_file_takes_no_change) {
    qvPageFileStorage closed;
    EXPECT_FALSE(closed.open(dir.path().c_str(), false, false));   // a directory
    write_file(f, std::string(16384, 'b'));
    qvPageFileStorage read_only(f.c_str(), false, true);
    Page buffer{};
    EXPECT_TRUE(raises<BlockError>([&] { read_only.write(0, buffer.data()); }, "Cannot modify a readonly file"));
    EXPECT_TRUE(raises<BlockError>([&] { read_only.limit(2); }, "Cannot modify a readonly file"));
    EXPECT_EQ(read_only.limit(), 1);
}

// What a sync would still put on disk: every write, partial write and cut
// since the last sync that returned (one refused leaves it all to the
// next). A page file's seal syncs only then.
TEST_F(qvPageFileStorageTest, Unsynced_answers_whether_anything_was_written_or_cut_since_the_last_sync) {
    namespace platform = orvane::platform;
    qvPageFileStorage storage(f.c_str(), true, false);
    Page page;
    page.fill(0x6B);
    const auto sync = [&] { storage.sync(); };
    const auto refused = [&](platform::Call call, std::function<void()> const& act) {
        return [call, act] {
            platform::fail_next(call, EIO);
            EXPECT_TRUE(raises<BlockError>(act, "I/O error while writing file"));
            platform::clear_failures();
        };
    };
    const struct {
        char const* step;
        std::function<void()> act;
        bool unsynced;
    } steps[] = {{"a new file", [] {}, false},
                 {"a cut", [&] { storage.limit(3); }, true},
                 {"a sync", sync, false},
                 {"a write", [&] { storage.write(2, page.data()); }, true},
                 {"a sync", sync, false},
                 {"a rewrite of one page", [&] { storage.write(2, page.data()); }, true},
                 {"a sync", sync, false},
                 {"a partial write", [&] { storage.write_part(1, 100, "part", 4); }, true},
                 {"a sync", sync, false},
                 {"a sync with nothing to sync", sync, false},
                 {"a write refused", refused(platform::Call::write, [&] { storage.write(0, page.data()); }), true},
                 {"a sync refused", refused(platform::Call::sync, sync), true},
                 {"a sync after it", sync, false}};
    for (auto const& step : steps) {
        step.act();
        EXPECT_EQ(storage.unsynced(), step.unsynced) << step.step;
    }
}
