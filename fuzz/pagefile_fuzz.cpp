// libFuzzer target of the page file: the input is a page file. It is
// opened read-only (every page of the input locked, a few names looked up)
// and, as a copy, writable (every page locked, pages allocated, written and
// freed, roots created and removed); any outcome is a device or a qvError.
// A writable session that ends without error must leave a file that opens
// again read-only with every page readable. Small caches (0 to 3 pages, chosen by the last input
// byte) keep eviction and write-back busy. Only the pages the input holds
// are locked: a map chain that grows puts its page far out in a sparse file.
//
// Then the paged scene file: the input opened read-only with both devices
// and every name in its directory read as a page stream; and, on a copy
// per device, opened writable with one stream rewritten (a name from the
// directory, or "$UserData") and closed. A rewrite that ends without error
// must read back exactly, through the other device, from a file that must
// open. The mapped writer is skipped for an input whose first map page is
// full: its chain would grow by 2 GiB, reserved on disk.
//
// Last, the input opened read-only as a paged scene (one segment, its own
// handle tree): "$Layout" loads the handle tree, the segment and its
// quadtrees. A failed open leaves the scene not initialized; an open one
// draws every layer, writes its stream and closes.
//
// And through the ready-made paged scene, read-only over the I/O device
// (64 KiB cache) and over the mapped device, then writable on a copy (each
// device; the mapped one not for a full first map page, as above): every
// layer enumerated and drawn, every handle up to a bound connected and
// disconnected, "$UserData" read, the whole file walked (qvPageFileWalker)
// and the scene closed. A failed open leaves the scene not initialized and
// reusable; a scene whose close keeps failing is destroyed all the same
// (its session given up, the process going on). A writable session over a
// file that walked soundly and that closed cleanly leaves a file that
// opens and walks soundly.

#include "fuzz_support.hpp"

#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include "qvCountingPort.hpp"
#include "qvPageFileWalker.hpp"
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr long most_pages_locked = 64;

// One scratch directory per process, in memory when /dev/shm exists: a
// grown chain makes gigabyte-long sparse files. Removed at exit.
struct Scratch {
    Scratch() {
        const std::string base = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
        dir = base + "/qvpagefuzzXXXXXX";
        if (::mkdtemp(dir.data()) == nullptr) std::abort();
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string dir;
};

std::string const& scratch() {
    static const Scratch scratch;
    return scratch.dir;
}

void put_file(std::string const& name, std::uint8_t const* data, std::size_t size) {
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<char const*>(data),
                                                                  static_cast<std::streamsize>(size));
}

void lock_pages(qvPageFile& device, long pages) {
    for (long page = 0; page < pages && page < most_pages_locked; ++page) qvPageLock(device, page, false, 0.5f);
}

// Opens read-only, locks the input's pages and looks names up; a file that
// must open (one our own writable session left) aborts when it does not.
// Names are looked up apart: an entry the session never touched may still
// be corrupt.
void read_only_session(std::string const& name, int cache, bool must_open) {
    std::unique_ptr<qvPageFile> device;
    if (!qvfuzz::attempt([&] { device = std::make_unique<qvPageFile>(name.c_str(), cache, false, true); })) {
        if (must_open) std::abort();
        return;
    }
    if (!qvfuzz::attempt([&] { lock_pages(*device, device->page_count()); }) && must_open) std::abort();
    qvfuzz::attempt([&] {
        for (char const* root : {"$Layout", "$UserData", "", "a", "fuzz"}) device->find_root(root);
    });
    device->release();
}

void writable_session(std::string const& name, int cache, long input_pages) {
    qvPageFile device(name.c_str(), cache, false, false);
    lock_pages(device, input_pages);
    long pages[4];
    for (long& page : pages) {
        page = device.allocate();
        qvPageLock(device, page, true, 0.0f).set_word(0, static_cast<std::uint32_t>(page));
    }
    device.create_root("fuzz", pages[0]);
    device.free(pages[1]);
    device.free(pages[3]);
    device.remove_root("$Layout");
    device.allocate();
    device.release();
}

// --- page streams through the paged scene file ---------------------------------------------

// The names of the input's directory page, as a reader of the bytes sees
// them (at most 23 characters; the count bounded by the table's room).
std::vector<std::string> directory_names(std::uint8_t const* data, std::size_t size) {
    std::vector<std::string> names;
    if (size < 2 * qvPageBytes) return names;
    std::uint8_t const* const page = data + qvPageBytes;
    std::uint32_t count = qvPageWord(page, 4);
    if (count > 511) count = 511;
    for (std::uint32_t i = 0; i < count; ++i) {
        char const* name = reinterpret_cast<char const*>(page + 8 + 32 * i + 8);
        names.emplace_back(name, ::strnlen(name, 23));
    }
    return names;
}

bool first_map_page_full(std::uint8_t const* data, std::size_t size) {
    if (size < qvPageBytes) return false;
    for (std::size_t offset = 8; offset < qvPageBytes - 4; offset += 4)
        if (qvPageWord(data, offset) != 0xFFFFFFFF) return false;
    return true;
}

std::string read_stream(qvPageDevice& device, char const* name) {
    qvPageStreamBuf stream(device, name, false);
    std::string bytes;
    char chunk[4096];
    for (std::streamsize n; (n = stream.sgetn(chunk, sizeof chunk)) > 0 && bytes.size() < (1u << 24);)
        bytes.append(chunk, static_cast<std::size_t>(n));
    stream.close();
    return bytes;
}

void read_every_stream(std::string const& name, int cache, std::vector<std::string> const& names) {
    qvPagedSceneFile file;
    if (!file.open(name.c_str(), cache, true)) return;
    for (std::string const& root : names) qvfuzz::attempt([&] { read_stream(file.device(), root.c_str()); });
    file.close();
}

// Rewrites one stream with `bytes` and closes the file; true when all of it
// succeeded. The file is closed whatever happens.
bool rewrite_stream(std::string const& name, int cache, std::string const& root, std::string const& bytes) {
    qvPagedSceneFile file;
    if (!file.open(name.c_str(), cache, false)) return false;
    const bool written = qvfuzz::attempt([&] {
        qvPageStreamBuf stream(file.device(), root.c_str(), true);
        stream.sputn(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        stream.close();
    });
    const bool closed = qvfuzz::attempt([&] { file.close(); });
    if (!closed) qvfuzz::attempt([&] { file.close(); });   // a second try after a failed sync
    return written && closed;
}

void stream_sessions(std::uint8_t const* data, std::size_t size) {
    const std::string original = scratch() + "/streams";
    const std::vector<std::string> names = directory_names(data, size);
    put_file(original, data, size);
    for (int cache : {2 * 16384, -1}) read_every_stream(original, cache, names);

    const std::string root = names.empty() ? std::string("$UserData") : names[size % names.size()];
    const std::size_t length = size == 0 ? 0 : (data[0] * 397u) % 40000u;
    std::string bytes(length, '\0');
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i * 31 + size);
    for (int cache : {0, -1}) {
        if (cache < 0 && first_map_page_full(data, size)) continue;
        put_file(original, data, size);
        if (!rewrite_stream(original, cache, root, bytes)) continue;
        qvPagedSceneFile file;
        if (!file.open(original.c_str(), -1 - cache, true)) std::abort();
        std::string back;
        if (!qvfuzz::attempt([&] { back = read_stream(file.device(), root.c_str()); }) || back != bytes)
            std::abort();
        file.close();
    }
    fs::remove(original);
}

}  // namespace

namespace {

void layout_session(std::string const& name, int cache) {
    qvPagedSceneFile file;
    if (!qvfuzz::attempt([&] { (void)file.open(name.c_str(), cache, true); }) || !file.is_open()) return;
    {
        qvMatchingPalette palette;
        qvPagedSceneSegment segment(file);
        qvBasicPagedScene scene(file, &palette, false);
        scene.add_segment(segment, true);
        if (!qvfuzz::attempt([&] { scene.open(true); })) {
            if (scene.is_open() || segment.total_layers() != 0) std::abort();
        } else {
            qvCountingPort port;
            qvfuzz::attempt([&] { scene.render(port, -1, qvMathRectOf<double>(-1e30, -1e30, 1e30, 1e30), false); });
            qvfuzz::attempt([&] { (void)qvfuzz::saved([&](qvOutputStream& out) { scene.save(out); }, qvVersion()); });
            scene.close();
        }
    }
    qvfuzz::attempt([&] { file.close(); });
}

constexpr long most_handles = 2048;

void touch_handles(qvPagedScene& scene) {
    for (long h = 1; h <= most_handles; ++h) {
        qvShapeBase* record = nullptr;
        if (!qvfuzz::attempt([&] { record = scene.connect(h); }) || record == nullptr) continue;
        scene.disconnect(record);
    }
}

void read_user_data(qvPagedScene& scene) {
    qvInputStream& in = scene.input_stream();
    char chunk[4096];
    std::size_t total = 0;
    for (int n; (n = in.getn(chunk, static_cast<int>(sizeof chunk))) > 0 && total < (1u << 24);)
        total += static_cast<std::size_t>(n);
}

// Every layer enumerated and drawn, every handle connected and
// disconnected, "$UserData" read.
void exercise(qvPagedScene& scene);

// Whether the whole file walks without a raise or a failed cross-check.
bool walks_soundly(qvPagedScene& scene) {
    bool sound = false;
    qvfuzz::attempt([&] { sound = qv_page_walk::walk(scene).sound(); });
    return sound;
}

// A file that walked soundly when it was opened writable, and whose
// session closed cleanly, must open again and walk soundly: the session
// keeps every record and its handle.
void check_written(std::string const& name) {
    qvPagedScene scene;
    bool opened = false;
    if (!qvfuzz::attempt([&] { opened = scene.open(name.c_str(), 1 << 16, true); }) || !opened) {
        std::fprintf(stderr, "finding: a cleanly closed file does not open\n");
        std::abort();
    }
    const qv_page_walk::Walk walk = qv_page_walk::walk(scene);
    if (!walk.sound()) {
        std::fprintf(stderr, "finding: a cleanly closed file walks with: %s\n", walk.problems.front().c_str());
        std::abort();
    }
    scene.close();
}

void scene_session(std::string const& name, int cache, bool read_only) {
    bool sound = false;
    bool closed = false;
    {
        qvPagedScene scene;
        bool opened = false;
        if (!qvfuzz::attempt([&] { opened = scene.open(name.c_str(), cache, read_only); })) {
            if (scene.is_open()) std::abort();
            return;
        }
        if (!opened) return;
        sound = walks_soundly(scene);
        exercise(scene);
        for (int attempt = 0; attempt < 2 && !closed; ++attempt)
            closed = qvfuzz::attempt([&] { (void)scene.close(); });
        if (!closed && !scene.is_open()) std::abort();   // a failed close leaves the scene open
    }
    if (!read_only && sound && closed) check_written(name);
}

void exercise(qvPagedScene& scene) {
    qvfuzz::attempt([&] {
        for (auto g = scene.enumerate(-1); g; ++g) {
        }
    });
    qvfuzz::attempt([&] {
        qvCountingPort port;
        scene.render(port, -1, qvMathRectOf<double>(-1e30, -1e30, 1e30, 1e30), false);
    });
    touch_handles(scene);
    qvfuzz::attempt([&] { read_user_data(scene); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    const std::string original = scratch() + "/input";
    const std::string copy = scratch() + "/copy";
    const int cache = size == 0 ? 0 : (data[size - 1] % 4) * 16384;
    const long input_pages = static_cast<long>(size / 16384);
    put_file(original, data, size);
    read_only_session(original, cache, false);

    put_file(copy, data, size);
    if (qvfuzz::attempt([&] { writable_session(copy, cache, input_pages); })) read_only_session(copy, cache, true);
    fs::remove(original);
    fs::remove(copy);
    stream_sessions(data, size);
    put_file(original, data, size);
    layout_session(original, cache);
    scene_session(original, 1 << 16, true);
    scene_session(original, -1, true);
    fs::remove(original);
    put_file(copy, data, size);
    scene_session(copy, 1 << 16, false);
    fs::remove(copy);
    if (!first_map_page_full(data, size)) {
        put_file(copy, data, size);
        scene_session(copy, -1, false);
        fs::remove(copy);
    }
    return 0;
}
