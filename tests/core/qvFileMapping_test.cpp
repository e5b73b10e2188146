// File mappings: the window choice as a pure function, views of files and
// anonymous memory past 4 GiB, sizes, exact errors with system codes,
// whole views that grow in place (or say they cannot), and the address
// space a view that grows and moves takes.

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "core/qvFileMappingWindow.hpp"
#include "qvFileTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>
#include <utility>

using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

constexpr long long GiB = 1LL << 30;
using E = qvErrorFrom<qvFileMapping>;

// Bytes of address space the process has mapped; -1 when unknown.
long long address_space() {
    std::FILE* const statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return -1;
    long long pages = 0;
    const bool read = std::fscanf(statm, "%lld", &pages) == 1;
    std::fclose(statm);
    return read ? pages * ::sysconf(_SC_PAGESIZE) : -1;
}

// The platform calls seen while observing, in order (room made first).
std::vector<platform::Call> seen;
void see(platform::Call call, long long) noexcept { seen.push_back(call); }

class qvFileMappingTest : public ::testing::Test {
protected:
    // A file of `length` bytes whose byte i is i % 251.
    std::string patterned(long long length) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 251);
        write_file(dir / "f", bytes);
        return dir / "f";
    }
    static char at(qvFileMapping& m, long long position) { return *static_cast<char*>(m.map(position, 1)); }

    ScratchDir dir;
};

}  // namespace

TEST(qvMappingWindowChoice, Centres_the_range_cut_at_the_end_and_grown_to_a_large_request) {
    const struct { long long position; unsigned size; long long start, length; } rows[] = {
        {500000, 100, 458752, 74066}, {1048000, 100, 983040, 65536},
        {300000, 200000, 262144, 237856}, {1000, 10, 0, 65536}};
    for (auto const& row : rows) {
        const qvMappingWindow w = qvChooseMappingWindow(1048576, 65536, row.position, row.size);
        EXPECT_EQ(w.start, row.start) << row.position;
        EXPECT_EQ(w.size, row.length) << row.position;
    }
}

TEST(qvMappingWindowChoice, Always_holds_the_range_inside_the_object_from_an_aligned_start) {
    std::mt19937_64 rng(20240601);
    const unsigned defaults[] = {0u, 65536u, 16777216u, UINT_MAX};
    for (int round = 0; round < 5000; ++round) {
        const long long total = 1 + static_cast<long long>(rng() % (1ULL << 40));
        const long long position = static_cast<long long>(rng() % static_cast<unsigned long long>(total));
        const unsigned size = static_cast<unsigned>(
            rng() % static_cast<unsigned long long>(std::min<long long>(total - position, UINT_MAX) + 1));
        const qvMappingWindow w = qvChooseMappingWindow(total, defaults[rng() % 4], position, size);
        ASSERT_EQ(w.start % 65536, 0) << round;
        ASSERT_LE(w.start, position) << round;
        ASSERT_LE(position + size, w.start + w.size) << round;
        ASSERT_LE(w.start + w.size, total) << round;
    }
}

TEST_F(qvFileMappingTest, Views_reach_past_4_GiB_of_a_sparse_file) {
    const std::string name = dir / "sparse";
    qvBlockFile(name.c_str(), false, true).size(5 * GiB);
    {
        qvFileMapping mapping(name.c_str(), false, false, 65536);
        platform::fail_next(platform::Call::map_view, ENOMEM);   // windows, as on a small address space
        std::memcpy(mapping.map(4 * GiB + 500000, 100), "far away", 8);
    }
    qvFileMapping mapping(name.c_str(), false, true, 16777216);
    char* const base = static_cast<char*>(mapping.map(5 * GiB));
    EXPECT_EQ(std::string(base + 4 * GiB + 500000, 8), "far away");
}

TEST_F(qvFileMappingTest, Writes_through_a_view_reach_the_file_on_sync_and_unmap_which_sets_the_length) {
    const std::string name = dir / "g";
    qvFileMapping mapping(name.c_str(), true, false, 65536);
    char* const base = static_cast<char*>(mapping.map(200));
    EXPECT_GE(file_length(name, true), 200);   // reserved: a full disk cannot hit a later write
    std::memcpy(base + 140, "0123456789", 10);
    mapping.sync();
    EXPECT_EQ(read_file(name).substr(140, 10), "0123456789");
    mapping.unmap(150);
    EXPECT_EQ(file_length(name), 150);
}

TEST_F(qvFileMappingTest, A_read_only_mapping_or_a_full_disk_never_changes_the_length) {
    const std::string name = patterned(100);
    {
        qvFileMapping mapping(name.c_str(), true, true, 65536);   // create is ignored
        mapping.map(50);
        mapping.unmap(10);
        EXPECT_EQ(mapping.size(), 100);
    }
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    void* const base = mapping.map(100);
    const long long reserved = mapping.reserved_size();
    platform::fail_next(platform::Call::reserve, ENOSPC);
    seen.clear();
    platform::observe_calls(see);   // the blocks first: no new range, move or view is paid for
    EXPECT_TRUE(raises<E>([&] { mapping.map(1 << 20); }, "Cannot create file mapping"));
    platform::observe_calls(nullptr);
    EXPECT_EQ(seen, std::vector<platform::Call>{platform::Call::reserve});
    EXPECT_EQ(mapping.view_base(), base);
    EXPECT_EQ(mapping.reserved_size(), reserved);
    EXPECT_EQ(at(mapping, 42), 42);
    EXPECT_EQ(file_length(name), 100);
}

// Regression: a "Pos out of range" error dropped anonymous memory.
TEST_F(qvFileMappingTest, Anonymous_memory_is_zero_writable_and_survives_a_refused_range) {
    qvFileMapping mapping;
    ASSERT_TRUE(mapping.open(nullptr, false, false));
    char* const base = static_cast<char*>(mapping.map(1000));
    EXPECT_EQ(std::string(base, 1000), std::string(1000, '\0'));
    base[100] = 'k';
    EXPECT_TRUE(raises<E>([&] { mapping.map(990, 20); }, "Pos out of range"));
    EXPECT_EQ(at(mapping, 100), 'k');
    mapping.unmap(1000);
    EXPECT_EQ(mapping.size(), 0);
}

TEST_F(qvFileMappingTest, Bad_calls_raise_their_messages) {
    qvFileMapping closed;
    EXPECT_TRUE(raises<E>([&] { closed.size(); }, "File is not opened yet"));
    EXPECT_TRUE(raises<E>([&] { qvFileMapping((dir / "missing/f").c_str(), false, false, 1); }, "Cannot open file"));
    const std::string empty = dir / "empty";
    write_file(empty, "");
    qvFileMapping writer(empty.c_str(), false, false, 65536);
    EXPECT_TRUE(raises<E>([&] { writer.open(empty.c_str(), false, true); }, "File is already opened"));
    writer.map(100);
    EXPECT_THROW(writer.map(LLONG_MAX - 1, 16), E);
    EXPECT_TRUE(raises<E>([&] { writer.unmap(-1); }, "Cannot resize file"));
}

// The code messages are kept for the life of the process: an error keeps
// only a pointer to its text.
TEST_F(qvFileMappingTest, Failed_views_carry_the_system_code_and_the_next_map_works) {
    qvFileMapping mapping(patterned(100).c_str(), false, false, 65536);
    char const* first = nullptr;
    for (int i = 0; i < 2; ++i) {
        platform::fail_next(platform::Call::map_view, ENOMEM, 2);   // whole object, then the view
        try {
            mapping.map(0, 10);
            ADD_FAILURE() << "no raise";
        } catch (E const& error) {
            EXPECT_STREQ(error, "MapViewOfFile error 0xC");
            EXPECT_EQ(static_cast<char const*>(error), first ? first : (first = error));
        }
    }
    EXPECT_EQ(at(mapping, 5), 5);
    platform::fail_next(platform::Call::unmap_view, EINVAL);
    EXPECT_TRUE(raises<E>([&] { mapping.map(50); }, "UnmapViewOfFile error 0x16"));
}

TEST_F(qvFileMappingTest, The_view_size_tells_a_whole_object_view_from_a_window) {
    const std::string name = patterned(1 << 20);
    qvFileMapping mapping(name.c_str(), false, true, 65536);
    EXPECT_TRUE(mapping.read_only());
    EXPECT_EQ(mapping.view_size(), 0);
    mapping.map(1 << 20);
    EXPECT_EQ(mapping.view_size(), 1 << 20);
    platform::fail_next(platform::Call::map_view, ENOMEM);   // the whole object is refused
    mapping.map(1 << 20);
    EXPECT_EQ(mapping.view_size(), 65536);
    mapping.unmap(1 << 20);
    EXPECT_EQ(mapping.view_size(), 0);
}

// Holes that a sparse writer left would meet a full disk only at a write
// through a view, which ends the process.
TEST_F(qvFileMappingTest, Reserving_fills_the_holes_of_a_writable_file_and_never_changes_its_length) {
    struct Reserving : qvFileMapping {
        Reserving(char const* name, bool read_only) : qvFileMapping(name, false, read_only, 65536) {}
        using qvFileMapping::reserve;
    };
    const std::string name = dir / "sparse";
    qvBlockFile(name.c_str(), false, true).size(1 << 20);
    ASSERT_LT(file_length(name, true), 1 << 20);
    Reserving(name.c_str(), true).reserve();
    EXPECT_LT(file_length(name, true), 1 << 20);
    Reserving writer(name.c_str(), false);
    platform::fail_next(platform::Call::reserve, ENOSPC);
    EXPECT_TRUE(raises<E>([&] { writer.reserve(); }, "Cannot create file mapping"));
    EXPECT_EQ(file_length(name), 1 << 20);
    writer.reserve();
    EXPECT_GE(file_length(name, true), 1 << 20);
    EXPECT_EQ(file_length(name), 1 << 20);
}

TEST_F(qvFileMappingTest, Grow_extends_a_writable_whole_view_in_place_keeping_its_bytes) {
    const std::string name = patterned(100000);
    qvFileMapping mapping(name.c_str(), false, false, 65536);
    char* const base = static_cast<char*>(mapping.map(100000));
    base[99999] = 'e';
    seen.clear();
    seen.reserve(8);
    platform::observe_calls(see);
    EXPECT_EQ(mapping.reserved_size(), 200704);   // twice the view, in whole pages
    ASSERT_TRUE(mapping.grow(150001));   // past a page of the system
    platform::observe_calls(nullptr);
    // The blocks first: a view past the file's end would end the process.
    EXPECT_EQ(seen, (std::vector<platform::Call>{platform::Call::reserve, platform::Call::map_view}));
    EXPECT_EQ(mapping.view_size(), 150001);
    EXPECT_EQ(file_length(name), 150001);
    EXPECT_GE(file_length(name, true), 150001);   // reserved, as map(size) reserves
    EXPECT_EQ(mapping.map(150000, 1), base + 150000);
    EXPECT_EQ(base[99999], 'e');
    base[150000] = 'z';
    EXPECT_TRUE(mapping.grow(150001));   // the same size: nothing to do
    EXPECT_FALSE(mapping.grow(120000));   // shrinking is map(size)'s
    EXPECT_FALSE(mapping.grow(200705));   // past the range set aside
    EXPECT_EQ(mapping.view_size(), 150001);
    // The owner's road once the range is full: the view moves to a range
    // twice the new size, its pages kept (no view of the old part is made).
    // The blocks come first, so a full disk refuses before anything moves.
    seen.clear();
    platform::observe_calls(see);
    char* const moved = static_cast<char*>(mapping.map(300000));
    platform::observe_calls(nullptr);
    EXPECT_EQ(seen, (std::vector<platform::Call>{platform::Call::reserve, platform::Call::address_space,
                                                 platform::Call::map_view}));
    EXPECT_NE(moved, base);
    EXPECT_EQ(moved[150000], 'z');
    EXPECT_EQ(mapping.reserved_size(), 602112);
    mapping.unmap(150001);
    EXPECT_EQ(mapping.reserved_size(), 0);
    EXPECT_EQ(read_file(name).substr(149999), std::string("\0z", 2));
    EXPECT_FALSE(mapping.grow(400000));   // no view
}

// Regression check for the reservation's halving: a system that refuses
// every range and every view is asked a few times, and the map raises.
TEST_F(qvFileMappingTest, A_system_refusing_every_range_and_view_is_asked_a_few_times_and_the_map_raises) {
    qvFileMapping mapping(patterned(1 << 20).c_str(), false, false, 65536);
    platform::fail_next(platform::Call::address_space, ENOMEM, 1000);
    platform::fail_next(platform::Call::map_view, ENOMEM, 1000);
    seen.clear();
    platform::observe_calls(see);
    EXPECT_TRUE(raises<E>([&] { mapping.map(1 << 20); }, "MapViewOfFile error 0xC"));
    platform::observe_calls(nullptr);
    platform::clear_failures();
    // Twice the view, then the view; then the whole object and a window.
    using C = platform::Call;
    EXPECT_EQ(seen, (std::vector<C>{C::address_space, C::address_space, C::map_view, C::map_view}));
    EXPECT_EQ(at(mapping, 12345), static_cast<char>(12345 % 251));
}

TEST_F(qvFileMappingTest, Only_a_writable_file_s_whole_view_with_a_range_set_aside_grows) {
    const std::string name = patterned(1 << 20);
    {
        qvFileMapping reader(name.c_str(), false, true, 65536);   // shares the file with readers only
        reader.map(1 << 20);
        EXPECT_FALSE(reader.grow(2 << 20));
    }
    qvFileMapping anonymous(nullptr, false, false, 65536);
    anonymous.map(1 << 20);
    EXPECT_FALSE(anonymous.grow(2 << 20));
    qvFileMapping writer(name.c_str(), false, false, 65536);
    platform::fail_next(platform::Call::map_view, ENOMEM);   // a window, no whole view
    writer.map(1 << 20);
    EXPECT_EQ(writer.view_size(), 65536);
    EXPECT_FALSE(writer.grow(2 << 20));
    EXPECT_EQ(file_length(name), 1 << 20);
    EXPECT_EQ(at(writer, 77), 77);
}

// Regression: a one-page view set aside a terabyte, so a few hundred
// writable views left the process no address space. The range set aside
// counts against a finite address-space limit too: it takes a share of
// what the limit leaves, and the view grows within it.
TEST_F(qvFileMappingTest, The_range_set_aside_is_twice_the_view_and_a_finite_address_space_limit_bounds_it) {
    const std::string name = patterned(1 << 20);
    EXPECT_EXIT(([&] {
                    const long long used = address_space();
                    if (used < 0) ::_exit(3);
                    const rlimit limit{static_cast<rlim_t>(used + (40 << 20)), RLIM_INFINITY};
                    if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(3);
                    qvFileMapping mapping(name.c_str(), false, false, 65536);
                    mapping.map(4096);
                    if (mapping.reserved_size() != 8192) ::_exit(2);
                    mapping.map(8 << 20);
                    // Not twice 8 MiB: a quarter of the 40 MiB left, less what the process took since.
                    const bool capped = mapping.reserved_size() > (8 << 20) && mapping.reserved_size() < (16 << 20);
                    const bool grown = mapping.grow(9 << 20), refused = !mapping.grow(12 << 20);
                    ::_exit(capped && grown && refused && mapping.view_size() == (9 << 20) ? 0 : 1);
                }()),
                ::testing::ExitedWithCode(0), "");
}

// The owner's road from 1 to 512 MiB: grown in place while the range lasts,
// moved into a range twice the new size when it is full. Each move gives
// back the old range's rest, so the mapping never takes more than about
// twice the file, and nothing once closed. Growth reserves the file's disk
// blocks: 512 MiB at the end, allocated but never written.
TEST_F(qvFileMappingTest, A_view_that_moves_as_it_grows_to_512_MiB_takes_at_most_twice_the_file_and_none_after_close) {
    constexpr long long MiB = 1 << 20;
    constexpr long long slack = 4 * MiB;   // what else the process may map meanwhile
    struct statvfs disk {};
    if (::statvfs(dir.path().c_str(), &disk) == 0 &&
        static_cast<long long>(disk.f_bavail) * static_cast<long long>(disk.f_frsize) < 640 * MiB)
        GTEST_SKIP() << "needs 512 MiB of free disk in the scratch folder";
    const long long before = address_space();
    ASSERT_GT(before, 0);
    qvFileMapping mapping((dir / "growing").c_str(), true, false, 65536);
    void* base = mapping.map(MiB);
    int moves = 0;
    for (long long size = MiB; size < 512 * MiB;) {
        size = std::min(size * 3 / 2, 512 * MiB);
        if (!mapping.grow(size)) {
            void* const moved = mapping.map(size);
            moves += moved != base;
            base = moved;
        }
        ASSERT_EQ(mapping.view_size(), size);
        static_cast<char*>(base)[size - 1] = 'e';   // the whole view is there
        const long long taken = address_space() - before;
        EXPECT_GE(taken, size) << size;
        EXPECT_LE(taken, 2 * size + slack) << size;
    }
    EXPECT_GE(moves, 5);
    mapping.close();
    EXPECT_LE(address_space() - before, slack);
}

TEST_F(qvFileMappingTest, Moves_close_the_source_and_nothing_leaks) {
    const long before = open_descriptor_count();
    {
        qvFileMapping first(patterned(100).c_str(), false, false, 65536), anonymous(nullptr, false, false, 65536);
        char* const base = static_cast<char*>(first.map(100));
        anonymous.map(10);
        anonymous = std::move(first);
        EXPECT_TRUE(raises<E>([&] { first.size(); }, "File is not opened yet"));
        EXPECT_EQ(anonymous.map(3, 1), base + 3);
        EXPECT_FALSE(first.grow(200));
        EXPECT_TRUE(anonymous.grow(200));   // the range went with the view
        EXPECT_EQ(anonymous.map(150, 1), base + 150);
    }
    EXPECT_EQ(open_descriptor_count(), before);
}
