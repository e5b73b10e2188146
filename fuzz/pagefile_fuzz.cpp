// libFuzzer target of the page file: the input is a page file. It is
// opened read-only (every page of the input locked, a few names looked up)
// and, as a copy, writable (every page locked, pages allocated, written and
// freed, roots created and removed); any outcome is a device or a qvError.
// A writable session that ends without error must leave a file that opens
// again read-only with every page readable. Small caches (0 to 3 pages, chosen by the last input
// byte) keep eviction and write-back busy. Only the pages the input holds
// are locked: a map chain that grows puts its page far out in a sparse file.

#include "fuzz_support.hpp"

#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageLock.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

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
    return 0;
}
