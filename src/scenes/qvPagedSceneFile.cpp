// qvPagedSceneFile: the owner of one page device at a time.
//
// The device's own close does the durable end; a device that raised from it
// is kept when it could still go on (nothing was given up) and destroyed
// when it had already ended, which its closed() tells.

#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageFile.hpp"

#include <atomic>
#include <type_traits>

static_assert(std::is_same_v<orvane::platform::FileIdentity, std::array<unsigned long long, 5>>);

namespace {

// Unique in the process, so that two objects' files never share one.
std::uint64_t new_stamp() noexcept {
    static constinit std::atomic<std::uint64_t> last{0};
    return ++last;
}

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
// given up rather than the process ended. A host's stream left open would
// stop the close, and then reach a device that is gone: it ends first.
qvPagedSceneFile::~qvPagedSceneFile() {
    if (device_) device_->end_streams(true);
    try {
        close();
    } catch (qvError const&) {
        give_up();
    }
}

// --- creating and opening ----------------------------------------------------

// A file is looked at before its device is made: a writable device may
// grow it at once. A name to create is the name of a new file.
template <class Make>
void qvPagedSceneFile::install(Make&& make, bool mapped, char const* name, bool create) {
    if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
    orvane::platform::FileIdentity found{};
    const bool known = !create && ended_stamp_ != 0 && orvane::platform::file_identity(name, found);
    std::string opened(name);
    device_ = make();
    mapped_ = mapped;
    name_.swap(opened);
    stamp_ = known && found == ended_state_ ? ended_stamp_ : new_stamp();
}

void qvPagedSceneFile::create(char const* name, int cache) {
    if (cache < 0)
        install([&] { return std::make_unique<qvMappedPageFile>(name, true, false); }, true, name, true);
    else
        install([&] { return std::make_unique<qvPageFile>(name, cache, true, false); }, false, name, true);
}

void qvPagedSceneFile::create(char const* name, std::size_t cache) {
    install([&] { return std::make_unique<qvPageFile>(name, cache, true, false); }, false, name, true);
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
            install([&] { return std::make_unique<qvMappedPageFile>(name, false, read_only_device, true); }, true,
                    name, false);
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
        install([&] { return std::make_unique<qvPageFile>(name, cache, false, read_only, true); }, false, name,
                false);
    } catch (qvError const&) {
        return false;
    }
    return true;
}

// --- closing -----------------------------------------------------------------

void qvPagedSceneFile::close() {
    if (!device_) return;
    try {
        if (mapped_)
            end<qvMappedPageFile>(device_);
        else
            end<qvPageFile>(device_);
    } catch (...) {
        if (!device_) ended(false);
        throw;
    }
    ended(true);
}

void qvPagedSceneFile::give_up() noexcept {
    if (!device_) return;
    device_->end_streams(false);
    if (mapped_)
        static_cast<qvMappedPageFile&>(*device_).give_up();
    else
        static_cast<qvPageFile&>(*device_).give_up();
    device_.reset();
    ended(false);
}

// The file is left as it was opened, so it keeps its stamp.
void qvPagedSceneFile::abandon() noexcept {
    if (!device_) return;
    device_->end_streams(false);
    if (mapped_)
        static_cast<qvMappedPageFile&>(*device_).abandon();
    else
        static_cast<qvPageFile&>(*device_).abandon();
    device_.reset();
    ended(true);
}

// A file given up may hold anything a killed writer leaves: it gets a new
// stamp when opened again. One whose state cannot be read does too.
void qvPagedSceneFile::ended(bool cleanly) noexcept {
    ended_stamp_ = cleanly && orvane::platform::file_identity(name_.c_str(), ended_state_) ? stamp_ : 0;
    stamp_ = 0;
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
