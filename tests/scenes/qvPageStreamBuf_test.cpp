// Page streams on every device (I/O without and with a cache, mapped): the
// exact pages a stream leaves, rewrites that reuse and free pages, two
// writers on one stream, objects through the binary streams, damaged chains
// met while reading, rewriting and freeing, read-only refusals, stores the
// device refuses (on a memory device that refuses chosen locks), open
// streams that lock no page between calls on a mapped device whose view
// must move to grow, and the red zone a page held elsewhere causes.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/core/qvVersion.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include "platform/qvPlatformFault.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace qv_page_test;
using namespace qv_file_test;

namespace {

using Corrupt = qvErrorFrom<qvPageStreamBuf>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";
constexpr long data_bytes = 16376;

std::string pattern(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    return bytes;
}

// Writes raw bytes into a stream through the buffer alone.
void write_stream(qvPageDevice& device, char const* name, std::string const& bytes) {
    qvPageStreamBuf buffer(device, name, true);
    ASSERT_EQ(buffer.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size())),
              static_cast<std::streamsize>(bytes.size()));
    buffer.close();
}

std::string read_stream(qvPageDevice& device, char const* name) {
    qvPageStreamBuf buffer(device, name, false);
    std::string bytes;
    char chunk[5000];   // not a divisor of a page's data
    for (std::streamsize n; (n = buffer.sgetn(chunk, sizeof chunk)) > 0;) bytes.append(chunk, static_cast<std::size_t>(n));
    buffer.close();
    return bytes;
}

// The chain of a stream in a closed file: (page, next, used) per page.
struct Link {
    long page;
    std::uint32_t next;
    std::uint32_t used;
    bool operator==(Link const&) const = default;
};
std::ostream& operator<<(std::ostream& os, Link const& l) {
    return os << "{" << l.page << ", " << l.next << ", " << l.used << "}";
}

std::vector<Link> chain_of(std::string const& file, long root) {
    std::vector<Link> chain;
    for (long page = root; page != 0 && chain.size() < 100;) {
        const std::string bytes = page_of(file, page);
        chain.push_back({page, word_at(bytes, 0), word_at(bytes, 4)});
        page = static_cast<long>(word_at(bytes, 0));
    }
    return chain;
}

// The pages a reader enters, in no order.
std::vector<long> pages_of(qvPageDevice& device, char const* name) {
    qvPageStreamBuf reader(device, name, false);
    char chunk[5000];
    while (reader.sgetn(chunk, sizeof chunk) > 0) {
    }
    std::vector<long> pages(reader.pages_reached().begin(), reader.pages_reached().end());
    reader.close();
    std::sort(pages.begin(), pages.end());
    return pages;
}

// The pages the allocator holds, the map and the directory among them.
long used_pages(qvPageDevice& device) {
    auto& map = dynamic_cast<qvMapAllocator&>(device);
    long used = 0;
    for (long page = 0; page < device.page_count(); ++page) used += map.marked(page) ? 1 : 0;
    return used;
}

// Reads what the reader has to give now, in 5,000-byte calls.
std::string read_on(qvPageStreamBuf& reader) {
    std::string bytes;
    char chunk[5000];
    for (std::streamsize n; (n = reader.sgetn(chunk, sizeof chunk)) > 0;) bytes.append(chunk, static_cast<std::size_t>(n));
    return bytes;
}

// A memory device (two cached pages) that refuses the locks of one page, as
// a cache refuses a lock whose victim cannot be written to a full disk.
class RefusingDevice : public qv_quadtree_test::MemoryDevice {
public:
    RefusingDevice() : MemoryDevice(2) {}
    void* lock(long page, bool write) override {
        if (page == refused && refusals > 0 && (write || !writes_only)) {
            --refusals;
            ++refused_locks;
            qvRaise(qvErrorFrom<qvPageFileStorage>("I/O error while writing file"));
        }
        return MemoryDevice::lock(page, write);
    }
    long refused = 0;
    int refusals = 0;
    int refused_locks = 0;
    bool writes_only = false;
};

constexpr char const* refused_text = "I/O error while writing file";
using Refused = qvErrorFrom<qvPageFileStorage>;

// Each test runs on three devices: cache 0 (every unlock writes), a
// four-page I/O cache, and the mapped device.
class qvPageStreamTest : public ::testing::TestWithParam<int> {
protected:
    ScratchDir dir;
    const std::string f = dir / "streams.pages";
    qvPagedSceneFile file;

    qvPageDevice& create() {
        file.create(f.c_str(), GetParam());
        return file.device();
    }
    qvPageDevice& reopen(bool read_only = false) {
        file.close();
        EXPECT_TRUE(file.open(f.c_str(), GetParam(), read_only));
        return file.device();
    }
    // Patches a word of a page of the closed file, then reopens it.
    qvPageDevice& damage(long page, std::size_t offset, std::uint32_t value, bool read_only = false) {
        file.close();
        patch(f, qvPagePosition(page) + static_cast<long long>(offset), le32(value));
        EXPECT_TRUE(file.open(f.c_str(), GetParam(), read_only));
        return file.device();
    }
    // Closing proves that no page was left locked: both devices refuse to
    // close while one is.
    void close_cleanly() { EXPECT_NO_THROW(file.close()); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Devices, qvPageStreamTest, ::testing::Values(0, 4 * 16384, -1),
                         [](auto const& info) {
                             return info.param < 0 ? std::string("mapped")
                                                   : "io_cache_" + std::to_string(info.param / 16384);
                         });

// --- the pages a stream leaves -------------------------------------------------------------

TEST_P(qvPageStreamTest, An_empty_stream_is_one_page_with_next_and_used_0_and_reads_as_the_end) {
    qvPageDevice& device = create();
    qvPageStreamBuf(device, "empty", true).close();
    EXPECT_EQ(device.find_root("empty"), 2);
    for (char const* name : {"empty", "missing"}) {
        qvPageStreamBuf reader(device, name, false);
        EXPECT_EQ(reader.sgetc(), std::char_traits<char>::eof()) << name;
    }
    file.close();
    EXPECT_EQ(chain_of(f, 2), (std::vector<Link>{{2, 0, 0}}));
    EXPECT_EQ(file_length(f), 3 * 16384);
}

TEST_P(qvPageStreamTest, An_output_stream_closed_with_nothing_written_holds_the_header) {
    qvPageDevice& device = create();
    qvPageOStream(device, "$Layout").close();
    file.close();
    const std::string root = page_of(f, 2);
    EXPECT_EQ(hex(root.substr(0, 8)), "00 00 00 00 1A 00 00 00");
    EXPECT_EQ(root.substr(8, 26), std::string("\xA9ORVANE BINARY STREAM\0\x01\x00\x04\x03", 26));
    EXPECT_EQ(root.find_first_not_of('\0', 34), std::string::npos);
}

TEST_P(qvPageStreamTest, A_page_fills_with_16376_bytes_and_one_more_byte_adds_a_page) {
    qvPageDevice& device = create();
    write_stream(device, "full", pattern(data_bytes, 1));
    write_stream(device, "more", pattern(data_bytes + 1, 2));
    EXPECT_EQ(read_stream(device, "more"), pattern(data_bytes + 1, 2));
    file.close();
    EXPECT_EQ(chain_of(f, 2), (std::vector<Link>{{2, 0, 16376}}));
    EXPECT_EQ(chain_of(f, 3), (std::vector<Link>{{3, 4, 16376}, {4, 0, 1}}));
    EXPECT_EQ(page_of(f, 4).substr(8, 1), pattern(data_bytes + 1, 2).substr(data_bytes));
}

TEST_P(qvPageStreamTest, Megabytes_round_trip_through_whole_data_areas) {
    qvPageDevice& device = create();
    const std::string bytes = pattern(3 << 20, 3);
    write_stream(device, "big", bytes);
    EXPECT_TRUE(read_stream(device, "big") == bytes);
    EXPECT_TRUE(read_stream(reopen(true), "big") == bytes);
}

// --- rewriting ------------------------------------------------------------------------------

TEST_P(qvPageStreamTest, Rewriting_with_less_frees_the_pages_it_did_not_reach) {
    qvPageDevice& device = create();
    write_stream(device, "s", pattern(3 * data_bytes, 4));   // pages 2, 3, 4
    write_stream(device, "after", "x");                       // page 5
    write_stream(device, "s", pattern(100, 5));
    EXPECT_EQ(device.allocate(), 3);
    EXPECT_EQ(device.allocate(), 4);
    EXPECT_EQ(device.allocate(), 6);
    EXPECT_EQ(read_stream(device, "s"), pattern(100, 5));
    file.close();
    EXPECT_EQ(chain_of(f, 2), (std::vector<Link>{{2, 0, 100}}));
}

TEST_P(qvPageStreamTest, Rewriting_with_more_reuses_the_root_and_allocates_the_rest) {
    qvPageDevice& device = create();
    write_stream(device, "s", "short");   // page 2
    write_stream(device, "t", "other");   // page 3
    write_stream(device, "s", pattern(2 * data_bytes + 10, 6));
    EXPECT_EQ(device.find_root("s"), 2);
    EXPECT_EQ(read_stream(device, "s"), pattern(2 * data_bytes + 10, 6));
    EXPECT_EQ(read_stream(device, "t"), "other");
    file.close();
    EXPECT_EQ(chain_of(f, 2), (std::vector<Link>{{2, 4, 16376}, {4, 5, 16376}, {5, 0, 10}}));
}

TEST_P(qvPageStreamTest, A_stream_left_to_its_destructor_is_ended_as_close_ends_it) {
    qvPageDevice& device = create();
    write_stream(device, "s", pattern(2 * data_bytes, 7));
    {
        qvPageStreamBuf buffer(device, "s", true);
        buffer.sputn("abc", 3);
    }
    EXPECT_EQ(read_stream(device, "s"), "abc");
    EXPECT_EQ(device.allocate(), 3);
}

// Each writer reads a page's link as it leaves the page, so the first one
// extends the chain the second ended instead of walking into the pages it
// freed: both used to follow the link read on entering, and the first one
// raised, left its last page marked free and a later stream shared pages
// with this one.
TEST_P(qvPageStreamTest, Two_writers_in_turns_leave_one_chain_when_the_second_ends_it_first) {
    qvPageDevice& device = create();
    write_stream(device, "S", pattern(60000, 20));   // pages 2 .. 5
    const std::string first_bytes = pattern(60000, 21), second_bytes = pattern(30000, 22);
    {
        qvPageStreamBuf first(device, "S", true), second(device, "S", true);
        for (int turn = 0; turn < 3; ++turn) {
            ASSERT_EQ(first.sputn(first_bytes.data() + turn * 10000, 10000), 10000);
            ASSERT_EQ(second.sputn(second_bytes.data() + turn * 10000, 10000), 10000);
        }
        EXPECT_NO_THROW(second.close());
        for (int turn = 3; turn < 6; ++turn)
            EXPECT_EQ(first.sputn(first_bytes.data() + turn * 10000, 10000), 10000) << turn;
        EXPECT_NO_THROW(first.close());
    }
    // Each byte is the last one stored at its place; the first writer's
    // last 30,000 bytes went where nobody else wrote.
    const std::string s = read_stream(device, "S");
    ASSERT_EQ(s.size(), 60000u);
    EXPECT_TRUE(s.substr(30000) == first_bytes.substr(30000));
    for (std::size_t i = 0; i < 30000; ++i)
        ASSERT_TRUE(s[i] == first_bytes[i] || s[i] == second_bytes[i]) << i;

    const std::vector<long> s_pages = pages_of(device, "S");
    EXPECT_EQ(s_pages.size(), 4u);
    auto& map = dynamic_cast<qvMapAllocator&>(device);
    for (long page : s_pages) EXPECT_TRUE(map.marked(page)) << page;
    write_stream(device, "Z", pattern(50000, 23));
    const std::vector<long> z_pages = pages_of(device, "Z");
    std::vector<long> shared;
    std::set_intersection(s_pages.begin(), s_pages.end(), z_pages.begin(), z_pages.end(), std::back_inserter(shared));
    EXPECT_TRUE(shared.empty()) << shared.front();
    EXPECT_TRUE(read_stream(device, "S") == s);
    EXPECT_TRUE(read_stream(device, "Z") == pattern(50000, 23));
    close_cleanly();
}

// Past failure: a writer that ended the chain freed the old pages past its
// end while another buffer of the stream stood on one of them; a new
// stream took that page, and the other buffer then wrote into it (or read
// it) as its own.
TEST_P(qvPageStreamTest, A_buffer_standing_past_where_another_ends_the_chain_keeps_its_pages_from_new_streams) {
    qvPageDevice& device = create();
    const std::string old_bytes = pattern(60000, 26), ahead = pattern(70000, 27), short_bytes = pattern(20000, 28);
    const std::string z_bytes = pattern(50000, 29);
    for (bool reader : {false, true}) {
        write_stream(device, "S", old_bytes);   // pages of 16,376 bytes: the fourth from 49,128 on
        write_stream(device, "Z", std::string());
        std::vector<char> got(60000);
        {
            qvPageStreamBuf far(device, "S", !reader);   // on the fourth page
            ASSERT_EQ(reader ? far.sgetn(got.data(), 50000) : far.sputn(ahead.data(), 50000), 50000);
            write_stream(device, "S", short_bytes);      // ends S on its second page
            write_stream(device, "Z", z_bytes);          // takes only free pages
            if (reader) {
                EXPECT_EQ(far.sgetn(got.data() + 50000, 20000), 10000);
                EXPECT_TRUE(std::string(got.data(), got.size()) == old_bytes);
            } else {
                EXPECT_EQ(far.sputn(ahead.data() + 50000, 20000), 20000);
            }
            far.close();
        }
        EXPECT_TRUE(read_stream(device, "Z") == z_bytes) << reader;
        EXPECT_TRUE(read_stream(device, "S") == short_bytes) << reader;   // the last close's end holds
        const std::vector<long> s_pages = pages_of(device, "S"), z_pages = pages_of(device, "Z");
        auto& map = dynamic_cast<qvMapAllocator&>(device);
        for (long page : s_pages) EXPECT_TRUE(map.marked(page)) << page;
        for (long page : z_pages) EXPECT_TRUE(map.marked(page)) << page;
        std::vector<long> shared;
        std::set_intersection(s_pages.begin(), s_pages.end(), z_pages.begin(), z_pages.end(), std::back_inserter(shared));
        EXPECT_TRUE(shared.empty()) << reader;
    }
    close_cleanly();
}

// Short writes stay in the buffer's copy until a page change; pubsync puts
// them on the page, where a reader opened afterwards finds them.
TEST_P(qvPageStreamTest, After_pubsync_a_new_reader_sees_the_bytes_written_so_far) {
    qvPageDevice& device = create();
    const std::string bytes = pattern(21000, 24);
    qvPageStreamBuf writer(device, "s", true);
    for (std::size_t at = 0; at < 20000; at += 100) ASSERT_EQ(writer.sputn(bytes.data() + at, 100), 100);
    EXPECT_EQ(read_stream(device, "s").size(), static_cast<std::size_t>(data_bytes));
    EXPECT_EQ(writer.pubsync(), 0);
    EXPECT_TRUE(read_stream(device, "s") == bytes.substr(0, 20000));
    for (std::size_t at = 20000; at < 21000; ++at) ASSERT_EQ(writer.sputc(bytes[at]), static_cast<unsigned char>(bytes[at]));
    EXPECT_EQ(writer.pubsync(), 0);
    EXPECT_TRUE(read_stream(device, "s") == bytes);
    writer.close();
    EXPECT_TRUE(read_stream(device, "s") == bytes);
    close_cleanly();
}

// A reader returns what another writer stores as it comes, in order: the
// bytes added to the page it stands on before the page the link then
// names. Past failure: it kept the count it read on entering a page and
// followed the link past what was added since, and a reader of a stream
// written in 10,000-byte syncs returned 53,368 of 90,000 bytes, in pieces.
// During a rewrite the old rest stays linked until close ends the chain,
// and each page's bytes come at their places; a reader that took a full
// page's last bytes before the close ended the chain there follows the
// link it read with them. A reader that took exactly the stored bytes of
// a page that is not full stands at its stored end with the link read:
// it reads the page's count again and returns what was added there before
// it follows the link (following it at once skipped the root's 3,000 new
// bytes).
TEST_P(qvPageStreamTest, A_reader_returns_every_byte_another_writer_stores_in_order) {
    struct Road {
        char const* what;
        std::vector<std::size_t> ends;   // the writer's stream length after each write
        bool sync;
        bool rewrite;
        bool exact;         // the reader's first read takes exactly the bytes stored so far
        std::string got;    // a rewrite: what the reader returns before the writer closes
        std::string kept;   // and after: the old rest the close keeps for it
    };
    const std::string bytes = pattern(90000, 40), old_bytes = pattern(60000, 41);
    const Road roads[] = {
        {"syncs", {10000, 13000, 18000, 50000, 90000}, true, false, false, "", ""},
        {"a full last page", {16376, 40000, 90000}, true, false, false, "", ""},   // link 0 read with the last bytes
        {"short writes", {}, false, false, false, "", ""},
        {"long writes", {10000, 30000, 60000, 90000}, false, false, false, "", ""},
        // The root's 10,000 new bytes, linked to the old rest, which the
        // reader follows to its end on the old last page; there it returns
        // what the rewrite adds to that page, and goes on.
        {"a rewrite", {10000, 13000, 18000, 50000, 90000}, true, true, false,
         bytes.substr(0, 10000) + old_bytes.substr(16376) + bytes.substr(60000), ""},
        // The reader stands at the root's stored end: the root's bytes as
        // far as they were stored when it came back (13,000), then the
        // same road.
        {"a rewrite read to the root's stored end", {10000, 13000, 18000, 50000, 90000}, true, true, true,
         bytes.substr(0, 13000) + old_bytes.substr(16376) + bytes.substr(60000), ""},
        {"a rewrite ended on its full root", {16376}, true, true, true, bytes.substr(0, 16376), old_bytes.substr(16376)},
    };
    for (Road road : roads) {
        SCOPED_TRACE(road.what);
        if (road.ends.empty())
            for (std::size_t end = 1000; end <= 90000; end += 1000) road.ends.push_back(end);
        qvPageDevice& device = create();
        if (road.rewrite) write_stream(device, "s", old_bytes);
        qvPageStreamBuf writer(device, "s", true);
        std::string got;
        std::size_t written = 0;
        std::unique_ptr<qvPageStreamBuf> reader;
        for (std::size_t end : road.ends) {
            ASSERT_EQ(writer.sputn(bytes.data() + written, static_cast<std::streamsize>(end - written)),
                      static_cast<std::streamsize>(end - written));
            written = end;
            if (road.sync) {
                ASSERT_EQ(writer.pubsync(), 0);
            }
            if (!reader && road.exact) {   // it stays on the root, at its stored end
                reader = std::make_unique<qvPageStreamBuf>(device, "s", false);
                got.resize(end);
                ASSERT_EQ(reader->sgetn(got.data(), static_cast<std::streamsize>(end)), static_cast<std::streamsize>(end));
                continue;
            }
            if (!reader) reader = std::make_unique<qvPageStreamBuf>(device, "s", false);
            got += read_on(*reader);
        }
        if (road.rewrite) {
            EXPECT_TRUE(got == road.got) << got.size();
        }
        writer.close();
        got += read_on(*reader);
        EXPECT_TRUE(got == (road.rewrite ? road.got + road.kept : bytes)) << got.size();
        reader->close();
        const std::size_t length = road.ends.back();
        EXPECT_TRUE(read_stream(device, "s") == bytes.substr(0, length));
        EXPECT_EQ(used_pages(device), 2 + static_cast<long>((length + data_bytes - 1) / data_bytes));   // no old page left
        file.close();
    }
}

// While a reader stands on a stream, rewrites that end its chain earlier
// leave the old rests allocated (the reader may follow them), and the last
// buffer of the stream to close frees them: not a reader while another
// still stands on the stream. Past failures: those pages were never given
// back, so 50 rewrites under one reader grew the file from 15 used pages
// to 615; before that they were freed under the reader, and a new stream
// took them.
TEST_P(qvPageStreamTest, Rests_a_stream_cut_under_a_reader_are_freed_when_its_last_buffer_closes) {
    qvPageDevice& device = create();
    const std::string first = pattern(200000, 42);
    write_stream(device, "s", first);   // 13 pages
    const long alone = used_pages(device);
    qvPageStreamBuf reader(device, "s", false), other(device, "t", false), last(device, "s", false);
    std::vector<char> got(200000), last_got(200000);
    ASSERT_EQ(reader.sgetn(got.data(), 100000), 100000);   // on the seventh page
    ASSERT_EQ(last.sgetn(last_got.data(), 50000), 50000);   // on the fourth
    for (int round = 0; round < 6; ++round) {
        write_stream(device, "s", pattern(round % 2 == 0 ? 5000 : 200000, 43 + round));
        write_stream(device, "z", pattern(30000, 50 + round));   // takes free pages only
    }
    EXPECT_GT(used_pages(device), alone + 2);
    ASSERT_EQ(reader.sgetn(got.data() + 100000, 100000), 100000);
    EXPECT_TRUE(std::string(got.data(), got.size()) == first);
    // A buffer of another stream is no stand-in.
    other.close();
    EXPECT_GT(used_pages(device), alone + 2);
    const long kept = used_pages(device);
    reader.close();
    EXPECT_EQ(used_pages(device), kept);
    write_stream(device, "y", pattern(200000, 60));   // 13 pages, none of them last's
    ASSERT_EQ(last.sgetn(last_got.data() + 50000, 150000), 150000);
    EXPECT_TRUE(std::string(last_got.data(), last_got.size()) == first);
    last.close();
    EXPECT_EQ(used_pages(device), alone + 2 + 13);   // s as long as first, z and y
    EXPECT_TRUE(read_stream(device, "s") == pattern(200000, 48));
    EXPECT_TRUE(read_stream(device, "z") == pattern(30000, 55));
    close_cleanly();
}

// A rewrite ending its chain while only a stream of another name is open
// frees its rest at once.
TEST_P(qvPageStreamTest, A_rest_is_freed_at_once_while_only_another_stream_is_open) {
    qvPageDevice& device = create();
    write_stream(device, "s", pattern(3 * data_bytes, 44));   // pages 2, 3, 4
    write_stream(device, "t", "other");                       // page 5
    qvPageStreamBuf reader(device, "t", false), writer(device, "t", true);
    write_stream(device, "s", "x");
    auto& map = dynamic_cast<qvMapAllocator&>(device);
    EXPECT_FALSE(map.marked(3));
    EXPECT_FALSE(map.marked(4));
    writer.close();
    reader.close();
    // Rests kept on two roots at once: each root's last close frees its own.
    write_stream(device, "s", pattern(3 * data_bytes, 45));
    write_stream(device, "t", pattern(3 * data_bytes, 46));
    const long both = used_pages(device);
    qvPageStreamBuf on_s(device, "s", false), on_t(device, "t", false);
    write_stream(device, "s", "y");
    write_stream(device, "t", "z");
    on_s.close();
    EXPECT_EQ(used_pages(device), both - 2);
    on_t.close();
    EXPECT_EQ(used_pages(device), both - 4);
    close_cleanly();
}

TEST_P(qvPageStreamTest, A_reader_closed_part_way_through_yields_nothing_more) {
    qvPageDevice& device = create();
    write_stream(device, "s", pattern(40000, 25));
    char bytes[20000];
    for (std::streamsize first : {10, 20000}) {   // in the root's copy; on the second page
        qvPageStreamBuf reader(device, "s", false);
        ASSERT_EQ(reader.sgetn(bytes, first), first);
        reader.close();
        EXPECT_EQ(reader.sgetn(bytes, 100), 0) << first;
        EXPECT_EQ(reader.sbumpc(), std::char_traits<char>::eof()) << first;
    }
    close_cleanly();
}

// --- objects through the binary streams -------------------------------------------------------

TEST_P(qvPageStreamTest, Objects_come_back_with_the_header_version) {
    qvBitmap image(qvBitmapLayout(qvRgbaBitmap), 150, 100);   // 60,000 pixel bytes: four pages
    for (long i = 0; i < image.size(); ++i) image.data()[i] = static_cast<unsigned char>(i * 7);
    {
        qvPageOStream out(create(), "$UserData");
        out.putn("tag!", 4);
        image.save(out);
        out.close();
    }
    qvPageIStream in(reopen(true), "$UserData");
    EXPECT_EQ(in.version().version_value(), qvVersion::default_version().version_value());
    char tag[4];
    ASSERT_EQ(in.getn(tag, 4), 4);
    EXPECT_EQ(std::string(tag, 4), "tag!");
    qvBitmap loaded;
    loaded.load(in);
    ASSERT_EQ(loaded.size(), image.size());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(loaded.data()), 60000),
              std::string(reinterpret_cast<char*>(image.data()), 60000));
    EXPECT_EQ(in.get(), -1);
}

TEST_P(qvPageStreamTest, A_closed_stream_refuses_bytes_and_reads_the_end) {
    qvPageDevice& device = create();
    qvPageOStream out(device, "s");
    out.close();
    out.close();
    EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { out.putn(pattern(data_bytes, 8).data(), 16376); },
                                                      "Invalid streambuf"));
    qvPageIStream in(device, "s");
    in.close();
    EXPECT_EQ(in.get(), -1);
}

// --- damaged chains ---------------------------------------------------------------------------

// Each damage is met by a reader, by a rewrite that walks the old chain,
// and by a short rewrite that frees the old chain as its unreached rest, at
// its close or, kept for a reader, at the reader's.
// None hangs or leaves a page locked (the file closes). The short rewrite
// used to raise at every close for pages the file no longer needs: its
// close returns, the freeing stopped before a page with a bad used count
// or after one with a bad link, and the pages past it stay allocated. A
// link of the rest to the root of another stream looks good to a reader
// and a rewrite, which follow it; the freeing used to follow it too, and
// a later stream took the other stream's pages: now it stops there, and
// every stream keeps its bytes. The first root the directory names is
// such a root as well as the last.
TEST_P(qvPageStreamTest, Damaged_chains_are_refused_wherever_they_are_met) {
    struct Damage {
        char const* what;
        long page;   // of s, 2 -> 3 -> 4, or of t, 5 -> 6 (u is 7): that stream is the damaged one
        std::size_t offset;
        std::uint32_t value;
        long kept;   // pages of its rest (3 -> 4, or 6) left allocated
        bool root;   // the link names another stream's root: no reader or rewrite can tell
    };
    const Damage damages[] = {
        {"used 16,377", 3, 4, 16377, 2, false},
        {"used 0xFFFFFFFF", 3, 4, 0xFFFFFFFF, 2, false},
        {"next 1", 3, 0, 1, 1, false},
        {"next 0xFFFFFFFF", 3, 0, 0xFFFFFFFF, 1, false},
        {"next past the end", 3, 0, 100, 1, false},
        {"loop to the root", 3, 0, 2, 1, false},
        {"loop to itself", 4, 0, 4, 0, false},
        {"next to another stream's root", 3, 0, 5, 1, true},
        {"last next to the last root", 4, 0, 7, 0, true},
        {"t's last next to the first root, s's", 6, 0, 2, 0, true},
    };
    const std::string s_bytes = pattern(3 * data_bytes, 9), t_bytes = pattern(data_bytes + 100, 12),
                      u_bytes = pattern(300, 13), z_bytes = pattern(40000, 14);
    for (Damage const& d : damages) {
        const bool on_t = d.page >= 5;
        char const* const name = on_t ? "t" : "s";
        const std::vector<long> rest = on_t ? std::vector<long>{6} : std::vector<long>{3, 4};
        for (int way = d.root ? 2 : 0; way < 4; ++way) {
            SCOPED_TRACE(std::string(d.what) + ", way " + std::to_string(way));
            qvPageDevice& made = create();
            write_stream(made, "s", s_bytes);
            write_stream(made, "t", t_bytes);
            write_stream(made, "u", u_bytes);
            qvPageDevice& device = damage(d.page, d.offset, d.value);
            if (way == 0) {
                EXPECT_TRUE(raises<Corrupt>([&] { read_stream(device, "s"); }, corrupt));
            } else if (way == 1) {
                qvPageStreamBuf writer(device, "s", true);
                const std::string more = pattern(3 * data_bytes + 1, 10);
                EXPECT_TRUE(raises<Corrupt>([&] { writer.sputn(more.data(), static_cast<std::streamsize>(more.size())); },
                                            corrupt));
            } else {   // way 3: the rest waits for a reader, whose close frees it
                const long used = used_pages(device);
                std::optional<qvPageStreamBuf> reader;
                if (way == 3) reader.emplace(device, name, false);
                qvPageStreamBuf writer(device, name, true);
                writer.sputn("x", 1);
                EXPECT_NO_THROW(writer.close());
                if (reader) {
                    EXPECT_NO_THROW(reader->close());
                }
                EXPECT_EQ(read_stream(device, name), "x");
                const long rest_pages = static_cast<long>(rest.size());
                EXPECT_EQ(used_pages(device), used - rest_pages + d.kept);
                auto& map = dynamic_cast<qvMapAllocator&>(device);   // freed: the rest's first pages but `kept`
                for (long page = 2; page <= 7; ++page) {
                    const long at = std::find(rest.begin(), rest.end(), page) - rest.begin();
                    EXPECT_EQ(map.marked(page), at >= rest_pages - d.kept) << page;
                }
                write_stream(device, "z", z_bytes);   // takes the freed pages first
                EXPECT_EQ(read_stream(device, name), "x");
                EXPECT_TRUE(on_t || read_stream(device, "t") == t_bytes);
                EXPECT_TRUE(!on_t || read_stream(device, "s") == s_bytes);
                EXPECT_TRUE(read_stream(device, "u") == u_bytes);
                EXPECT_TRUE(read_stream(device, "z") == z_bytes);
            }
            close_cleanly();
            if (way >= 2) {
                const long root = on_t ? 5 : 2;
                EXPECT_EQ(chain_of(f, root), (std::vector<Link>{{root, 0, 1}}));
            }
        }
    }
}

TEST_P(qvPageStreamTest, A_root_outside_the_file_is_refused_for_reading_and_writing) {
    qvPageDevice& device = create();
    ASSERT_EQ(device.page_count(), 2);
    device.create_root("one", 1);
    device.create_root("count", 2);
    for (char const* name : {"one", "count"}) {
        EXPECT_TRUE(raises<Corrupt>([&] { qvPageStreamBuf(device, name, false); }, corrupt)) << name;
        EXPECT_TRUE(raises<Corrupt>([&] { qvPageStreamBuf(device, name, true); }, corrupt)) << name;
    }
    close_cleanly();
}

// Page 0 never names a root: read as a missing name, such an entry would
// let a writer append a second entry that every reader finds behind it.
TEST_P(qvPageStreamTest, A_directory_entry_naming_page_0_is_corruption_not_a_missing_name) {
    write_stream(create(), "s", "kept");
    qvPageDevice& device = damage(1, 8, 0);   // entry 0's root
    for (bool write : {false, true})
        EXPECT_TRUE(raises<qvErrorFrom<qvPageFileDirectory>>([&] { qvPageStreamBuf(device, "s", write); }, corrupt));
    close_cleanly();
}

// --- read-only --------------------------------------------------------------------------------

TEST_P(qvPageStreamTest, A_read_only_file_reads_streams_and_refuses_to_write_them) {
    write_stream(create(), "s", pattern(20000, 11));
    file.close();
    const std::string before = read_file(f);
    qvPageDevice& device = reopen(true);
    EXPECT_EQ(read_stream(device, "s"), pattern(20000, 11));
    for (char const* name : {"s", "new"}) {
        try {
            qvPageStreamBuf(device, name, true);
            ADD_FAILURE() << name << ": no raise";
        } catch (qvError const& error) {
            EXPECT_STREQ(error, "Attempt to modify a read-only file") << name;
        }
    }
    close_cleanly();
    EXPECT_TRUE(read_file(f) == before);
}

// --- stores the device refuses ------------------------------------------------------------

// Laying out the page a page change takes is refused: the page goes back
// to the allocator, the call raises having put nothing, and the same call
// again takes the same page.
TEST(qvPageStreamRefused, A_page_change_that_cannot_lay_out_its_new_page_gives_it_back) {
    RefusingDevice device;
    auto& map = static_cast<qvMapAllocator&>(device);
    const std::string bytes = pattern(20000, 26);
    qvPageStreamBuf writer(device, "s", true);   // root 2
    ASSERT_EQ(writer.sputn(bytes.data(), 10000), 10000);
    device.refused = 3;
    device.refusals = 1;
    EXPECT_TRUE(raises<Refused>([&] { writer.sputn(bytes.data() + 10000, 10000); }, refused_text));
    EXPECT_FALSE(map.marked(3));
    ASSERT_EQ(writer.sputn(bytes.data() + 10000, 10000), 10000);
    writer.close();
    EXPECT_TRUE(read_stream(device, "s") == bytes);
    EXPECT_EQ(pages_of(device, "s"), (std::vector<long>{2, 3}));
    EXPECT_EQ(device.allocate(), 4);
}

// A rewrite whose store is refused, once or until the device is mended,
// reads back exactly the bytes whose writes returned once a close returns:
// a prefix of the new stream, never new bytes followed by the old
// stream's. The buffer used to store a page linked to the old chain and
// then lose its place entering the next page, which left the file reading
// 16,376 new bytes and then the old stream's. A close that cannot store
// the last page raises and leaves the buffer open, counted on the device,
// for the second close to store it; it used to drop the page's bytes.
TEST(qvPageStreamRefused, A_rewrite_whose_store_is_refused_reads_back_what_returned_never_new_then_old) {
    struct Refusal {
        long page;
        int times;
        int closes_raising;
    };
    for (Refusal const r : {Refusal{3, 1, 0}, Refusal{3, 1000, 1}, Refusal{2, 1, 0}, Refusal{2, 1000, 1}}) {
        SCOPED_TRACE(std::to_string(r.page) + " x" + std::to_string(r.times));
        RefusingDevice device;
        auto& map = static_cast<qvMapAllocator&>(device);
        write_stream(device, "s", pattern(40000, 29));   // pages 2 .. 4
        const std::string bytes = pattern(40000, 30);
        std::string returned;
        int closes_raised = 0;
        {
            qvPageStreamBuf writer(device, "s", true);
            ASSERT_EQ(writer.sputn(bytes.data(), 15000), 15000);
            returned = bytes.substr(0, 15000);
            device.refused = r.page;
            device.refusals = r.times;
            try {
                for (std::size_t at = 15000; at < bytes.size(); at += 5000) {
                    writer.sputn(bytes.data() + at, 5000);
                    returned += bytes.substr(at, 5000);
                }
            } catch (Refused const&) {
            }
            for (int attempt = 0; writer.is_open() && attempt < 2; ++attempt) {
                try {
                    writer.close();
                } catch (Refused const&) {
                    ++closes_raised;
                    EXPECT_TRUE(writer.is_open());
                    EXPECT_EQ(device.open_streams(), 1);
                    device.refusals = 0;   // space freed
                }
            }
            EXPECT_FALSE(writer.is_open());
            EXPECT_EQ(device.open_streams(), 0);
        }
        EXPECT_GT(device.refused_locks, 0);
        EXPECT_EQ(closes_raised, r.closes_raising);
        EXPECT_TRUE(read_stream(device, "s") == returned) << read_stream(device, "s").size();
        const std::vector<long> pages = pages_of(device, "s");
        for (long page = 2; page <= 4; ++page)
            EXPECT_EQ(map.marked(page), std::count(pages.begin(), pages.end(), page) == 1) << page;
    }
}

// The directory's read (once for the rest's roots), a lock or a free
// refused while close cuts the old rest raises with the buffer open (the
// chain already ended); the close retried frees the rest. A long
// sputn whose store is refused keeps its bytes in the buffer's copy and
// returns, and the next store puts them on the page.
TEST(qvPageStreamRefused, A_refused_free_is_retried_by_close_and_a_refused_long_store_keeps_its_bytes) {
    RefusingDevice device;
    auto& map = static_cast<qvMapAllocator&>(device);
    write_stream(device, "s", pattern(40000, 31));   // pages 2 .. 4
    const std::string bytes = pattern(6000, 32);
    qvPageStreamBuf writer(device, "s", true);
    device.refused = 2;
    device.refusals = 1;
    ASSERT_EQ(writer.sputn(bytes.data(), 6000), 6000);
    EXPECT_EQ(device.refused_locks, 1);
    EXPECT_EQ(writer.pubsync(), 0);
    {
        qvPageStreamBuf reader(device, "s", false);
        EXPECT_TRUE(read_on(reader) == bytes + pattern(40000, 31).substr(data_bytes));   // the old rest, still linked
    }
    device.refused = 1;
    device.refusals = 1;
    device.writes_only = false;
    EXPECT_TRUE(raises<Refused>([&] { writer.close(); }, refused_text));
    EXPECT_TRUE(writer.is_open());
    EXPECT_TRUE(read_stream(device, "s") == bytes);
    EXPECT_TRUE(map.marked(3));
    device.refused = 3;
    device.refusals = 1;
    EXPECT_TRUE(raises<Refused>([&] { writer.close(); }, refused_text));
    EXPECT_TRUE(writer.is_open());
    EXPECT_TRUE(read_stream(device, "s") == bytes);
    EXPECT_TRUE(map.marked(3));
    device.refused = 0;   // the map page: the free of page 3 itself
    device.refusals = 1;
    device.writes_only = true;
    EXPECT_TRUE(raises<Refused>([&] { writer.close(); }, refused_text));
    EXPECT_TRUE(map.marked(3));
    writer.close();
    EXPECT_FALSE(writer.is_open());
    EXPECT_FALSE(map.marked(3));
    EXPECT_FALSE(map.marked(4));
    EXPECT_EQ(device.open_streams(), 0);
}

// --- the mapped device's moving view ----------------------------------------------------------

// A new mapped file that is refused any larger address range, so that its
// view must move to grow, which it can only while no page is locked.
class qvPageStreamMapped : public ::testing::Test {
protected:
    ~qvPageStreamMapped() override { orvane::platform::clear_failures(); }

    ScratchDir dir;
    const std::string f = dir / "mapped.pages";
    qvPagedSceneFile file;
    qvPageDevice& device = created();
    qvCacheOnMapping& cache = static_cast<qvMappedPageFile&>(device);

private:
    qvPageDevice& created() {
        orvane::platform::fail_next(orvane::platform::Call::address_space, ENOMEM, 1 << 30);
        file.create(f.c_str(), -1);
        return file.device();
    }
};

// Regression: a stream held its page locked between calls, so a view that
// had to move could not, and a long write elsewhere met the red zone.
TEST_F(qvPageStreamMapped, Open_streams_lock_no_page_between_calls_so_a_view_that_must_move_does) {
    write_stream(device, "held", pattern(2 * data_bytes, 12));
    qvPageIStream held(device, "held");
    char head[10];
    ASSERT_EQ(held.getn(head, 10), 10);
    const std::string bytes = pattern(100 * data_bytes, 13);
    const std::uint64_t remaps = cache.counters().remaps;
    qvPageStreamBuf writer(device, "moved", true);
    for (std::size_t at = 0; at < bytes.size(); at += 5 * data_bytes) {
        ASSERT_EQ(writer.sputn(bytes.data() + at, 5 * data_bytes), 5 * data_bytes);
        ASSERT_EQ(cache.locked_pages(), 0u) << at;
    }
    EXPECT_GE(cache.counters().remaps - remaps, 2u);   // 64 pages a growth
    EXPECT_TRUE(raises<qvErrorFrom<qvCacheOnMapping>>([&] { file.close(); },
                                                      "Cannot release the cache memory while pages are locked"));
    writer.close();
    std::string rest(2 * data_bytes, '\0');
    EXPECT_EQ(held.getn(rest.data(), static_cast<int>(rest.size())), 2 * data_bytes - 10);
    EXPECT_EQ(std::string(head, 10) + rest.substr(0, 2 * data_bytes - 10), pattern(2 * data_bytes, 12));
    held.close();
    EXPECT_TRUE(read_stream(device, "moved") == bytes);
    file.close();
}

// A stream grows the file with only its own page locked, but a page held
// elsewhere keeps the view still: the writer meets the red zone, and its
// chain stays well formed with what reached it.
TEST_F(qvPageStreamMapped, A_page_held_elsewhere_stops_a_long_write_at_the_red_zone) {
    write_stream(device, "long", pattern(200 * data_bytes, 14));   // alone: no red zone
    EXPECT_TRUE(read_stream(device, "long") == pattern(200 * data_bytes, 14));

    write_stream(device, "held", "h");
    const std::string bytes = pattern(100 * data_bytes, 15);
    long room = 0;
    {
        const qvPageLock held(device, device.find_root("held"), false, 0.0f);
        room = cache.mapped() - device.page_count();
        qvPageStreamBuf writer(device, "blocked", true);
        try {
            writer.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            ADD_FAILURE() << "no raise";
        } catch (qvError const& error) {
            EXPECT_STREQ(error, "Red zone overflow in the mapped file");
        }
        writer.close();
        EXPECT_EQ(device.page_count(), cache.mapped());
    }
    // The last page in the view was taken, but the page after it could not
    // be: its bytes are not stored, and it ends the chain empty.
    ASSERT_GT(room, 2);
    const std::string back = read_stream(device, "blocked");
    EXPECT_EQ(back.size(), static_cast<std::size_t>(room - 1) * data_bytes);
    EXPECT_TRUE(back == bytes.substr(0, back.size()));
    const long root = device.find_root("blocked");
    file.close();
    const std::vector<Link> chain = chain_of(f, root);
    ASSERT_EQ(chain.size(), static_cast<std::size_t>(room));
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_EQ(chain[i].used, i + 1 < chain.size() ? data_bytes : 0) << i;
        EXPECT_EQ(chain[i].next, i + 1 < chain.size() ? static_cast<std::uint32_t>(chain[i + 1].page) : 0u) << i;
    }
}
