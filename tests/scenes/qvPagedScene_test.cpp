// The ready-made paged scene: create and open on one object, "$UserData"
// (and what of it a full disk lets reach the file), user streams a host
// keeps after they ended, close under a host's own stream on the device,
// close with proxies still alive, enumerations ended by close, the open
// mark that detects a writer that never closed (a forked child that ends
// without closing), and palettes the layout was not written with.
#include <orvane/scenes/qvPagedScene.hpp>

#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPageOStream.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "platform/qvPlatformFault.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPagedSceneTestSupport.hpp"
#include "qvSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using paged_scene_test::read_all;
using paged_scene_test::user_bytes;
using qv_file_test::raises;
using qv_file_test::ScratchDir;

namespace {

using E = qvErrorFrom<qvBasicPagedScene>;
using Rect = qvMathRectOf<double>;
constexpr char const* corrupt = "Invalid or corrupt Orvane pagefile";
constexpr int cache = 1 << 20;

Rect rect(double x1, double y1, double x2, double y2) { return Rect(qvRectOf<double>(x1, y1, x2, y2)); }

std::string file_bytes(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// "$UserData" of a closed file, read to its end.
std::string user_data(std::string const& path) {
    qvPagedScene scene;
    EXPECT_TRUE(scene.open(path.c_str(), cache, true));
    std::string bytes = read_all(scene.input_stream());
    scene.close();
    return bytes;
}

// Closes, freeing the disk after the first raise; true once a close returned.
bool closed_after_space_freed(qvPagedScene& scene) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            scene.close();
            return true;
        } catch (qvError const&) {
            orvane::platform::clear_failures();
        }
    }
    return false;
}

// Runs `body` in a forked child that ends with _exit, never closing.
template <class F>
void in_child(F&& body) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
}

// Opens, then every shape enumerated; the text of the first error, or "".
std::string salvage(std::string const& path, int cache_size) {
    try {
        qvPagedScene scene;
        if (!scene.open(path.c_str(), cache_size, true)) return "not opened";
        for (auto g = scene.enumerate(-1); g; ++g) {
        }
        scene.close();
    } catch (qvError const& error) {
        return static_cast<char const*>(error);
    }
    return "";
}

}  // namespace

TEST(qvPagedScene, Create_gives_its_layers_and_open_and_close_work_on_one_object) {
    ScratchDir dir;
    const std::string path = dir / "a.pgf";
    qvPagedScene scene;
    scene.create(path.c_str(), rect(0, 0, 10, 10), cache);
    EXPECT_EQ(scene.total_layers(), 1);
    EXPECT_NE(scene.device().find_root("$Open"), 0);
    EXPECT_TRUE(raises<E>([&] { scene.create(path.c_str(), rect(0, 0, 1, 1), cache); }, "Paged scene already initialized"));
    EXPECT_TRUE(scene.close());
    EXPECT_EQ(scene.device().find_root("$Open"), 0);
    EXPECT_TRUE(raises<E>([&] { scene.close(); }, "Paged scene was not initialized"));
    EXPECT_TRUE(raises<E>([&] { scene.output_stream(); }, "Paged scene was not initialized"));
    EXPECT_TRUE(raises<E>([&] { scene.connect(1); }, "Paged scene was not initialized"));

    scene.create(path.c_str(), 3, rect(0, 0, 10, 10), -1);   // mapped, replaced
    EXPECT_EQ(scene.total_layers(), 3);
    EXPECT_EQ(scene.layers()[2].scene_layer, 2);
    qvRectangle(scene, rect(1, 1, 2, 2));
    EXPECT_TRUE(scene.close());
    ASSERT_TRUE(scene.open(path.c_str(), cache, false));
    EXPECT_EQ(scene.size(0), 1);
    EXPECT_NE(scene.device().find_root("$Open"), 0);
    EXPECT_TRUE(scene.close());

    EXPECT_FALSE(scene.open((dir / "missing.pgf").c_str(), cache, false));
    EXPECT_FALSE(scene.open((dir / "missing.pgf").c_str(), -1, true));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.pgf"));
    EXPECT_FALSE(scene.is_open());
    ASSERT_TRUE(scene.open(path.c_str(), -1, false));
    EXPECT_EQ(scene.total_layers(), 3);
}

TEST(qvPagedScene, User_data_reads_back_and_destroying_an_open_scene_saves_it) {
    ScratchDir dir;
    const std::string path = dir / "u.pgf";
    {
        qvPagedScene scene;
        scene.create(path.c_str(), 2, rect(0, 0, 10, 10), cache);
        qvOutputStream& out = scene.output_stream();
        out.putn("user bytes", 10);
        qvInputStream& in = scene.input_stream();   // ends the output: complete
        char back[10] = {};
        EXPECT_EQ(in.getn(back, 10), 10);
        EXPECT_EQ(std::string(back, 10), "user bytes");
        qvRectangle(scene, rect(1, 1, 2, 2));
        qvOutputStream& again = scene.output_stream();
        again.putn("second", 6);
    }   // destroyed open: layout and stream are saved
    qvPagedScene scene;
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    EXPECT_EQ(scene.total_layers(), 2);
    EXPECT_EQ(scene.size(0), 1);
    char back[6] = {};
    EXPECT_EQ(scene.input_stream().getn(back, 6), 6);
    EXPECT_EQ(std::string(back, 6), "second");
}

TEST(qvPagedScene, Close_writes_back_live_proxies_and_later_edits_raise) {
    ScratchDir dir;
    const std::string path = dir / "p.pgf";
    qvPagedScene scene;
    scene.create(path.c_str(), rect(0, 0, 100, 100), cache);
    qvRectangle kept(scene, rect(1, 1, 2, 2));
    qvRectangle edited(scene, rect(3, 3, 4, 4));
    const long h = edited->shape_handle();
    edited->rectangle(rect(50, 50, 60, 60));
    auto walk = scene.enumerate(0);
    ASSERT_TRUE(walk);
    EXPECT_TRUE(scene.close());
    EXPECT_FALSE(walk);   // ended by close
    EXPECT_TRUE(raises<E>([&] { edited->rectangle(rect(0, 0, 1, 1)); }, "Paged scene was not initialized"));
    EXPECT_EQ(scene.loose_copies(), 2u);
    edited = qvRectangle();
    EXPECT_EQ(scene.loose_copies(), 1u);
    ASSERT_TRUE(scene.open(path.c_str(), cache, true));
    EXPECT_EQ(qvRectangle(scene, h)->rectangle(), rect(50, 50, 60, 60));
    EXPECT_EQ(scene.size(0), 2);
    // `kept` is released after the scene's close here and the scene's
    // destruction frees what it still holds (ASan sees no leak).
}

TEST(qvPagedScene, A_layout_opened_with_another_palette_choice_is_refused) {
    ScratchDir dir;
    const std::string path = dir / "c.pgf";
    qvMatchingPalette palette;
    {
        qvPagedScene scene(&palette);
        scene.create(path.c_str(), rect(0, 0, 10, 10), cache);
        scene.close();
    }
    qvPagedScene owned(orvane::auto_ptr<qvPalette>(new qvMatchingPalette(nullptr)));
    EXPECT_TRUE(raises<E>([&] { owned.open(path.c_str(), cache, true); },
                          "Stored layout incompatible with the scene's palette"));
    EXPECT_FALSE(owned.is_open());
    qvPagedScene shared(&palette);
    EXPECT_TRUE(shared.open(path.c_str(), cache, false));
}

TEST(qvPagedScene, A_writer_that_never_closed_is_detected_and_its_file_left_as_it_was) {
    ScratchDir dir;
    for (int device : {cache, -1}) {
        const std::string path = dir / ("crash" + std::to_string(device) + ".pgf");
        in_child([&] {
            qvPagedScene scene;
            scene.create(path.c_str(), 2, rect(0, 0, 100, 100), device);
            for (int k = 0; k < 300; ++k) qvRectangle(scene, rect(k % 90, k % 70, k % 90 + 3, k % 70 + 2));
            if (!scene.close()) ::_exit(3);
            if (!scene.open(path.c_str(), device, false)) ::_exit(4);
            for (int k = 0; k < 200; ++k) qvRectangle(scene, rect(k % 50, k % 40, k % 50 + 9, k % 40 + 1));
            qvRectangle(scene, 5)->rectangle(rect(70, 70, 80, 80));
            scene.device().flush();
            ::_exit(0);
        });
        const std::string left = file_bytes(path);
        for (int other : {cache, -1}) {
            qvPagedScene scene;
            EXPECT_TRUE(raises<E>([&] { scene.open(path.c_str(), other, false); }, corrupt));
            EXPECT_FALSE(scene.is_open());
            EXPECT_EQ(file_bytes(path), left);
        }
        const std::string read_only = salvage(path, device);
        EXPECT_TRUE(read_only.empty() || read_only == corrupt || read_only == "Cannot reconnect to the shape by handle")
            << read_only;
        EXPECT_EQ(file_bytes(path), left);
    }
    // Ended before its first close: no layout at all.
    const std::string early = dir / "early.pgf";
    in_child([&] {
        qvPagedScene scene;
        scene.create(early.c_str(), rect(0, 0, 10, 10), cache);
        qvRectangle(scene, rect(1, 1, 2, 2));
        ::_exit(0);
    });
    qvPagedScene scene;
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { scene.open(early.c_str(), cache, true); },
                                                   "Incomplete data on input"));
    EXPECT_FALSE(scene.is_open());
    EXPECT_TRUE(raises<E>([&] { scene.open(early.c_str(), cache, false); }, corrupt));
}

// The user stream's last page is in the stream's own copy until the
// scene's close stores it. A close that raises on a full disk there keeps
// the stream, and the retried close stores the page: it used to be dropped
// with the stream, which then read back short (16,350 of 20,000 bytes at a
// 64 KiB cache, none of 5,000 at 16 KiB).
TEST(qvPagedScene, A_close_raising_on_a_full_disk_keeps_the_user_stream_for_the_retried_close) {
    struct Case {
        int cache;
        std::size_t bytes;
        int adds_after;   // pushing the stream's page out of the cache
    };
    const Case cases[] = {{1 << 16, 20000, 0}, {1 << 14, 5000, 0}, {1 << 17, 100000, 0}, {1 << 16, 20000, 300},
                          {1 << 20, 20000, 20000}};
    ScratchDir dir;
    int n = 0;
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.cache) + " " + std::to_string(c.bytes) + " " + std::to_string(c.adds_after));
        const std::string path = dir / ("full" + std::to_string(++n) + ".pgf");
        const std::string user = user_bytes(c.bytes, static_cast<unsigned>(n));
        {
            qvPagedScene scene;
            scene.create(path.c_str(), rect(0, 0, 1000, 1000), c.cache);
            scene.output_stream().putn(user.data(), static_cast<int>(user.size()));
            for (int k = 0; k < c.adds_after; ++k) {
                const double x = (k * 37) % 990, y = (k * 53) % 990;
                qvRectangle(scene, rect(x, y, x + 5, y + 5));
            }
            orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC, 1 << 30);
            EXPECT_THROW(scene.close(), qvError);
            orvane::platform::clear_failures();
            EXPECT_TRUE(scene.close());
        }
        const std::string back = user_data(path);
        EXPECT_EQ(back.size(), user.size());
        EXPECT_TRUE(back == user);
    }
}

// The destructor ends the scene's own stream before it closes. Its last
// page pushed out of the cache, the read back at the store refused: the
// session is given up, open mark and all, rather than the device ending
// the stream as its destructor would (the failed store swallowed) and the
// close then writing a clean file short of bytes whose writes returned.
TEST(qvPagedScene, A_destructor_that_cannot_store_the_user_stream_never_leaves_a_clean_file_short_of_it) {
    ScratchDir dir;
    const std::string path = dir / "unread.pgf", user = user_bytes(20000, 21);
    {
        qvPagedScene scene;
        scene.create(path.c_str(), rect(0, 0, 1000, 1000), 1 << 16);
        scene.output_stream().putn(user.data(), 20000);
        for (int k = 0; k < 300; ++k) {
            const double x = (k * 37) % 990, y = (k * 53) % 990;
            qvRectangle(scene, rect(x, y, x + 5, y + 5));
        }
        orvane::platform::fail_next(orvane::platform::Call::read, EIO);
    }
    EXPECT_FALSE(orvane::platform::injected_failure(orvane::platform::Call::read));   // the store met it
    // Given up, its open mark kept: a writable open takes the file for one
    // a writer left open, and the scene stays closed.
    qvPagedScene scene;
    EXPECT_TRUE(raises<E>([&] { scene.open(path.c_str(), cache, false); }, corrupt));
    EXPECT_FALSE(scene.is_open());
}

// A user stream write that raises on a full disk has put none of its bytes
// past its last stored page, and every write that returned reaches the file
// once a close returns: the stream reads back exactly those bytes. In a
// rewrite of a longer stream that is a prefix of the new bytes, never new
// bytes followed by the old stream's (which a store linking the old chain
// and then a lost place in it used to leave).
TEST(qvPagedScene, A_user_stream_write_raising_on_a_full_disk_keeps_exactly_the_bytes_whose_writes_returned) {
    struct Case {
        int cache;
        std::size_t old_bytes;   // 0: a new stream
        int failures;            // writes refused: once, or until space is freed
    };
    const Case cases[] = {{1 << 14, 0, 1 << 30},     {1 << 16, 0, 1 << 30},     {1 << 14, 40000, 1},
                          {1 << 14, 40000, 1 << 30}, {1 << 16, 40000, 1},       {1 << 16, 40000, 1 << 30}};
    ScratchDir dir;
    int n = 0;
    for (Case const& c : cases) {
        SCOPED_TRACE(std::to_string(c.cache) + " " + std::to_string(c.old_bytes) + " " + std::to_string(c.failures));
        const std::string path = dir / ("write" + std::to_string(++n) + ".pgf");
        const std::string bytes = user_bytes(40000, static_cast<unsigned>(100 + n));
        std::string returned;
        int raised = 0;
        {
            qvPagedScene scene;
            scene.create(path.c_str(), rect(0, 0, 1000, 1000), c.cache);
            for (int k = 0; k < 200; ++k) qvRectangle(scene, rect(k, k, k + 5, k + 5));
            if (c.old_bytes != 0) {
                const std::string old = user_bytes(c.old_bytes, 7);
                scene.output_stream().putn(old.data(), static_cast<int>(old.size()));
                ASSERT_TRUE(scene.close());
                ASSERT_TRUE(scene.open(path.c_str(), c.cache, false));
            }
            qvOutputStream& out = scene.output_stream();
            out.putn(bytes.data(), 15000);
            returned = bytes.substr(0, 15000);
            orvane::platform::fail_next(orvane::platform::Call::write, ENOSPC, c.failures);
            for (std::size_t at = 15000; at < bytes.size(); at += 5000) {
                try {
                    out.putn(bytes.data() + at, 5000);
                    returned += bytes.substr(at, 5000);
                } catch (qvError const&) {
                    ++raised;
                    break;
                }
            }
            EXPECT_TRUE(closed_after_space_freed(scene));
            orvane::platform::clear_failures();
        }
        const std::string back = user_data(path);
        EXPECT_EQ(back.size(), returned.size()) << raised;
        EXPECT_TRUE(back == returned);
    }
}

// Ending a user stream (asking for either kind, close, another file) used
// to free it under the host's reference: a later putn reached freed memory
// and returned as if it wrote. Now it lasts, closed, raising on every use.
TEST(qvPagedScene, User_streams_a_host_keeps_after_they_ended_raise_on_every_use_and_add_no_byte) {
    ScratchDir dir;
    const std::string path = dir / "kept.pgf", big = user_bytes(5000, 3);   // long: no copy
    qvPagedScene scene;
    scene.create(path.c_str(), rect(0, 0, 10, 10), cache);
    qvOutputStream& first = scene.output_stream();
    first.putn("first", 5);
    qvInputStream& reader = scene.input_stream();   // the other kind
    EXPECT_EQ(reader.get(), 'f');
    qvOutputStream& second = scene.output_stream();   // the other kind
    second.putn("second", 6);
    qvOutputStream& third = scene.output_stream();   // the same kind
    third.putn("third", 5);
    std::vector<qvOutputStream*> writers = {&first, &second};
    std::vector<qvInputStream*> readers = {&reader};
    const auto every_use_raises = [&] {
        char back[8];
        for (qvOutputStream* out : writers) {
            EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { out->put('x'); }, "Invalid streambuf"));
            EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { out->putn(big.data(), 5000); }, "Invalid streambuf"));
        }
        for (qvInputStream* in : readers) {
            EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { in->get(); }, "Invalid streambuf"));
            EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { in->getn(back, 8); }, "Invalid streambuf"));
            EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>([&] { in->skip(2); }, "Invalid streambuf"));
        }
    };
    every_use_raises();
    EXPECT_TRUE(scene.close());
    writers.push_back(&third);
    every_use_raises();
    const std::string sealed = file_bytes(path);
    readers.push_back(&scene.input_stream());   // the file stays open after close
    EXPECT_EQ(readers.back()->get(), 't');
    scene.create((dir / "other.pgf").c_str(), rect(0, 0, 10, 10), cache);
    every_use_raises();
    EXPECT_EQ(file_bytes(path), sealed);
    EXPECT_EQ(user_data(path), "third");
}

// A scene closed under a host's writer rewriting its stream (30,000 bytes
// over 30,000) sealed the device: the writer's later bytes raised, and the
// stream read 16,376 new bytes, then old ones. The refused close leaves
// the scene's own stream open and writable too.
TEST(qvPagedScene, A_close_under_a_host_stream_on_the_device_raises_and_changes_nothing) {
    ScratchDir dir;
    for (int device : {cache, -1}) {
        SCOPED_TRACE(device);
        const std::string path = dir / ("host" + std::to_string(device) + ".pgf");
        const std::string old_bytes = user_bytes(30000, 11), new_bytes = user_bytes(30000, 12);
        {
            qvPagedScene scene;
            scene.create(path.c_str(), rect(0, 0, 10, 10), device);
            qvPageOStream(scene.device(), "Host").putn(old_bytes.data(), 30000);
            qvPageOStream writer(scene.device(), "Host");
            for (int at = 0; at < 29000; at += 1000) writer.putn(new_bytes.data() + at, 1000);
            qvOutputStream& mine = scene.output_stream();
            mine.putn("mine", 4);   // the scene's own stream does not count
            EXPECT_TRUE(raises<E>([&] { scene.close(); }, "Cannot release the cache memory while pages are locked"));
            EXPECT_TRUE(scene.is_open());
            EXPECT_NE(scene.device().find_root("$Open"), 0);
            EXPECT_NO_THROW(mine.putn(", still", 7));   // not ended by the refused close
            writer.putn(new_bytes.data() + 29000, 1000);
            writer.close();
            EXPECT_TRUE(scene.close());
        }
        qvPagedScene scene;
        ASSERT_TRUE(scene.open(path.c_str(), device, true));
        qvPageIStream host(scene.device(), "Host");
        EXPECT_TRUE(read_all(host) == new_bytes);
        host.close();
        EXPECT_EQ(read_all(scene.input_stream()), "mine, still");
    }
}
