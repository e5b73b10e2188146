// The paged scene file with both devices: file lengths, the open matrix
// (missing, empty, valid, shared, damaged, a directory), reopening rules,
// files that pass between the devices, read-only refusals, cut files,
// durable closing that fails and is retried, the reservation of a mapped
// writer's holes, and a writer that was killed.

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "scenes/qvCacheOnMapping.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"
#include "qvPagedSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <streambuf>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace qv_page_test;
using namespace qv_file_test;
namespace platform = orvane::platform;

namespace {

using E = qvErrorFrom<qvPagedSceneFile>;

// The message of whatever qvError the call raises, "" when none.
template <class F>
std::string message_of(F&& call) {
    try {
        call();
    } catch (qvError const& error) {
        return static_cast<char const*>(error);
    }
    return "";
}

void put(qvPageDevice& device, char const* name, std::string const& bytes) {
    qvPageOStream out(device, name);
    out.putn(bytes.data(), static_cast<int>(bytes.size()));
    out.close();
}

std::string get(qvPageDevice& device, char const* name) {
    qvPageIStream in(device, name);
    std::string bytes;
    for (int c; (c = in.get()) >= 0;) bytes += static_cast<char>(c);
    in.close();
    return bytes;
}

// A file with two streams, written through `cache`'s device.
void make_scene_file(std::string const& name, int cache) {
    qvPagedSceneFile file;
    file.create(name.c_str(), cache);
    put(file.device(), "$Layout", std::string(20000, 'L'));
    put(file.device(), "$UserData", "user data");
    file.device().create_root("extra", 2);
    file.close();
}

// Host streams the device ended under them: a reader reads end of file, a
// writer refuses a byte with the output stream's error; then both are
// destroyed, with the device already gone.
::testing::AssertionResult ended_then_destroyed(std::unique_ptr<qvPageIStream>& in,
                                                std::unique_ptr<qvPageOStream>& out) {
    char byte = 0;
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    if (in && (in->get() >= 0 || in->getn(&byte, 1) > 0)) result = ::testing::AssertionFailure() << "read on";
    if (out && result) result = raises<qvErrorFrom<std::streambuf*>>([&] { out->putn("x", 1); }, "Invalid streambuf");
    in.reset(), out.reset();
    return result;
}

// What a child that ends by exit checks after its static scene is gone.
std::function<bool()> at_exit_check;

class qvPagedSceneFileTest : public ::testing::TestWithParam<int> {
protected:
    ScratchDir dir;
    const std::string f = dir / "scene.pages";
    int cache() const { return GetParam(); }
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Devices, qvPagedSceneFileTest, ::testing::Values(0, -1),
                         [](auto const& info) { return std::string(info.param < 0 ? "mapped" : "io"); });

// --- lengths ----------------------------------------------------------------------------------

TEST(qvPagedSceneFile, A_new_mapped_file_is_65_pages_while_open_and_2_after_close) {
    ScratchDir dir;
    const std::string mapped = dir / "mapped", io = dir / "io";
    qvPagedSceneFile file;
    file.create(mapped.c_str(), -1);
    EXPECT_EQ(file_length(mapped), 65 * 16384);
    file.close();
    EXPECT_EQ(file_length(mapped), 32768);

    qvPagedSceneFile other;
    other.create(io.c_str(), 0);
    EXPECT_EQ(file_length(io), 32768);
    other.close();
    EXPECT_TRUE(read_file(io) == read_file(mapped));

    other.create(io.c_str(), std::size_t{3} << 30);   // a cache in bytes: always the I/O device
    EXPECT_EQ(file_length(io), 32768);
}

// The same operations leave the same bytes, whichever device ran them.
TEST(qvPagedSceneFile, Both_devices_write_the_same_file) {
    ScratchDir dir;
    const std::string mapped = dir / "mapped", io = dir / "io";
    make_scene_file(mapped, -1);
    make_scene_file(io, 3 * 16384);
    EXPECT_TRUE(read_file(mapped) == read_file(io));
    EXPECT_EQ(file_length(io), 5 * 16384);
}

// --- the open matrix --------------------------------------------------------------------------

TEST_P(qvPagedSceneFileTest, A_missing_name_or_a_directory_gives_false_and_creates_nothing) {
    qvPagedSceneFile file;
    const long descriptors = open_descriptor_count();
    for (bool read_only : {false, true}) {
        EXPECT_FALSE(file.open(f.c_str(), cache(), read_only));
        EXPECT_FALSE(file.open(dir.path().c_str(), cache(), read_only));
    }
    // create raises the device's own error, which a host may catch by type.
    const std::string in_missing_folder = dir / "missing/scene.pages";
    if (cache() < 0) {
        EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { file.create(in_missing_folder.c_str(), cache()); },
                                                       "Cannot open file"));
    } else {
        EXPECT_TRUE(raises<qvErrorFrom<qvBlockFile>>([&] { file.create(in_missing_folder.c_str(), cache()); },
                                                     "Cannot open file"));
    }
    EXPECT_TRUE(names_in(dir.path()).empty());
    EXPECT_FALSE(file.is_open());
    EXPECT_TRUE(raises<E>([&] { file.device(); }, "Pagefile has not been opened"));
    EXPECT_EQ(open_descriptor_count(), descriptors);
}

TEST_P(qvPagedSceneFileTest, An_empty_file_opens_writable_as_new_and_is_refused_read_only) {
    write_file(f, "");
    qvPagedSceneFile file;
    EXPECT_FALSE(file.open(f.c_str(), cache(), true));
    EXPECT_EQ(file_length(f), 0);
    ASSERT_TRUE(file.open(f.c_str(), cache(), false));
    EXPECT_EQ(file.device().find_root("$Layout"), 0);
    file.close();
    EXPECT_EQ(file_length(f), 32768);
    EXPECT_TRUE(file.open(f.c_str(), cache(), true));
}

TEST_P(qvPagedSceneFileTest, A_writer_holds_the_file_alone_and_readers_share_it) {
    make_scene_file(f, cache());
    qvPagedSceneFile writer, second, reader;
    ASSERT_TRUE(writer.open(f.c_str(), cache(), false));
    for (int other : {0, -1}) {
        EXPECT_FALSE(second.open(f.c_str(), other, false)) << other;
        EXPECT_FALSE(reader.open(f.c_str(), other, true)) << other;
    }
    writer.close();
    ASSERT_TRUE(reader.open(f.c_str(), cache(), true));
    ASSERT_TRUE(second.open(f.c_str(), -1 - cache(), true));   // the other device
    EXPECT_EQ(get(second.device(), "$UserData"), "user data");
    EXPECT_FALSE(writer.open(f.c_str(), cache(), false));
}

// On a full disk too: a writable open looks at the first two pages before
// it grows or reserves anything, so the disk is never asked.
TEST_P(qvPagedSceneFileTest, A_file_without_its_magics_gives_false_and_keeps_its_bytes) {
    for (long damaged : {0L, 1L}) {
        make_scene_file(f, 0);
        patch(f, qvPagePosition(damaged), le32(0x12345678));
        const std::string before = read_file(f);
        const long descriptors = open_descriptor_count();
        qvPagedSceneFile file;
        for (int open : {0, 1, 2}) {   // read-only, writable, writable on a full disk
            if (open == 2) platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
            EXPECT_FALSE(file.open(f.c_str(), cache(), open == 0)) << damaged << open;
            platform::clear_failures();
            EXPECT_TRUE(raises<E>([&] { file.device(); }, "Pagefile has not been opened"));
        }
        EXPECT_TRUE(read_file(f) == before);
        EXPECT_EQ(open_descriptor_count(), descriptors);
    }
}

namespace {

// Another program that writes its own file, without a lock, while an open
// looks at it (a writable one; a reader too where a row says so): at the
// first call the device makes of the file once it is open (or just before
// its n-th read of it), it appends to it (a log) or empties it (a log
// rotated by copy and truncate), and notes the file as it left it.
enum class Owner { leaves, appends, empties };
Owner owner = Owner::leaves;
std::string owned_path;
bool owner_waits = false;
int owner_before_read = 0;   // 0: at the first call after the open
int reads_seen = 0;
struct stat owner_left {};

void owner_writes(platform::Call call, long long) noexcept {
    if (call == platform::Call::open) {   // the seam comes before the open
        owner_waits = true;
        reads_seen = 0;
    }
    if (call == platform::Call::open || !owner_waits) return;
    if (owner_before_read > 0 && (call != platform::Call::read || ++reads_seen < owner_before_read)) return;
    owner_waits = false;
    const int fd = ::open(owned_path.c_str(), O_WRONLY | (owner == Owner::appends ? O_APPEND : O_TRUNC));
    if (owner == Owner::appends && ::write(fd, "a line the owner logged\n", 24) != 24) std::abort();
    ::fstat(fd, &owner_left);
    ::close(fd);
}

// What a refused open must not change of a file besides its bytes.
bool same_length_blocks_and_time(struct stat const& a, struct stat const& b) {
    return a.st_size == b.st_size && a.st_blocks == b.st_blocks && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

// Regression: a writable open laid a new page file out over a file of 1 to
// 16,383 bytes (100 of another program's bytes were 32,768 at the close),
// and over a page file cut inside its directory page (20,000 bytes came out
// 81,920 long, the directory's lost part grown over with zeros). Only an
// empty file is new: a shorter file than the map and the directory answers
// false on every device and keeps its bytes, as a longer foreign file does.
// Regression: a refused writable open cut the file back to the length it
// had opened it with, so what its owner appended meanwhile was lost, and a
// file its owner emptied got its old length back as zeros; a mapped open
// reserved a sparse file's hole (1 MiB of blocks for 100 bytes) and
// changed its time, growing and cutting it, before it looked at it. Such a
// file is left as its owner leaves it: bytes, length, blocks and time.
// Regression: a read-only mapped open mapped a foreign file and read its
// first page through the view, so an owner that emptied the file meanwhile
// ended the process with SIGBUS; it looks through the descriptor first.
TEST(qvPagedSceneFile, A_file_that_is_no_page_file_is_refused_and_left_as_its_owner_leaves_it) {
    ScratchDir dir;
    const std::string path = dir / "short";
    make_scene_file(path, 0);
    const std::string whole = read_file(path);
    // A map that leaves its own page free; and one that leaves page 1 free
    // over a page without the directory's magic, which a writable open takes
    // for the directory's probe to lay out anew.
    std::string map_without_itself = whole;
    map_without_itself[8] = static_cast<char>(map_without_itself[8] & ~1);
    std::string map_without_directory = whole.substr(0, 16384);
    std::fill(map_without_directory.begin() + 8, map_without_directory.end(), '\0');
    map_without_directory[8] = 1;
    map_without_directory += std::string(16384, '\0');
    enum Opens { none, writable_as_new, both };
    const struct {
        char const* name;
        std::string bytes;
        Opens opens;
        Owner owner = Owner::leaves;
        long long sparse_to = 0;   // the length a hole after the bytes gives the file
        bool owner_acts_under_readers = false;   // else only under writable opens
        int owner_before_read = 0;               // else at the first call after the open
    } rows[] = {{"an empty file", "", writable_as_new},
                {"1 other byte", "x", none},
                {"100 other bytes", paged_scene_test::user_bytes(100, 3), none},
                {"16,383 other bytes", paged_scene_test::user_bytes(16383, 5), none},
                {"16,384 other bytes", paged_scene_test::user_bytes(16384, 7), none},
                {"40,000 other bytes", paged_scene_test::user_bytes(40000, 9), none},
                {"a page file cut to 16,384", whole.substr(0, 16384), none},
                {"a page file cut to 20,000", whole.substr(0, 20000), none},
                {"a page file cut to 32,767", whole.substr(0, 32767), none},
                {"a whole page file", whole, both},
                {"a page file without its directory's magic", whole.substr(0, 16384) + "XXXX" + whole.substr(16388),
                 none},
                {"16 other bytes appended to", paged_scene_test::user_bytes(16, 11), none, Owner::appends},
                {"40,000 other bytes appended to", paged_scene_test::user_bytes(40000, 13), none, Owner::appends},
                {"16 other bytes emptied", paged_scene_test::user_bytes(16, 15), none, Owner::empties},
                {"40,000 other bytes emptied", paged_scene_test::user_bytes(40000, 17), none, Owner::empties},
                {"100 other bytes and a hole to 1 MiB", paged_scene_test::user_bytes(100, 19), none, Owner::leaves,
                 1 << 20},
                {"a map without its own page and a hole to 1 MiB", map_without_itself, none, Owner::leaves, 1 << 20},
                {"a map that leaves page 1 free, no directory", map_without_directory, writable_as_new},
                {"40,000 other bytes emptied under readers too", paged_scene_test::user_bytes(40000, 21), none,
                 Owner::empties, 0, true},
                {"40,000 other bytes appended to under readers too", paged_scene_test::user_bytes(40000, 23), none,
                 Owner::appends, 0, true},
                // The look of a writable or mapped open reads the map, then
                // the directory's page: the second read's short count is all
                // that refuses this file there.
                {"a map that leaves page 1 free, emptied between the look's reads", map_without_directory, none,
                 Owner::empties, 0, true, 2}};
    for (int cache : {0, 16384, 1 << 20, -1}) {
        for (auto const& row : rows) {
            SCOPED_TRACE(std::string(row.name) + ", cache " + std::to_string(cache));
            const long descriptors = open_descriptor_count();
            const std::string bytes =
                row.bytes + std::string(row.sparse_to ? row.sparse_to - row.bytes.size() : 0, '\0');
            qvPagedSceneFile file;
            for (bool read_only : {false, true}) {
                write_file(path, row.bytes);
                if (row.sparse_to) {
                    ASSERT_EQ(::truncate(path.c_str(), row.sparse_to), 0);
                }
                struct stat before {};
                ASSERT_EQ(::stat(path.c_str(), &before), 0);
                const bool opens = row.opens == both || (row.opens == writable_as_new && !read_only);
                owner = read_only && !row.owner_acts_under_readers ? Owner::leaves : row.owner;
                owned_path = path;
                owner_waits = false;
                owner_before_read = row.owner_before_read;
                if (owner != Owner::leaves) platform::observe_calls(&owner_writes);
                EXPECT_EQ(file.open(path.c_str(), cache, read_only), opens) << read_only;
                platform::observe_calls(nullptr);
                if (file.is_open()) {
                    EXPECT_EQ(file.device().find_root("$UserData") != 0, row.opens == both);
                }
                file.close();
                struct stat after {};
                ASSERT_EQ(::stat(path.c_str(), &after), 0);
                if (owner == Owner::appends) {
                    EXPECT_TRUE(read_file(path) == bytes + "a line the owner logged\n");
                } else if (owner == Owner::empties) {
                    EXPECT_EQ(file_length(path), 0);
                } else if (!opens || read_only) {
                    EXPECT_TRUE(read_file(path) == bytes) << read_only;
                } else if (row.opens == writable_as_new) {
                    EXPECT_EQ(file_length(path), 32768);
                }
                if (!opens) {
                    EXPECT_TRUE(same_length_blocks_and_time(after, owner == Owner::leaves ? before : owner_left))
                        << read_only;
                }
            }
            if (row.opens == none) {
                write_file(path, row.bytes);
                if (row.sparse_to) {
                    ASSERT_EQ(::truncate(path.c_str(), row.sparse_to), 0);
                }
                qvPagedScene scene;
                owner = row.owner_acts_under_readers ? row.owner : Owner::leaves;
                owner_waits = false;
                owner_before_read = row.owner_before_read;
                if (owner != Owner::leaves) platform::observe_calls(&owner_writes);
                EXPECT_FALSE(scene.open(path.c_str(), cache, false));   // a scene looks read-only first
                platform::observe_calls(nullptr);
                if (owner == Owner::empties) {
                    EXPECT_EQ(file_length(path), 0);
                } else {
                    EXPECT_TRUE(read_file(path) == bytes + (owner == Owner::appends ? "a line the owner logged\n" : ""));
                }
            }
            EXPECT_EQ(open_descriptor_count(), descriptors);
        }
    }
}

// --- reopening --------------------------------------------------------------------------------

TEST_P(qvPagedSceneFileTest, An_open_file_must_be_closed_before_another_create_or_open) {
    qvPagedSceneFile file;
    file.create(f.c_str(), cache());
    const char* const text = "Pagefile should be closed before re-opening";
    EXPECT_TRUE(raises<E>([&] { file.create(f.c_str(), cache()); }, text));
    EXPECT_TRUE(raises<E>([&] { file.create(f.c_str(), std::size_t{0}); }, text));
    EXPECT_TRUE(raises<E>([&] { file.open(f.c_str(), cache(), true); }, text));
    EXPECT_TRUE(raises<E>([&] { file.open((dir / "missing").c_str(), std::size_t{0}, true); }, text));
    put(file.device(), "s", "kept");
    file.close();
    file.close();
    EXPECT_FALSE(file.is_open());
    ASSERT_TRUE(file.open(f.c_str(), cache(), false));
    EXPECT_EQ(get(file.device(), "s"), "kept");
}

TEST_P(qvPagedSceneFileTest, A_file_made_with_one_device_reads_the_same_with_the_other) {
    make_scene_file(f, cache());
    qvPagedSceneFile file;
    ASSERT_TRUE(file.open(f.c_str(), -1 - cache(), false));
    qvPageDevice& device = file.device();
    EXPECT_EQ(device.find_root("$Layout"), 2);
    EXPECT_EQ(device.find_root("extra"), 2);
    EXPECT_EQ(get(device, "$Layout"), std::string(20000, 'L'));
    EXPECT_EQ(get(device, "$UserData"), "user data");
    put(device, "$UserData", "changed by the other device");
    file.close();
    ASSERT_TRUE(file.open(f.c_str(), cache(), true));
    EXPECT_EQ(get(file.device(), "$UserData"), "changed by the other device");
}

// --- read-only use and damaged files -----------------------------------------------------------

TEST_P(qvPagedSceneFileTest, A_read_only_file_reads_and_refuses_every_change_without_touching_the_file) {
    make_scene_file(f, cache());
    const std::string before = read_file(f);
    qvPagedSceneFile file;
    ASSERT_TRUE(file.open(f.c_str(), cache(), true));
    qvPageDevice& device = file.device();
    EXPECT_EQ(get(device, "$Layout"), std::string(20000, 'L'));
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileDirectory>>([&] { device.create_root("new", 2); },
                                                          "Cannot modify a read-only file"));
    EXPECT_TRUE(raises<qvErrorFrom<qvPageFileDirectory>>([&] { device.remove_root("extra"); },
                                                          "Cannot modify a read-only file"));
    EXPECT_EQ(message_of([&] { device.allocate(); }), "Attempt to modify a read-only file");
    EXPECT_EQ(message_of([&] { qvPageOStream(device, "$UserData"); }), "Attempt to modify a read-only file");
    EXPECT_EQ(message_of([&] { qvPageLock(device, 2, true, 0.0f); }), "Attempt to modify a read-only file");
    file.close();
    EXPECT_TRUE(read_file(f) == before);
}

TEST_P(qvPagedSceneFileTest, A_trailing_part_of_a_page_is_not_a_page) {
    make_scene_file(f, cache());
    ASSERT_EQ(::truncate(f.c_str(), 4 * 16384 + 100), 0);
    qvPagedSceneFile file;
    ASSERT_TRUE(file.open(f.c_str(), cache(), true));
    EXPECT_EQ(file.device().page_count(), 4);
    EXPECT_EQ(message_of([&] { file.device().lock(4, false); }), "Part of the Orvane pagefile is missing");
    EXPECT_EQ(message_of([&] { get(file.device(), "$UserData"); }), "Invalid or corrupt Orvane pagefile");
    EXPECT_EQ(get(file.device(), "$Layout"), std::string(20000, 'L'));   // pages 2 and 3 are whole
    file.close();
    EXPECT_EQ(file_length(f), 4 * 16384 + 100);
}

// --- closing ----------------------------------------------------------------------------------

// Nothing is lost when the durable end fails: the file stays open, and the
// next close writes it.
TEST_P(qvPagedSceneFileTest, A_close_that_cannot_sync_keeps_the_file_open_for_another_try) {
    qvPagedSceneFile file;
    file.create(f.c_str(), cache() < 0 ? -1 : 1 << 20);
    put(file.device(), "s", "durable");
    platform::fail_next(platform::Call::sync, EIO);
    EXPECT_EQ(message_of([&] { file.close(); }), "I/O error while writing file");
    EXPECT_TRUE(file.is_open());
    file.close();
    ASSERT_TRUE(file.open(f.c_str(), 0, true));
    EXPECT_EQ(get(file.device(), "s"), "durable");
}

// A seal ends with its session, whether that close returned or failed once
// the device had ended (the I/O device's descriptor close; a view's reports
// nothing). The next session on the object, not sealed, must close: taken
// for a sealed file changed since, it would be let go (a mapped file with
// its view's spare pages, nothing synced) or lose its stamp.
TEST_P(qvPagedSceneFileTest, A_seal_ends_with_its_session_and_the_next_session_closes_whole) {
    const std::string held = paged_scene_test::user_bytes(300000, 41);
    const int big_cache = cache() < 0 ? -1 : 4 << 20;   // holds every page of `held` unwritten
    for (bool close_fails : {false, true}) {
        if (close_fails && cache() < 0) continue;
        SCOPED_TRACE(close_fails ? "sealed close failed after the end" : "sealed close returned");
        qvPagedSceneFile file;
        file.create(f.c_str(), big_cache);
        put(file.device(), "s", "sealed");
        file.device().flush();
        file.seal();
        if (close_fails) platform::fail_next(platform::Call::close, EIO);
        EXPECT_EQ(message_of([&] { file.close(); }), close_fails ? "I/O error while writing file" : "");
        ASSERT_FALSE(file.is_open());
        ASSERT_TRUE(file.open(f.c_str(), big_cache, false));
        put(file.device(), "held", held);
        const long pages = file.device().page_count();
        const std::uint64_t stamp = file.stamp();
        file.close();
        EXPECT_EQ(file_length(f), pages * 16384);   // a mapped file given up keeps its view's spare pages
        ASSERT_TRUE(file.open(f.c_str(), cache(), true));
        EXPECT_EQ(file.stamp(), stamp);
        EXPECT_TRUE(get(file.device(), "held") == held);
        EXPECT_EQ(get(file.device(), "s"), "sealed");
    }
}

// A file whose close keeps failing is given up by its destructor, which
// returns: the process goes on, and what the cache held unwritten is
// dropped (a mapped view's changes are the system's to write).
TEST_P(qvPagedSceneFileTest, A_destructor_whose_close_fails_gives_the_session_up_and_returns) {
    make_scene_file(f, cache());
    {
        qvPagedSceneFile file;
        ASSERT_TRUE(file.open(f.c_str(), cache() < 0 ? -1 : 1 << 20, false));
        put(file.device(), "$UserData", "never written");
        platform::fail_next(platform::Call::write, EIO, 1000);
        platform::fail_next(platform::Call::sync, EIO, 1000);
    }   // the destructor's close fails: given up
    platform::clear_failures();
    qvPagedSceneFile file;
    ASSERT_TRUE(file.open(f.c_str(), 0, true));
    if (cache() >= 0) {
        EXPECT_EQ(get(file.device(), "$UserData"), "user data");   // the cache was dropped
    }
    EXPECT_EQ(get(file.device(), "$Layout"), std::string(20000, 'L'));
}

// give_up and abandon end a session without writing: abandon also gives a
// writable file back the length it was opened with. Host streams still on
// the device end at once, a writer's bytes not stored (the stream reads as
// a killed writer leaves it), and outlive the device.
TEST_P(qvPagedSceneFileTest, Give_up_and_abandon_write_nothing_and_abandon_restores_the_length) {
    make_scene_file(f, cache());
    const std::string before = read_file(f);
    for (int row = 0; row < 6; ++row) {
        const bool abandon = row % 2 == 1 || row >= 4;
        const bool hosts = row == 2 || row == 3;   // host streams open on the device
        // Rows 4 and 5: another program appends to the grown file, or empties
        // it, before the abandon, which then leaves it as that program did.
        const Owner meddles = row == 4 ? Owner::appends : row == 5 ? Owner::empties : Owner::leaves;
        SCOPED_TRACE(row);
        std::unique_ptr<qvPageIStream> in;
        std::unique_ptr<qvPageOStream> out;
        qvPagedSceneFile file;
        ASSERT_TRUE(file.open(f.c_str(), cache() < 0 ? -1 : 1 << 20, false));
        for (int k = 0; k < 40; ++k) file.device().allocate();   // the file grows
        if (hosts) {
            in = std::make_unique<qvPageIStream>(file.device(), "$Layout");
            EXPECT_EQ(in->get(), 'L');
            out = std::make_unique<qvPageOStream>(file.device(), "$UserData");
            out->putn("never stored", 12);
        }
        if (meddles == Owner::appends) std::ofstream(f, std::ios::binary | std::ios::app) << "logged";
        if (meddles == Owner::empties) std::ofstream(f, std::ios::binary | std::ios::trunc);
        const long long meddled = file_length(f);
        if (abandon)
            file.abandon();
        else
            file.give_up();
        EXPECT_FALSE(file.is_open());
        file.give_up();   // nothing to do
        if (hosts) {
            EXPECT_TRUE(ended_then_destroyed(in, out));
            qvPagedSceneFile reread;
            ASSERT_TRUE(reread.open(f.c_str(), cache(), true));
            EXPECT_EQ(get(reread.device(), "$UserData"), "user data");
        }
        if (meddles != Owner::leaves) {
            EXPECT_EQ(file_length(f), meddled);
        } else if (abandon) {
            EXPECT_EQ(read_file(f).size(), before.size());
            if (cache() >= 0) {
                EXPECT_TRUE(read_file(f) == before);
            }
        } else {
            EXPECT_GT(read_file(f).size(), before.size());
        }
        qv_file_test::write_file(f, before);
    }
}

TEST_P(qvPagedSceneFileTest, A_close_with_a_stream_still_open_is_refused_until_the_stream_closes) {
    qvPagedSceneFile file;
    file.create(f.c_str(), cache());
    qvPageOStream out(file.device(), "s");
    EXPECT_EQ(message_of([&] { file.close(); }), "Cannot release the cache memory while pages are locked");
    EXPECT_TRUE(file.is_open());
    out.putn("late", 4);
    out.close();
    file.close();
    ASSERT_TRUE(file.open(f.c_str(), cache(), true));
    EXPECT_EQ(get(file.device(), "s"), "late");
    // Sealed, and written by another program since: refused all the same
    // while a reader stands on it, never let go under the reader.
    qvPageIStream in(file.device(), "s");
    file.seal();
    std::ofstream(f, std::ios::binary | std::ios::app) << 'x';
    EXPECT_EQ(message_of([&] { file.close(); }), "Cannot release the cache memory while pages are locked");
    EXPECT_EQ(in.get(), 'l');
    in.close();
    file.close();
    EXPECT_FALSE(file.is_open());
}

// --- sealed files -----------------------------------------------------------------------------

namespace {

// What another program does to a closed scene's file before the scene lets
// it go. Every change leaves a state the seal did not see: the chmod waits
// for the coarse clock the system stamps a status change with.
enum class Change { touch, chmod, append, rewrite };
constexpr char const* change_names[] = {"touch", "chmod", "append", "rewrite of the same bytes"};

void change_file(std::string const& path, Change change, int turn) {
    switch (change) {
    case Change::touch: {
        const timespec times[2] = {{1000000000L + turn, 0}, {1000000000L + turn, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        return;
    }
    case Change::chmod:
        ::usleep(20000);
        ASSERT_EQ(::chmod(path.c_str(), turn % 2 == 0 ? 0640 : 0600), 0);
        return;
    case Change::append: std::ofstream(path, std::ios::binary | std::ios::app) << "tail"; return;
    case Change::rewrite: write_file(path, read_file(path)); return;
    }
}

// A tmpfs to run a test on as well, when the machine has one.
std::vector<std::string> disk_and_tmpfs() {
    std::vector<std::string> roots = {fs::temp_directory_path().string()};
    if (::access("/dev/shm", W_OK) == 0) roots.emplace_back("/dev/shm");
    return roots;
}

}  // namespace

// Regression: a mapped file the scene kept sealed and that something then
// touched was let go without its cut, its view's 16 spare pages left in it,
// and the next writable open added 16 more: twenty touched sessions of one
// shape grew it to 6,307,840 bytes, where untouched ones kept 98,304.
TEST(qvPagedSceneFile, A_sealed_mapped_file_keeps_its_sessions_length_whatever_happens_to_it_later) {
    for (std::string const& root : disk_and_tmpfs()) {
        long long untouched = 0;
        for (bool touched : {false, true}) {
            SCOPED_TRACE(root + (touched ? ", touched" : ", untouched"));
            const ScopedTmpdir tmpdir(root);
            ScratchDir dir;
            const std::string path = dir / "touched.pgf";
            {
                qvPagedScene scene;
                for (int k = 0; k < 20; ++k) {
                    if (k == 0)
                        scene.create(path.c_str(), qvMathRectOf<double>(0, 0, 100, 100), -1);
                    else
                        ASSERT_TRUE(scene.open(path.c_str(), -1, false)) << k;
                    qvRectangle(scene, qvMathRectOf<double>(k, 2, k + 1.5, 4));
                    ASSERT_TRUE(scene.close());
                    EXPECT_EQ(file_length(path), scene.device().page_count() * 16384) << k;
                    if (touched) change_file(path, Change::touch, k);
                }
            }
            if (!touched) untouched = file_length(path);
            EXPECT_LE(file_length(path), untouched);
            qvPagedScene check;
            ASSERT_TRUE(check.open(path.c_str(), -1, true));
            EXPECT_EQ(check.size(-1), 20);
        }
    }
}

namespace {

// Writes, syncs and resizes seen while observing, in order: 'w', 's', 'r'.
std::string file_changes;
void record_file_changes(platform::Call call, long long) noexcept {
    if (file_changes.size() >= 64) return;
    if (call == platform::Call::write) file_changes += 'w';
    if (call == platform::Call::sync) file_changes += 's';
    if (call == platform::Call::resize) file_changes += 'r';
}

}  // namespace

// The seal cuts the file and then syncs it, which puts the session's pages
// (never synced before here) and the cut on disk; letting the file go after
// it writes, syncs and cuts nothing. A reader standing in a stream across
// the seal reads on through the view remade at the cut.
TEST(qvPagedSceneFile, A_sealed_mapped_writer_lets_its_file_go_without_touching_it) {
    ScratchDir dir;
    const std::string path = dir / "settled.pgf", bytes = paged_scene_test::user_bytes(40000, 43);
    qvPagedSceneFile file;
    file.create(path.c_str(), -1);
    put(file.device(), "s", bytes);
    qvPageIStream in(file.device(), "s");
    std::string read(100, '\0');
    ASSERT_EQ(in.getn(read.data(), 100), 100);
    file_changes.clear();
    platform::observe_calls(&record_file_changes);
    file.seal();
    platform::observe_calls(nullptr);
    EXPECT_EQ(file_changes, "rss");   // the cut, then the view and the data synced
    EXPECT_EQ(file_length(path), file.device().page_count() * 16384);
    read.resize(40000);
    EXPECT_EQ(in.getn(read.data() + 100, 39900), 39900);
    EXPECT_TRUE(read == bytes);
    in.close();
    file_changes.clear();
    platform::observe_calls(&record_file_changes);
    file.close();
    platform::observe_calls(nullptr);
    EXPECT_EQ(file_changes, "");
    ASSERT_TRUE(file.open(path.c_str(), 0, true));
    EXPECT_TRUE(get(file.device(), "s") == bytes);
}

// A page cache's seal writes the pages its cache holds changed and then
// syncs once; after a flush (a scene flushes before it seals) it has
// nothing to write and nothing to sync, unless that flush's sync was
// refused. The close after any of them writes, syncs and cuts nothing.
TEST(qvPagedSceneFile, A_sealed_page_cache_writes_what_it_holds_and_syncs_once) {
    ScratchDir dir;
    const std::string path = dir / "sealed.pgf", bytes = paged_scene_test::user_bytes(40000, 59);
    qvPagedSceneFile file;
    enum { waiting, flushed, sync_refused } const befores[] = {waiting, flushed, sync_refused};
    for (auto before : befores) {
        SCOPED_TRACE(before == waiting  ? "stores waiting in the cache"
                     : before == flushed ? "flushed before the seal"
                                         : "flushed before the seal, its sync refused");
        if (before != waiting)
            ASSERT_TRUE(file.open(path.c_str(), 1 << 20, false));
        else
            file.create(path.c_str(), 1 << 20);
        put(file.device(), "s", bytes);
        if (before == sync_refused) platform::fail_next(platform::Call::sync, EIO);
        if (before != waiting) {
            EXPECT_EQ(message_of([&] { file.device().flush(); }), before == flushed ? "" : "I/O error while writing file");
        }
        file_changes.clear();
        platform::observe_calls(&record_file_changes);
        file.seal();
        const std::string sealing = file_changes;
        file_changes.clear();
        file.close();
        platform::observe_calls(nullptr);
        EXPECT_EQ(sealing, before == flushed      ? ""
                           : before == sync_refused ? "s"   // the flush's writes may not be on disk
                                                    : std::string(sealing.size() - 1, 'w') + "s");
        EXPECT_GE(sealing.size(), before == waiting ? 4u : 0u);   // the stream's three pages and more
        EXPECT_EQ(file_changes, "");
        ASSERT_TRUE(file.open(path.c_str(), 0, true));
        EXPECT_TRUE(get(file.device(), "s") == bytes);
        file.close();
    }
}

// A sealed session is whole whatever another program does to its file
// before the scene lets it go, with the user stream open then or not, and
// nothing that program wrote is cut when it is let go.
TEST(qvPagedSceneFile, A_sealed_session_changed_from_outside_stays_whole_on_both_devices) {
    const std::string users = std::string(30000, 'u') + "end";
    for (int cache : {1 << 20, -1}) {
        for (Change change : {Change::touch, Change::chmod, Change::append, Change::rewrite}) {
            for (bool reading : {false, true}) {
                for (bool next_open : {false, true}) {
                    SCOPED_TRACE(std::string(change_names[static_cast<int>(change)]) + (cache < 0 ? ", mapped" : ", cached") +
                                 (reading ? ", user stream open" : "") +
                                 (next_open ? ", ended by the next open" : ", ended by the destructor"));
                    ScratchDir dir;
                    const std::string path = dir / "changed.pgf";
                    std::string sealed;
                    {
                        qvPagedScene scene;
                        scene.create(path.c_str(), qvMathRectOf<double>(0, 0, 100, 100), cache);
                        for (int k = 0; k < 12; ++k) qvRectangle(scene, qvMathRectOf<double>(k, 1, k + 0.5, 3));
                        scene.output_stream().putn(users.data(), static_cast<int>(users.size()));
                        ASSERT_TRUE(scene.close());
                        sealed = read_file(path);
                        EXPECT_EQ(static_cast<long long>(sealed.size()), scene.device().page_count() * 16384);
                        std::string read(reading ? 1000 : 0, '\0');
                        qvInputStream* const in = reading ? &scene.input_stream() : nullptr;
                        if (in) read.resize(static_cast<std::size_t>(in->getn(read.data(), 1000)));
                        change_file(path, change, 0);
                        if (in) read += paged_scene_test::read_all(*in);
                        EXPECT_TRUE(!in || read == users);
                        if (next_open) {
                            ASSERT_TRUE(scene.open(path.c_str(), cache, false));
                            EXPECT_EQ(scene.size(-1), 12);
                            EXPECT_TRUE(paged_scene_test::read_all(scene.input_stream()) == users);
                            qvRectangle(scene, qvMathRectOf<double>(50, 50, 51, 52));
                            ASSERT_TRUE(scene.close());
                        }
                    }
                    if (!next_open) {   // let go as it stood
                        EXPECT_TRUE(read_file(path) == sealed + (change == Change::append ? "tail" : ""));
                    }
                    qvPagedScene check;
                    ASSERT_TRUE(check.open(path.c_str(), cache, false));
                    EXPECT_EQ(check.size(-1), next_open ? 13 : 12);
                    EXPECT_TRUE(paged_scene_test::read_all(check.input_stream()) == users);
                    ASSERT_TRUE(check.close());
                }
            }
        }
    }
}

// Regression: a session sealed while its page cache still held stores lost
// them when its file changed before the close let it go (the stream read
// empty at the next open), and with a reader standing at the seal the
// refused close had first written pages 0, 1 and 3 to 5 into the changed
// file. The seal puts the stores in the file, so letting it go writes
// nothing and loses nothing, on every device.
TEST(qvPagedSceneFile, A_session_sealed_with_stores_waiting_keeps_them_when_its_file_changes) {
    const std::string bytes = paged_scene_test::user_bytes(40000, 47);
    for (int cache : {0, 16384, 1 << 20, -1}) {
        for (Change change : {Change::touch, Change::append}) {
            for (bool reading : {false, true}) {
                SCOPED_TRACE(std::to_string(cache) + ", " + change_names[static_cast<int>(change)] +
                             (reading ? ", a reader standing at the seal" : ""));
                ScratchDir dir;
                const std::string path = dir / "waiting.pgf";
                qvPagedSceneFile file;
                file.create(path.c_str(), cache);
                put(file.device(), "s", bytes);   // stored, not flushed
                std::unique_ptr<qvPageIStream> in;
                std::string read(reading ? 100 : 0, '\0');
                if (reading) {
                    in = std::make_unique<qvPageIStream>(file.device(), "s");
                    ASSERT_EQ(in->getn(read.data(), 100), 100);
                }
                file.seal();
                change_file(path, change, 0);
                const std::string changed = read_file(path);
                file_changes.clear();
                platform::observe_calls(&record_file_changes);
                if (reading) {
                    EXPECT_EQ(message_of([&] { file.close(); }), "Cannot release the cache memory while pages are locked");
                    read += paged_scene_test::read_all(*in);
                    in.reset();
                }
                file.close();
                platform::observe_calls(nullptr);
                EXPECT_EQ(file_changes, "");
                EXPECT_FALSE(file.is_open());
                EXPECT_TRUE(read_file(path) == changed);
                EXPECT_TRUE(read == (reading ? bytes : ""));
                ASSERT_TRUE(file.open(path.c_str(), cache, true));
                EXPECT_TRUE(get(file.device(), "s") == bytes);
            }
        }
    }
}

// The let-go of a changed file is the close's road cut short: twenty host
// sessions that each store a stream without a flush, seal, and have their
// file touched before it is let go end exactly as long as twenty that are
// closed, and every stream reads whole, on every device.
TEST(qvPagedSceneFile, Twenty_sealed_host_sessions_let_go_after_a_touch_end_as_long_as_closed_ones) {
    for (int cache : {0, 16384, 1 << 20, -1}) {
        long long closed_length = 0;
        for (bool touched : {false, true}) {
            SCOPED_TRACE(std::to_string(cache) + (touched ? ", touched" : ", closed"));
            ScratchDir dir;
            const std::string path = dir / "sessions.pgf";
            qvPagedSceneFile file;
            for (int k = 0; k < 20; ++k) {
                if (k == 0)
                    file.create(path.c_str(), cache);
                else
                    ASSERT_TRUE(file.open(path.c_str(), cache, false)) << k;
                put(file.device(), ("s" + std::to_string(k)).c_str(), paged_scene_test::user_bytes(20000, 60 + k));
                file.seal();
                if (touched) change_file(path, Change::touch, k);
                file.close();
            }
            if (!touched) closed_length = file_length(path);
            EXPECT_EQ(file_length(path), closed_length);
            ASSERT_TRUE(file.open(path.c_str(), cache, true));
            for (int k = 0; k < 20; ++k) {
                EXPECT_TRUE(get(file.device(), ("s" + std::to_string(k)).c_str()) ==
                            paged_scene_test::user_bytes(20000, 60 + k)) << k;
            }
        }
    }
}

// A seal whose write, cut or sync the system refuses never raises, and
// leaves its work to the close: a page cache's close writes the stores it
// still holds, into the file as another program left it when it changed
// since (a new stamp all the same); a mapped writer's close cuts and syncs
// an unchanged file, and one changed since is let go as it stands, its
// view's spare pages kept. The session reads whole either way. A sync
// refused for good is raised by that close, which can be tried again; a
// page the host holds locked for writing across the seal leaves the seal
// unfinished as a refusal does, and what the host stores in it after the
// seal reaches the file.
TEST(qvPagedSceneFile, A_seal_the_system_refuses_leaves_its_work_to_the_close) {
    constexpr int for_good = 1 << 30;
    const struct {
        int cache;
        platform::Call refused;
        int times;   // 0: nothing refused, a page held locked instead
        char const* name;
    } rows[] = {{1 << 20, platform::Call::write, 1, "page cache, write refused"},
                {1 << 20, platform::Call::sync, 1, "page cache, sync refused"},
                {-1, platform::Call::resize, 1, "mapped, cut refused"},
                {-1, platform::Call::sync, 1, "mapped, sync refused"},
                {1 << 20, platform::Call::sync, for_good, "page cache, sync refused for good"},
                {-1, platform::Call::sync, for_good, "mapped, sync refused for good"},
                {1 << 20, platform::Call::write, 0, "page cache, a page held locked"},
                {-1, platform::Call::write, 0, "mapped, a page held locked"}};
    const std::string bytes = paged_scene_test::user_bytes(40000, 53);
    const std::string before_seal(16384, 'a'), after_seal(16384, 'b');
    for (auto const& row : rows) {
        for (bool changed : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (changed ? ", the file touched after the seal" : ""));
            ScratchDir dir;
            const std::string path = dir / "refused.pgf";
            qvPagedSceneFile file;
            file.create(path.c_str(), row.cache);
            put(file.device(), "s", bytes);
            long held_page = 0;
            std::unique_ptr<qvPageLock> held;
            if (row.times == 0) {
                held_page = file.device().allocate();
                held = std::make_unique<qvPageLock>(file.device(), held_page, true, 0.0f);
                std::memcpy(held->data(), before_seal.data(), 16384);
            }
            const long pages = file.device().page_count();
            const std::uint64_t stamp = file.stamp();
            if (row.times > 0) platform::fail_next(row.refused, EIO, row.times);
            file.seal();
            if (row.times == 1) platform::clear_failures();
            if (held) {
                std::memcpy(held->data(), after_seal.data(), 16384);
                held.reset();
            }
            if (changed) change_file(path, Change::touch, 0);
            if (row.times == for_good && !(changed && row.cache < 0)) {   // a changed view is let go
                EXPECT_EQ(message_of([&] { file.close(); }), "I/O error while writing file");
                EXPECT_TRUE(file.is_open());
            }
            platform::clear_failures();
            EXPECT_EQ(message_of([&] { file.close(); }), "");
            EXPECT_FALSE(file.is_open());
            const bool spare_kept = changed && row.cache < 0 && row.refused != platform::Call::sync;
            EXPECT_EQ(file_length(path) > pages * 16384, spare_kept);
            ASSERT_TRUE(file.open(path.c_str(), row.cache, true));
            EXPECT_TRUE(get(file.device(), "s") == bytes);
            EXPECT_EQ(file.stamp() == stamp, !changed);
            if (row.times == 0) {
                EXPECT_EQ(std::memcmp(qvPageLock(file.device(), held_page, false, 0.0f).data(), after_seal.data(), 16384), 0);
            }
        }
    }
}

// --- the mapped writer ------------------------------------------------------------------------

namespace {

int reserves_granted = 0;   // the disk is full after this many reservations
void fill_the_disk(platform::Call call, long long) noexcept {
    if (call == platform::Call::reserve && reserves_granted-- == 0)
        platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
}

}  // namespace

// The I/O device extends files sparsely; a mapped writer that met such a
// hole on a full disk would die of SIGBUS, so it reserves the whole file.
// Regression: a disk that refused that, or the view's spare pages after
// it, made the open answer false as for a file that is no page file.
TEST(qvPagedSceneFile, A_mapped_writer_reserves_the_holes_of_a_sparse_file_or_refuses_it) {
    ScratchDir dir;
    const std::string name = dir / "sparse";
    qvPagedSceneFile file;
    file.create(name.c_str(), 0);
    for (int i = 0; i < 200; ++i) file.device().allocate();
    file.close();
    ASSERT_LT(file_length(name, true), 202 * 16384);
    const std::string before = read_file(name);
    const long descriptors = open_descriptor_count();
    for (int granted : {0, 1}) {   // the holes refused, or the spare pages
        reserves_granted = granted;
        platform::observe_calls(fill_the_disk);
        EXPECT_TRUE(raises<qvErrorFrom<qvFileMapping>>([&] { file.open(name.c_str(), -1, false); },
                                                       "Cannot create file mapping")) << granted;
        platform::observe_calls(nullptr);
        platform::clear_failures();
        EXPECT_FALSE(file.is_open());
        EXPECT_TRUE(read_file(name) == before);
        EXPECT_EQ(open_descriptor_count(), descriptors);
    }
    ASSERT_TRUE(file.open(name.c_str(), -1, false));
    EXPECT_GE(file_length(name, true), 202 * 16384);
    file.close();
    EXPECT_TRUE(read_file(name) == before + std::string(16384, '\0'));   // the directory's probe page
}

// The allocator marks a page before the count grows; the red zone clears
// the mark again, so the page comes back once the view has room. A view
// with no address range to grow in cannot move while a page is held; one
// that grows in place stops only where the disk is full. The error tells
// the two apart, whichever ask met the full disk.
TEST(qvPagedSceneFile, An_allocation_that_meets_the_red_zone_leaves_map_and_page_count_as_they_were) {
    const struct {
        char const* name;
        bool must_move;     // no address range to grow in
        bool disk_full;     // from the held page on
        bool quiet_first;   // and before it, at moments with no page held
        char const* refused;
    } rows[] = {
        {"view that must move", true, false, false, "Red zone overflow in the mapped file"},
        {"full disk", false, true, false, "Cannot create file mapping"},
        // Regression: the disk refused the move at a moment with no page
        // held, quietly, and the overflow under the held page (a page
        // stream's write) raised the red zone's message.
        {"full disk, view that must move", true, true, true, "Cannot create file mapping"},
    };
    for (auto const& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchDir dir;
        if (row.must_move) platform::fail_next(platform::Call::address_space, ENOMEM, 1 << 30);
        const std::string name = dir / "red";
        qvPagedSceneFile file;
        file.create(name.c_str(), -1);
        qvPageDevice& device = file.device();
        if (row.quiet_first) {
            platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
            // Into the headroom with no page held: the growth it asks is refused, quietly.
            const qvCacheOnMapping& cache = static_cast<qvMappedPageFile&>(device);
            while (device.page_count() + qvMappedPageFile::headroom <= cache.mapped()) device.allocate();
        }
        device.lock(0, false);   // the view cannot move now
        if (row.disk_full) platform::fail_next(platform::Call::reserve, ENOSPC, 1 << 30);
        long last = 0;
        std::string error;
        for (int i = 0; i < 200 && error.empty(); ++i) error = message_of([&] { last = device.allocate(); });
        EXPECT_EQ(error, row.refused);
        const long count = device.page_count();
        EXPECT_EQ(count, last + 1);
        EXPECT_EQ(file_length(name), count * 16384);   // the whole view is in use
        EXPECT_EQ(message_of([&] { device.allocate(); }), row.refused);
        EXPECT_EQ(device.page_count(), count);
        platform::clear_failures();
        device.unlock(0, 0.0f);
        EXPECT_EQ(device.allocate(), count);
        file.close();
        EXPECT_EQ(file_length(name), (count + 1) * 16384);
    }
}

// The view's changes reach the file without any close; the spare pages of
// the view stay behind as free pages.
TEST(qvPagedSceneFile, A_file_whose_mapped_writer_was_killed_opens_with_both_devices) {
    ScratchDir dir;
    const std::string name = dir / "killed";
    make_scene_file(name, -1);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* file = new qvPagedSceneFile;
        if (!file->open(name.c_str(), -1, false)) ::_exit(2);
        put(file->device(), "$UserData", "written, never closed");
        ::kill(::getpid(), SIGKILL);
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_GT(file_length(name), 5 * 16384);
    for (int cache : {0, -1}) {
        qvPagedSceneFile file;
        ASSERT_TRUE(file.open(name.c_str(), cache, false)) << cache;
        EXPECT_EQ(get(file.device(), "$UserData"), "written, never closed");
        EXPECT_EQ(get(file.device(), "$Layout"), std::string(20000, 'L'));
        file.close();
    }
}

// Past failure: a scene object, or a scene file, ended while a host's
// stream stood on its device raised "Cannot release the cache memory while
// pages are locked" from a destructor and ended the process, the session
// lost (50 shapes of 60, a mapped file that opened read-only only). The
// host's streams are ended first, every one of them, a writer keeping its
// returned bytes; the session closes whole, and the stream objects outlive
// the device (the exiting child checks them once its scene is gone).
TEST(qvPagedSceneFile, A_scene_or_file_ended_under_a_host_stream_ends_it_first_and_keeps_every_edit) {
    const std::string users(20000, 'u'), host_bytes = "host bytes, written and returned";
    for (int cache : {1 << 20, -1}) {
        for (int hosts : {1, 2, 3}) {   // a reader, a writer, or both
            const bool reader = (hosts & 1) != 0, writer = (hosts & 2) != 0;
            for (std::string const end : {"scene destroyed", "exit", "file destroyed"}) {
                SCOPED_TRACE(end + ", host streams " + std::to_string(hosts) + ", " + std::to_string(cache));
                ScratchDir dir;
                const std::string path = dir / "host.pgf";
                {
                    qvPagedScene maker;
                    maker.create(path.c_str(), qvMathRectOf<double>(0, 0, 100, 100), cache);
                    for (int k = 0; k < 50; ++k) qvRectangle(maker, qvMathRectOf<double>(k, 1, k + 1, 3));
                    maker.output_stream().putn(std::string(30000, 'o').data(), 30000);
                    put(maker.device(), "Host", "old");
                    ASSERT_TRUE(maker.close());
                }
                std::unique_ptr<qvPageIStream> in;
                std::unique_ptr<qvPageOStream> out;
                const auto stand = [&](qvPageDevice& device) {
                    if (writer) (out = std::make_unique<qvPageOStream>(device, "Host"))->putn(host_bytes.data(), 32);
                    if (reader) in = std::make_unique<qvPageIStream>(device, "Host");   // opened last, ended first
                };
                const auto edit = [&](qvPagedScene& scene) {
                    ASSERT_TRUE(scene.open(path.c_str(), cache, false));
                    stand(scene.device());
                    for (int k = 0; k < 10; ++k) qvRectangle(scene, qvMathRectOf<double>(k, 5, k + 2, 6));
                    scene.output_stream().putn(users.data(), 20000);
                };
                if (end == "scene destroyed") {
                    qvPagedScene scene;
                    edit(scene);
                } else if (end == "exit") {
                    const pid_t child = ::fork();
                    ASSERT_GE(child, 0);
                    if (child == 0) {
                        // Registered before the scene is made, so it runs after the scene's destructor.
                        at_exit_check = [&] { return static_cast<bool>(ended_then_destroyed(in, out)); };
                        std::atexit([] {
                            if (!at_exit_check()) ::_exit(3);
                        });
                        static qvPagedScene scene;
                        edit(scene);
                        std::exit(0);   // runs the scene's destructor, then the check
                    }
                    int status = 0;
                    ASSERT_EQ(::waitpid(child, &status, 0), child);
                    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
                } else {
                    qvPagedSceneFile file;
                    ASSERT_TRUE(file.open(path.c_str(), cache, false));
                    stand(file.device());
                }
                EXPECT_TRUE(ended_then_destroyed(in, out));   // in the child on the exit road
                qvPagedScene check;
                bool opened = false;   // a session given up keeps its open mark: the open raises
                EXPECT_EQ(message_of([&] { opened = check.open(path.c_str(), cache, false); }), "");
                ASSERT_TRUE(opened);
                EXPECT_EQ(check.size(-1), end == "file destroyed" ? 50 : 60);
                EXPECT_EQ(get(check.device(), "Host"), writer ? host_bytes : "old");
                if (end != "file destroyed") {
                    qvInputStream& user = check.input_stream();
                    std::string bytes(20001, '\0');
                    bytes.resize(static_cast<std::size_t>(user.getn(bytes.data(), 20001)));
                    EXPECT_TRUE(bytes == users);
                }
            }
        }
    }
}
