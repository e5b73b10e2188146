// The assembled page file on disk: the bytes of a new file, reopening,
// read-only use, cut and damaged files, sharing and a killed writer, the
// growth of the map chain on a sparse file, and what injected I/O failures
// leave behind.

#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

using namespace qv_page_test;
using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

constexpr long range = qvMapAllocator::pages_per_map;

class qvPageFileTest : public ::testing::Test {
protected:
    ScratchDir dir;
    const std::string f = dir / "scene.pages";

    std::unique_ptr<qvPageFile> open(bool create = false, bool read_only = false, int cache = 0) {
        return std::make_unique<qvPageFile>(f.c_str(), cache, create, read_only);
    }
};

bool all_zero(std::string const& bytes) { return bytes.find_first_not_of('\0') == std::string::npos; }

}  // namespace

// --- the file's bytes --------------------------------------------------------------------

TEST_F(qvPageFileTest, A_new_file_is_a_map_page_and_a_directory_page) {
    open(true);
    const std::string file = read_file(f);
    ASSERT_EQ(file.size(), 32768u);
    EXPECT_EQ(hex(file.substr(0, 12)), "04 01 AD DE 00 00 00 00 03 00 00 00");
    EXPECT_TRUE(all_zero(file.substr(12, qvPageBytes - 12)));
    EXPECT_EQ(hex(file.substr(qvPageBytes, 8)), "01 00 CE FA 00 00 00 00");
    EXPECT_TRUE(all_zero(file.substr(qvPageBytes + 8)));
}

TEST_F(qvPageFileTest, The_first_writable_reopening_grows_by_the_free_probe_page_and_read_only_changes_nothing) {
    open(true);
    open();
    std::string file = read_file(f);
    ASSERT_EQ(file.size(), 49152u);
    EXPECT_EQ(word_at(file, 8), 3u);   // page 2 is free again
    EXPECT_TRUE(all_zero(file.substr(2 * qvPageBytes)));
    open();
    EXPECT_EQ(read_file(f), file);
    {
        auto device = open(false, true, 1 << 20);
        EXPECT_EQ(device->page_count(), 3);
        for (long page = 0; page < 3; ++page) qvPageLock(*device, page, false, 0.0f);
    }
    EXPECT_EQ(read_file(f), file);
}

TEST_F(qvPageFileTest, Works_through_the_device_interface_and_keeps_what_was_written) {
    {
        std::unique_ptr<qvPageDevice> device = open(true, false, 4 * 16384);
        const long page = device->allocate();
        {
            qvPageLock lock(*device, page, true, 0.5f);
            std::memcpy(lock.bytes() + 100, "page data", 9);
        }
        device->create_root("$UserData", page);
        device->release();
    }
    auto device = open(false, true);
    const long page = device->find_root("$UserData");
    EXPECT_EQ(page, 2);
    qvPageLock lock(*device, page, false, 0.0f);
    EXPECT_EQ(std::string(reinterpret_cast<char const*>(lock.bytes()) + 100, 9), "page data");
}

TEST_F(qvPageFileTest, Caches_of_several_GiB_are_taken_and_cost_what_they_hold) {
    qvPageFile device(f.c_str(), std::size_t{3} << 30, true, false);
    EXPECT_EQ(device.capacity(), 3u * 65536u);
    for (int i = 0; i < 20; ++i) qvPageLock(device, device.allocate(), true, 0.0f);
    EXPECT_LE(device.bytes_held(), 32u * 16384u);
    EXPECT_EQ(device.cached_pages(), 22u);
}

// --- read-only use and refusals ------------------------------------------------------------

TEST_F(qvPageFileTest, A_read_only_file_refuses_every_change) {
    open(true)->create_root("x", 1);
    const std::string file = read_file(f);
    auto device = open(false, true, 1 << 20);
    using Cache = qvErrorFrom<qvCacheOnIO>;
    EXPECT_TRUE(raises<Cache>([&] { device->allocate(); }, "Attempt to modify a read-only file"));
    EXPECT_TRUE(raises<Cache>([&] { device->free(1); }, "Attempt to modify a read-only file"));
    EXPECT_TRUE(raises<Cache>([&] { qvPageLock(*device, 0, true, 0.0f); }, "Attempt to modify a read-only file"));
    device->release();
    device.reset();
    EXPECT_EQ(read_file(f), file);
}

TEST_F(qvPageFileTest, Create_with_read_only_and_a_read_only_open_of_a_missing_file_are_refused) {
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { open(true, true); },
                                                        "Cannot create file in read only mode"));
    EXPECT_FALSE(fs::exists(f));
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { open(false, true); }, "Cannot modify a readonly file"));
    EXPECT_EQ(file_length(f), 0);   // the empty file remains
    auto device = open();           // a writable open lays it out
    EXPECT_EQ(device->page_count(), 2);
}

TEST_F(qvPageFileTest, A_file_held_by_a_writer_cannot_be_opened_again_but_readers_share) {
    open(true);
    {
        auto writer = open();
        const long descriptors = open_descriptor_count();
        for (bool read_only : {false, true}) {
            EXPECT_TRUE(
                raises<qvErrorFrom<qvBlockFile>>([&] { open(false, read_only); }, "Cannot open file"));
        }
        EXPECT_EQ(open_descriptor_count(), descriptors);
    }
    auto reader = open(false, true);
    auto second_reader = open(false, true);
    EXPECT_EQ(second_reader->find_root("x"), 0);
}

// A writer that was killed left no lock behind: its flock died with it.
TEST_F(qvPageFileTest, A_file_whose_writer_was_killed_opens) {
    open(true)->create_root("before", 2);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        qvPageFile* writer = new qvPageFile(f.c_str(), 1 << 20, false, false);
        writer->create_root("unsaved", 3);
        ::kill(::getpid(), SIGKILL);   // no destructor, no flush
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    auto device = open();
    EXPECT_EQ(device->find_root("before"), 2);
}

// --- cut and damaged files -------------------------------------------------------------------

TEST_F(qvPageFileTest, A_trailing_partial_page_is_not_counted_and_reads_as_missing) {
    open(true)->allocate();
    ASSERT_EQ(::truncate(f.c_str(), 3 * 16384 + 100), 0);
    auto device = open(false, true, 1 << 20);
    EXPECT_EQ(device->page_count(), 3);
    const std::size_t cached = device->cached_pages();
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { device->lock(3, false); },
                                                        "Part of the Orvane pagefile is missing"));
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { device->lock(-1, false); },
                                                        "Part of the Orvane pagefile is missing"));
    EXPECT_EQ(device->cached_pages(), cached);
}

// Regression: the writable open grew the file over the directory's lost
// part and took what was left of it for the directory.
TEST_F(qvPageFileTest, A_file_cut_inside_the_directory_page_is_missing_read_only_and_refused_writable) {
    open(true)->create_root("cut", 7);
    ASSERT_EQ(::truncate(f.c_str(), 16384 + 4000), 0);
    const std::string cut = read_file(f);
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileStorage>>([&] { open(false, true); },
                                                        "Part of the Orvane pagefile is missing"));
    EXPECT_TRUE(raises<qvErrorFrom<qvMapAllocator>>([&] { open(); }, "Invalid or corrupt Orvane pagefile"));
    EXPECT_TRUE(read_file(f) == cut);
}

TEST_F(qvPageFileTest, A_file_without_the_map_magic_is_refused_in_both_modes) {
    open(true);
    patch(f, 0, le32(0xDEAD0105));
    for (bool read_only : {true, false})
        EXPECT_TRUE(raises<qvErrorFrom<qvMapAllocator>>([&] { open(false, read_only, 1 << 20); },
                                                        "Invalid or corrupt Orvane pagefile"));
    EXPECT_EQ(file_length(f), 32768);
}

// --- the map chain on a sparse file --------------------------------------------------------------

// Every page of the first map's range is in use: the writable open's probe
// needs a second map page, which goes on page 130,976.
TEST_F(qvPageFileTest, A_full_first_map_grows_the_chain_on_the_first_page_of_the_next_range) {
    {
        std::string full(qvPageBytes, '\xFF');
        qvSetPageWord(full.data(), 0, qvMapAllocator::magic);
        qvSetPageWord(full.data(), 4, 0);
        qvSetPageWord(full.data(), qvPageBytes - 4, 0);
        write_file(f, full + directory_page(0));
        ASSERT_EQ(::truncate(f.c_str(), range * 16384LL), 0);
    }
    {
        auto device = open(false, false, 1 << 20);
        EXPECT_EQ(device->page_count(), range + 2);
        EXPECT_EQ(device->allocate(), range + 1);
        device->release();
    }
    EXPECT_EQ(file_length(f), (range + 2) * 16384LL);
    EXPECT_EQ(hex(page_of(f, 0).substr(4, 4)), "A0 FF 01 00");
    const std::string second = page_of(f, range);
    EXPECT_EQ(word_at(second, 0), qvMapAllocator::magic);
    EXPECT_EQ(word_at(second, 4), 0u);
    EXPECT_EQ(word_at(second, 8), 3u);
    EXPECT_TRUE(all_zero(second.substr(12)));

    auto reopened = open(false, true);
    EXPECT_EQ(reopened->map_pages(), (std::vector<long>{0, range}));
    EXPECT_LT(file_length(f, true), 1LL << 20);   // still sparse
}

// --- injected failures ---------------------------------------------------------------------------

TEST_F(qvPageFileTest, Failures_while_opening_leave_no_descriptor_and_no_lock) {
    open(true)->create_root("x", 1);
    const long descriptors = open_descriptor_count();
    platform::fail_next(platform::Call::read, EIO);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { open(false, false, 1 << 20); }, "I/O error while reading file"));
    platform::fail_next(platform::Call::open, EACCES);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { open(); }, "Cannot open file"));
    EXPECT_EQ(open_descriptor_count(), descriptors);
    EXPECT_EQ(open()->find_root("x"), 1);

    platform::fail_next(platform::Call::resize, ENOSPC);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { open(true); }, "I/O error on seek operation"));
    EXPECT_EQ(open_descriptor_count(), descriptors);
}

TEST_F(qvPageFileTest, A_failed_flush_is_reported_and_the_next_one_writes_the_pages) {
    auto device = open(true, false, 1 << 20);
    const long page = device->allocate();
    qvPageLock(*device, page, true, 0.0f).set_word(0, 0xABCD);
    platform::fail_next(platform::Call::write, EIO);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { device->flush(); }, "I/O error while writing file"));
    platform::fail_next(platform::Call::sync, EIO);
    EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { device->flush(); }, "I/O error while writing file"));
    device->release();
    EXPECT_EQ(word_at(page_of(f, page), 0), 0xABCDu);
    EXPECT_EQ(word_at(page_of(f, 0), 8), 7u);
}

// Each call of the layer fails once at each stage of a short session; the
// session reports a qvError or succeeds, and never aborts, leaks or locks.
TEST_F(qvPageFileTest, Every_stage_survives_a_failing_call) {
    const platform::Call calls[] = {platform::Call::read, platform::Call::write, platform::Call::resize,
                                    platform::Call::sync};
    const long descriptors = open_descriptor_count();
    for (platform::Call call : calls) {
        for (int stage = 0; stage < 5; ++stage) {
            open(true)->create_root("old", 1);
            std::unique_ptr<qvPageFile> device;
            try {
                if (stage == 0) platform::fail_next(call, EIO);
                device = open(false, false, stage % 2 == 0 ? 0 : 1 << 20);
                if (stage == 1) platform::fail_next(call, EIO);
                const long page = device->allocate();
                qvPageLock(*device, page, true, 0.0f).set_word(8, 1);
                if (stage == 2) platform::fail_next(call, EIO);
                device->create_root("new", page);
                if (stage == 3) platform::fail_next(call, EIO);
                device->flush();
                if (stage == 4) platform::fail_next(call, EIO);
                device->release();
            } catch (qvError const&) {
            }
            platform::clear_failures();
            if (device) device->release();
            device.reset();
            EXPECT_EQ(open_descriptor_count(), descriptors);
            EXPECT_EQ(open()->find_root("old"), 1) << static_cast<int>(call) << " at stage " << stage;
        }
    }
}
