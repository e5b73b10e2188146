// A few bytes of a page written without a lock: into the buffer of a cached
// page, in place in storage for one that is not cached (never read, and not
// taken into the cache), a whole page taken into the cache unread; the
// storages' ranges; read-only refusal.

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvPageFileStorage.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qv_page_test;
using qv_file_test::raises;

namespace {

// 8 pages, page n filled with byte n, the log empty.
struct FilledStorage {
    MemoryStorage storage;
    FilledStorage() { storage.fill_numbered(8); }
};

// A storage that writes a range in place and logs it as 'P' with the offset.
class RangeStorage : public MemoryStorage {
public:
    void write_part(long page, std::size_t offset, void const* bytes, std::size_t length) override {
        auto& stored = pages[page];
        if (!stored) stored = std::make_unique<Page>();
        std::memcpy(stored->data() + offset, bytes, length);
        log.push_back({'P', page, offset});
    }
};

Page filled(unsigned char fill) {
    Page page;
    page.fill(fill);
    return page;
}

}  // namespace

TEST(qvCacheOnIOWriteBytes, A_cached_page_changes_in_its_buffer_and_reaches_storage_at_flush) {
    FilledStorage s;
    qvCacheOnIO cache(s.storage, 4 * 16384, false);
    { qvPageLock warm(cache, 3, false, 1.0f); }
    const unsigned char bytes[3] = {0xA1, 0xB2, 0xC3};
    cache.write_bytes(3, 1000, bytes, 3, 1.0f);
    EXPECT_EQ(s.storage.log, (std::vector<Transfer>{{'R', 3, 0}}));
    EXPECT_EQ(cache.counters().part_writes, 0u);
    cache.flush();
    Page expected = filled(3);
    expected[1000] = 0xA1, expected[1001] = 0xB2, expected[1002] = 0xC3;
    EXPECT_EQ(s.storage.bytes(3), expected);
}

TEST(qvCacheOnIOWriteBytes, A_page_not_cached_is_written_in_place_and_stays_out_of_the_cache) {
    RangeStorage storage;
    storage.count = 8;
    qvCacheOnIO cache(storage, 4 * 16384, false);
    { qvPageLock warm(cache, 2, true, 1.0f); }   // page 2 dirty and cached
    const unsigned char bytes[2] = {7, 9};
    cache.write_bytes(5, 16382, bytes, 2, 1.0f);
    EXPECT_EQ(storage.log, (std::vector<Transfer>{{'R', 2, 0}, {'P', 5, 16382}}));
    EXPECT_EQ(cache.cached_pages(), 1u);
    EXPECT_EQ(cache.counters().part_writes, 1u);
    EXPECT_EQ(storage.bytes(5)[16382], 7);
    EXPECT_EQ(storage.bytes(5)[16383], 9);
    EXPECT_EQ(storage.bytes(5)[16381], 0);
}

TEST(qvCacheOnIOWriteBytes, A_page_written_whole_is_cached_without_being_read) {
    FilledStorage s;
    qvCacheOnIO cache(s.storage, 4 * 16384, false);
    const Page fresh = filled(0x5A);
    cache.write_bytes(6, 0, fresh.data(), fresh.size(), 0.0f);
    EXPECT_TRUE(s.storage.log.empty());
    EXPECT_EQ(cache.cached_pages(), 1u);
    cache.flush();
    EXPECT_EQ(s.storage.log, (std::vector<Transfer>{{'W', 6, checksum(fresh.data())}}));
}

TEST(qvCacheOnIOWriteBytes, A_read_only_or_sealed_cache_refuses_before_anything_changes) {
    FilledStorage s;
    const unsigned char byte = 1;
    qvCacheOnIO read_only(s.storage, 4 * 16384, true);
    EXPECT_TRUE(raises<qvErrorFrom<qvCacheOnIO>>([&] { read_only.write_bytes(2, 0, &byte, 1, 0.0f); },
                                                 "Attempt to modify a read-only file"));
    qvCacheOnIO sealed(s.storage, 4 * 16384, false);
    sealed.seal();
    EXPECT_TRUE(raises<qvErrorFrom<qvCacheOnIO>>([&] { sealed.write_bytes(2, 0, &byte, 1, 0.0f); },
                                                 "Attempt to modify a read-only file"));
    EXPECT_TRUE(s.storage.log.empty());
    EXPECT_EQ(s.storage.bytes(2), filled(2));
}

TEST(qvPageIOWritePart, A_storage_without_ranges_reads_the_page_and_writes_it_whole) {
    FilledStorage s;
    const unsigned char bytes[4] = {0xF0, 0xF1, 0xF2, 0xF3};
    static_cast<qvPageIO&>(s.storage).write_part(4, 8, bytes, 4);
    Page expected = filled(4);
    std::memcpy(expected.data() + 8, bytes, 4);
    EXPECT_EQ(s.storage.log, (std::vector<Transfer>{{'R', 4, 0}, {'W', 4, checksum(expected.data())}}));
    EXPECT_EQ(s.storage.bytes(4), expected);
}

TEST(qvPageIOWritePart, The_file_storage_changes_exactly_the_range) {
    qv_file_test::ScratchDir dir;
    const std::string f = dir / "pages";
    qvPageFileStorage storage(f.c_str(), true, false);
    storage.limit(3);
    const unsigned char bytes[5] = {1, 2, 3, 4, 5};
    storage.write_part(1, 16379, bytes, 5);   // the last bytes of page 1
    storage.write_part(2, 0, bytes, 2);
    storage.sync();
    std::string expected(3 * qvPageBytes, '\0');
    for (std::size_t i = 0; i < 5; ++i) expected[qvPageBytes + 16379 + i] = static_cast<char>(bytes[i]);
    expected[2 * qvPageBytes] = 1, expected[2 * qvPageBytes + 1] = 2;
    EXPECT_EQ(qv_file_test::read_file(f), expected);
}
