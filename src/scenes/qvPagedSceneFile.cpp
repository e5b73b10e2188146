// qvPagedSceneFile: the owner of one page device at a time.
//
// The device's own close does the durable end; a device that raised from it
// is kept when it could still go on (nothing was given up) and destroyed
// when it had already ended, which its closed() tells.

#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageFile.hpp"

namespace {

[[noreturn]] void raise_scene_file_error(char const* message) {
    qvRaise(qvErrorFrom<qvPagedSceneFile>(message));
}

template <class Device>
void end(std::unique_ptr<qvPageDevice>& owned) {
    Device& device = static_cast<Device&>(*owned);
    try {
        device.close();
    } catch (...) {
        if (device.closed()) owned.reset();
        throw;
    }
    owned.reset();
}

}  // namespace

qvPagedSceneFile::qvPagedSceneFile() noexcept = default;

// A failing disk or a damaged file is no broken invariant: the session is
// given up rather than the process ended.
qvPagedSceneFile::~qvPagedSceneFile() {
    try {
        close();
    } catch (qvError const&) {
        give_up();
    }
}

// --- creating and opening ----------------------------------------------------

template <class Make>
void qvPagedSceneFile::install(Make&& make, bool mapped) {
    if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
    device_ = make();
    mapped_ = mapped;
}

void qvPagedSceneFile::create(char const* name, int cache) {
    if (cache < 0)
        install([&] { return std::make_unique<qvMappedPageFile>(name, true, false); }, true);
    else
        install([&] { return std::make_unique<qvPageFile>(name, cache, true, false); }, false);
}

void qvPagedSceneFile::create(char const* name, std::size_t cache) {
    install([&] { return std::make_unique<qvPageFile>(name, cache, true, false); }, false);
}

// A writable mapped device grows the file and reserves its blocks before
// it reads a page, so the mapping's refusal there is a full disk's (or a
// refused view's), met by a page file or a foreign one alike: it raises
// when a read-only look finds a page file, as the other devices raise
// their write errors, and false stays for a file that is none.
bool qvPagedSceneFile::open(char const* name, int cache, bool read_only) {
    if (cache < 0) {
        if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
        const auto mapped = [&](bool read_only_device) {
            install([&] { return std::make_unique<qvMappedPageFile>(name, false, read_only_device, true); }, true);
        };
        try {
            mapped(read_only);
        } catch (qvErrorFrom<qvFileMapping> const& error) {
            if (read_only || qvMappedPageFile::refused_open(error)) return false;
            try {
                mapped(true);
            } catch (qvError const&) {
                return false;
            }
            give_up();   // the look, read-only, wrote nothing
            throw;
        } catch (qvError const&) {
            return false;
        }
        return true;
    }
    return open(name, static_cast<std::size_t>(cache), read_only);
}

bool qvPagedSceneFile::open(char const* name, std::size_t cache, bool read_only) {
    if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
    try {
        install([&] { return std::make_unique<qvPageFile>(name, cache, false, read_only, true); }, false);
    } catch (qvError const&) {
        return false;
    }
    return true;
}

// --- closing -----------------------------------------------------------------

void qvPagedSceneFile::close() {
    if (!device_) return;
    if (mapped_)
        end<qvMappedPageFile>(device_);
    else
        end<qvPageFile>(device_);
}

void qvPagedSceneFile::give_up() noexcept {
    if (!device_) return;
    if (mapped_)
        static_cast<qvMappedPageFile&>(*device_).give_up();
    else
        static_cast<qvPageFile&>(*device_).give_up();
    device_.reset();
}

void qvPagedSceneFile::abandon() noexcept {
    if (!device_) return;
    if (mapped_)
        static_cast<qvMappedPageFile&>(*device_).abandon();
    else
        static_cast<qvPageFile&>(*device_).abandon();
    device_.reset();
}

void qvPagedSceneFile::seal() noexcept {
    if (!device_) return;
    if (mapped_)
        static_cast<qvMappedPageFile&>(*device_).seal();
    else
        static_cast<qvPageFile&>(*device_).seal();
}

qvPageDevice& qvPagedSceneFile::device() {
    if (!device_) raise_scene_file_error("Pagefile has not been opened");
    return *device_;
}
