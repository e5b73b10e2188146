#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "core/qvFileMappingWindow.hpp"
#include "platform/qvPlatformFault.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <utility>

using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

constexpr long long GiB = 1LL << 30;
using E = qvErrorFrom<qvFileMapping>;

class MappingTest : public ::testing::Test {
protected:
    void TearDown() override { platform::clear_failures(); }

    // A file of `length` bytes whose byte i is i % 251.
    std::string patterned_file(char const* name, long long length) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        for (long long i = 0; i < length; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i % 251);
        write_file(dir / name, bytes);
        return dir / name;
    }

    ScratchDir dir;
};

using qvFileMappingView = MappingTest;
using qvFileMappingSize = MappingTest;
using qvFileMappingErrors = MappingTest;

char* at(void* base, long long offset) { return static_cast<char*>(base) + offset; }

}  // namespace

// --- the window choice -----------------------------------------------------------

TEST(qvMappingWindowChoice, Centres_the_range_and_aligns_the_start_down) {
    const qvMappingWindow w = qvChooseMappingWindow(1048576, 65536, 500000, 100);
    EXPECT_EQ(w.start, 458752);
    EXPECT_EQ(w.size, 74066);
    EXPECT_EQ(500000 - w.start, 41248);
}

TEST(qvMappingWindowChoice, Is_cut_at_the_end_and_grows_to_a_large_request) {
    const qvMappingWindow end = qvChooseMappingWindow(1048576, 65536, 1048000, 100);
    EXPECT_EQ(end.start, 983040);
    EXPECT_EQ(end.size, 65536);
    const qvMappingWindow large = qvChooseMappingWindow(1048576, 65536, 300000, 200000);
    EXPECT_EQ(large.start, 262144);
    EXPECT_EQ(large.size, 237856);
    const qvMappingWindow low = qvChooseMappingWindow(1048576, 65536, 1000, 10);
    EXPECT_EQ(low.start, 0);
    EXPECT_EQ(low.size, 65536);
}

TEST(qvMappingWindowChoice, Always_holds_the_range_inside_the_object_from_an_aligned_start) {
    std::mt19937_64 rng(20240601);
    for (int round = 0; round < 100000; ++round) {
        const long long total = 1 + static_cast<long long>(rng() % (1ULL << 40));
        const unsigned defaults[] = {0u, 65536u, 16777216u, UINT_MAX};
        const unsigned default_size = defaults[rng() % 4];
        const long long position = static_cast<long long>(rng() % static_cast<unsigned long long>(total));
        const long long room = total - position;
        const unsigned size = static_cast<unsigned>(rng() % static_cast<unsigned long long>(
                                  std::min<long long>(room, UINT_MAX) + 1));
        const qvMappingWindow w = qvChooseMappingWindow(total, default_size, position, size);
        ASSERT_EQ(w.start % 65536, 0) << "round " << round;
        ASSERT_LE(w.start, position) << "round " << round;
        ASSERT_LE(position + size, w.start + w.size) << "round " << round;
        ASSERT_LE(w.start + w.size, total) << "round " << round;
    }
}

// --- views ---------------------------------------------------------------------

TEST_F(qvFileMappingView, Serves_ranges_from_the_current_view_and_refuses_past_the_end) {
    const std::string name = patterned_file("f", 100);
    qvFileMapping mapping(name.c_str(), false, false, 16777216);
    void* const base = mapping.map(0, 10);
    EXPECT_EQ(mapping.map(90, 10), at(base, 90));
    EXPECT_EQ(*at(base, 90), 90);
    EXPECT_TRUE(raises<E>([&] { mapping.map(95, 10); }, "Pos out of range"));
    char* const again = static_cast<char*>(mapping.map(0, 10));
    EXPECT_EQ(again[7], 7);
}

TEST_F(qvFileMappingView, Maps_a_window_around_the_range_when_the_whole_file_is_refused) {
    const std::string name = patterned_file("f", 1048576);
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    platform::fail_next(platform::Call::map_view, ENOMEM);   // the whole-object attempt only
    void* const first = mapping.map(0, 10);
    EXPECT_EQ(*at(first, 9), 9);
    char* const p = static_cast<char*>(mapping.map(500000, 100));
    EXPECT_EQ(p[0], static_cast<char>(500000 % 251));
    EXPECT_EQ(p[99], static_cast<char>(500099 % 251));
    EXPECT_EQ(mapping.map(458752, 10), p - 41248);
    EXPECT_EQ(mapping.map(458752 + 74066 - 10, 10), p - 41248 + 74056);
}

TEST_F(qvFileMappingView, Writes_past_4_GiB_of_a_sparse_file_reach_the_file) {
    const std::string name = dir / "sparse";
    {
        qvBlockFile file(name.c_str(), false, true);
        file.size(5 * GiB);
    }
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    platform::fail_next(platform::Call::map_view, ENOMEM);   // force windows, as on a small address space
    mapping.map(0, 10);
    char* const p = static_cast<char*>(mapping.map(4 * GiB + 500000, 100));
    std::memcpy(p, "far away", 8);
    EXPECT_EQ(mapping.map(4 * GiB + 458752, 10), p - 41248);
    mapping.unmap(5 * GiB);
    mapping.close();
    qvBlockFile file(name.c_str(), true, false);
    char buffer[8];
    ASSERT_EQ(file.read_at(4 * GiB + 500000, buffer, 8), 8);
    EXPECT_EQ(std::string(buffer, 8), "far away");
    EXPECT_EQ(file.size(), 5 * GiB);
}

TEST_F(qvFileMappingView, The_whole_object_view_covers_a_file_past_4_GiB) {
    const std::string name = dir / "sparse";
    { qvBlockFile(name.c_str(), false, true).size(5 * GiB); }
    qvFileMapping mapping(name.c_str(), false, false, 16777216);
    char* const base = static_cast<char*>(mapping.map(5 * GiB));
    EXPECT_EQ(mapping.map(5 * GiB - 1, 1), base + 5 * GiB - 1);
    EXPECT_EQ(mapping.map(0, 1), base);
}

TEST_F(qvFileMappingView, Data_written_through_a_view_is_in_the_file_after_unmap) {
    const std::string name = dir / "f";
    qvFileMapping mapping(name.c_str(), true, false, 65536);
    char* const base = static_cast<char*>(mapping.map(200));
    EXPECT_EQ(file_length(name), 200);
    EXPECT_GE(allocated_bytes(name), 200);   // reserved: a full disk cannot hit a later write
    std::memcpy(base + 140, "0123456789", 10);
    mapping.unmap(150);
    EXPECT_EQ(file_length(name), 150);
    EXPECT_EQ(mapping.size(), 150);
    EXPECT_EQ(read_file(name).substr(140), "0123456789");
}

TEST_F(qvFileMappingView, Sync_writes_the_view_to_the_file) {
    const std::string name = dir / "f";
    qvFileMapping mapping(name.c_str(), true, false, 65536);
    std::memcpy(mapping.map(4), "sync", 4);
    mapping.sync();
    EXPECT_EQ(read_file(name), "sync");
    EXPECT_TRUE(raises<E>([] { qvFileMapping().sync(); }, "File is not opened yet"));
}

// --- sizes ---------------------------------------------------------------------

TEST_F(qvFileMappingSize, A_read_only_mapping_never_changes_the_length) {
    const std::string name = patterned_file("f", 100);
    qvFileMapping mapping(name.c_str(), true, true, 65536);   // create is ignored
    EXPECT_EQ(mapping.size(), 100);
    char* const base = static_cast<char*>(mapping.map(50));
    EXPECT_EQ(base[99], 99);
    EXPECT_EQ(mapping.size(), 100);
    mapping.unmap(10);
    EXPECT_EQ(mapping.size(), 100);
    EXPECT_EQ(file_length(name), 100);
}

TEST_F(qvFileMappingSize, Anonymous_memory_is_zero_writable_and_gone_after_unmap) {
    qvFileMapping mapping;
    ASSERT_TRUE(mapping.open(nullptr, false, false));
    EXPECT_EQ(mapping.size(), 0);
    char* const base = static_cast<char*>(mapping.map(1000));
    EXPECT_EQ(mapping.size(), 1000);
    EXPECT_EQ(std::string(base, 1000), std::string(1000, '\0'));
    base[999] = 'x';
    mapping.unmap(1000);
    EXPECT_EQ(mapping.size(), 0);
    EXPECT_TRUE(raises<E>([&] { mapping.map(0); }, "Cannot create file mapping"));
}

TEST_F(qvFileMappingSize, Anonymous_memory_survives_an_out_of_range_request) {
    qvFileMapping mapping(nullptr, false, false, 65536);
    char* const base = static_cast<char*>(mapping.map(4096));
    base[100] = 'k';
    EXPECT_TRUE(raises<E>([&] { mapping.map(4000, 200); }, "Pos out of range"));
    EXPECT_EQ(*static_cast<char*>(mapping.map(100, 1)), 'k');
}

TEST_F(qvFileMappingSize, A_full_disk_while_growing_is_an_error_and_maps_nothing) {
    const std::string name = patterned_file("f", 100);
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    platform::fail_next(platform::Call::reserve, ENOSPC);
    EXPECT_TRUE(raises<E>([&] { mapping.map(1 << 20); }, "Cannot create file mapping"));
    EXPECT_EQ(mapping.size(), 100);
    EXPECT_EQ(file_length(name), 100);
    EXPECT_EQ(*static_cast<char*>(mapping.map(42, 1)), 42);
}

// --- bad input and failures -----------------------------------------------------

TEST_F(qvFileMappingErrors, Bad_calls_raise_their_messages) {
    qvFileMapping closed;
    EXPECT_TRUE(raises<E>([&] { closed.size(); }, "File is not opened yet"));
    EXPECT_TRUE(raises<E>([&] { qvFileMapping m((dir / "missing/f").c_str(), false, false, 1); },
                          "Cannot open file"));

    const std::string empty = dir / "empty";
    write_file(empty, "");
    qvFileMapping reader(empty.c_str(), false, true, 65536);
    EXPECT_TRUE(raises<E>([&] { reader.open(empty.c_str(), false, true); }, "File is already opened"));
    EXPECT_TRUE(raises<E>([&] { reader.map(100); }, "Cannot create file mapping"));
    reader.close();

    qvFileMapping writer(empty.c_str(), false, false, 65536);
    EXPECT_TRUE(raises<E>([&] { writer.map(0); }, "Cannot create file mapping"));
    EXPECT_TRUE(raises<E>([&] { writer.map(-5); }, "Cannot create file mapping"));
    writer.map(100);
    EXPECT_TRUE(raises<E>([&] { writer.map(-1, 1); }, "Pos out of range"));
    EXPECT_TRUE(raises<E>([&] { writer.map(LLONG_MAX - 1, 16); }, "Pos out of range"));
    EXPECT_TRUE(raises<E>([&] { writer.unmap(-1); }, "Cannot resize file"));
}

TEST_F(qvFileMappingErrors, Failed_views_carry_the_system_code_and_the_next_map_works) {
    const std::string name = patterned_file("f", 100);
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    platform::fail_next(platform::Call::map_view, ENOMEM, 2);   // whole object, then the first view
    EXPECT_TRUE(raises<E>([&] { mapping.map(0, 10); }, "MapViewOfFile error 0xC"));
    EXPECT_EQ(*static_cast<char*>(mapping.map(5, 1)), 5);

    platform::fail_next(platform::Call::unmap_view, EINVAL);
    EXPECT_TRUE(raises<E>([&] { mapping.map(100); }, "UnmapViewOfFile error 0x16"));
    EXPECT_EQ(*static_cast<char*>(mapping.map(6, 1)), 6);
}

TEST_F(qvFileMappingErrors, Code_messages_outlive_their_errors) {
    qvFileMapping mapping(nullptr, false, false, 65536);
    char const* first = nullptr;
    for (int i = 0; i < 2; ++i) {
        platform::fail_next(platform::Call::map_view, ENOMEM, 2);
        try {
            mapping.map(64);
        } catch (E const& error) {
            if (first == nullptr) first = error;
            EXPECT_EQ(static_cast<char const*>(error), first);
        }
    }
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first, "MapViewOfFile error 0xC");
}

TEST_F(qvFileMappingErrors, Moves_close_the_source_and_nothing_leaks) {
    const int before = open_descriptor_count();
    {
        const std::string name = patterned_file("f", 100);
        qvFileMapping first(name.c_str(), false, false, 65536);
        char* const base = static_cast<char*>(first.map(100));
        qvFileMapping second(std::move(first));
        EXPECT_TRUE(raises<E>([&] { first.size(); }, "File is not opened yet"));
        EXPECT_EQ(second.map(3, 1), base + 3);
        qvFileMapping anonymous(nullptr, false, false, 65536);
        anonymous.map(10);
        anonymous = std::move(second);
        EXPECT_EQ(anonymous.size(), 100);
        EXPECT_FALSE(qvFileMapping().open(name.c_str(), false, true));
    }
    EXPECT_EQ(open_descriptor_count(), before);
}
