// Page streams on every device (I/O without and with a cache, mapped): the
// exact pages a stream leaves, rewrites that reuse and free pages, objects
// through the binary streams, damaged chains met while reading, rewriting
// and freeing, read-only refusals, and open streams that lock no page
// between calls on a mapped device whose view must move to grow.

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/core/qvVersion.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <string>

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
// and by a short rewrite that frees the old chain as its unreached rest.
// None hangs or leaves a page locked (the file closes), and the short
// rewrite has ended its own chain before it reports.
TEST_P(qvPageStreamTest, Damaged_chains_are_refused_wherever_they_are_met) {
    struct Damage {
        char const* what;
        long page;   // of the chain 2 -> 3 -> 4
        std::size_t offset;
        std::uint32_t value;
    };
    const Damage damages[] = {
        {"used 16,377", 3, 4, 16377},  {"used 0xFFFFFFFF", 3, 4, 0xFFFFFFFF}, {"next 1", 3, 0, 1},
        {"next 0xFFFFFFFF", 3, 0, 0xFFFFFFFF}, {"next past the end", 3, 0, 100}, {"loop to the root", 3, 0, 2},
        {"loop to itself", 4, 0, 4},
    };
    for (Damage const& d : damages) {
        for (int way = 0; way < 3; ++way) {
            SCOPED_TRACE(std::string(d.what) + ", way " + std::to_string(way));
            write_stream(create(), "s", pattern(3 * data_bytes, 9));
            qvPageDevice& device = damage(d.page, d.offset, d.value);
            if (way == 0) {
                EXPECT_TRUE(raises<Corrupt>([&] { read_stream(device, "s"); }, corrupt));
            } else if (way == 1) {
                qvPageStreamBuf writer(device, "s", true);
                const std::string more = pattern(3 * data_bytes + 1, 10);
                EXPECT_TRUE(raises<Corrupt>([&] { writer.sputn(more.data(), static_cast<std::streamsize>(more.size())); },
                                            corrupt));
            } else {
                qvPageStreamBuf writer(device, "s", true);
                writer.sputn("x", 1);
                EXPECT_TRUE(raises<Corrupt>([&] { writer.close(); }, corrupt));
                EXPECT_EQ(read_stream(device, "s"), "x");
            }
            close_cleanly();
            if (way == 2) {
                EXPECT_EQ(chain_of(f, 2), (std::vector<Link>{{2, 0, 1}}));
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

// --- the mapped device's moving view ----------------------------------------------------------

// Regression: a stream held its page locked between calls, so a view that
// had to move could not, and a long write elsewhere met the red zone.
TEST(qvPageStreamMapped, Open_streams_lock_no_page_between_calls_so_a_view_that_must_move_does) {
    ScratchDir dir;
    const std::string f = dir / "mapped.pages";
    orvane::platform::fail_next(orvane::platform::Call::address_space, ENOMEM, 1 << 30);   // the view moves
    qvPagedSceneFile file;
    file.create(f.c_str(), -1);
    qvPageDevice& device = file.device();
    qvCacheOnMapping& cache = static_cast<qvMappedPageFile&>(device);
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
