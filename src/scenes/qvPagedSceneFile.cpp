// qvPagedSceneFile: the owner of one page device at a time.
//
// The device's own close does the durable end. A stamp follows the state a
// session leaves its file in, read through the device's descriptor: when
// the device closes, or, for a scene that keeps its file past its own
// close, when it seals it.

#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageFile.hpp"

#include <atomic>
#include <type_traits>

using orvane::platform::FileIdentity;
static_assert(std::is_same_v<FileIdentity, std::array<unsigned long long, 5>>);

namespace {

// Unique in the process, so that two objects' files never share one.
std::uint64_t new_stamp() noexcept {
    static constinit std::atomic<std::uint64_t> last{0};
    return ++last;
}

[[noreturn]] void raise_scene_file_error(char const* message) {
    qvRaise(qvErrorFrom<qvPagedSceneFile>(message));
}

// Calls `act` with the device as its own type.
template <class Act>
decltype(auto) on_device(qvPageDevice& device, bool mapped, Act&& act) {
    if (mapped) return act(static_cast<qvMappedPageFile&>(device));
    return act(static_cast<qvPageFile&>(device));
}

FileIdentity state_of(qvPageDevice& device, bool mapped) noexcept {
    return on_device(device, mapped, [](auto& typed) { return typed.state(); });
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

// The device reads the file's state as it opens it, before it writes
// anything (a writable device may grow the file at once): the state of the
// very file it opened, whatever its name meant a moment before. A name to
// create is the name of a new file.
template <class Make>
void qvPagedSceneFile::install(Make&& make, bool mapped, bool create) {
    if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
    FileIdentity opened{};
    device_ = make(&opened);
    mapped_ = mapped;
    const bool same = !create && ended_stamp_ != 0 && opened == ended_state_;
    stamp_ = same ? ended_stamp_ : new_stamp();
}

void qvPagedSceneFile::create(char const* name, int cache) {
    if (cache < 0)
        install([&](FileIdentity*) { return std::make_unique<qvMappedPageFile>(name, true, false); }, true, true);
    else
        install([&](FileIdentity*) { return std::make_unique<qvPageFile>(name, cache, true, false); }, false, true);
}

void qvPagedSceneFile::create(char const* name, std::size_t cache) {
    install([&](FileIdentity*) { return std::make_unique<qvPageFile>(name, cache, true, false); }, false, true);
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
            install([&](FileIdentity* opened) {
                return std::make_unique<qvMappedPageFile>(name, false, read_only_device, true, opened);
            }, true, false);
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
        install([&](FileIdentity* opened) {
            return std::make_unique<qvPageFile>(name, cache, false, read_only, true, opened);
        }, false, false);
    } catch (qvError const&) {
        return false;
    }
    return true;
}

// --- closing -----------------------------------------------------------------

// A device that raised from its close is kept when it could still go on
// (nothing was given up) and destroyed when it had already ended.
//
// A sealed session has nothing left to write: a mapped device cut its
// spare pages at the seal. When its file changed after the seal (another
// program wrote it, touched it, or put another file's bytes in its place),
// it is no longer the file the session wrote: it is let go as it stands,
// with whatever another program wrote there, and gets a new stamp at the
// next open.
void qvPagedSceneFile::close() {
    if (!device_) return;
    if (sealed_ && device_->open_streams() == 0 && !unchanged_since_seal()) {
        give_up();
        return;
    }
    FileIdentity left{};
    try {
        on_device(*device_, mapped_, [&left](auto& device) { device.close(&left); });
    } catch (...) {
        if (on_device(*device_, mapped_, [](auto& device) { return device.closed(); })) {
            device_.reset();
            ended({});
        }
        throw;
    }
    device_.reset();
    ended(left);
}

void qvPagedSceneFile::give_up() noexcept {
    if (!device_) return;
    device_->end_streams(false);
    on_device(*device_, mapped_, [](auto& device) { device.give_up(); });
    device_.reset();
    ended({});
}

// For an open refused after the device was made. The device takes back
// its length; what the owner stored is the owner's to take back (a scene
// removes its open mark) and stays when it could not be. The state left is
// noted as a close notes it, so the stamp goes on with the file as the
// refused open leaves it. A host's streams cannot
// stand on such a device yet; any that do are ended at once, storing
// nothing, though what a writer among them stored before stays in the
// file, as after give_up.
void qvPagedSceneFile::abandon() noexcept {
    if (!device_) return;
    device_->end_streams(false);
    FileIdentity left{};
    on_device(*device_, mapped_, [&left](auto& device) { device.abandon(&left); });
    device_.reset();
    ended(left);
}

// The next open keeps the stamp only for a file in exactly the state the
// session left (none when it could not be read): a file given up may hold
// anything a killed writer leaves.
void qvPagedSceneFile::ended(FileIdentity const& left) noexcept {
    ended_state_ = left;
    ended_stamp_ = left != FileIdentity{} ? stamp_ : 0;
    stamp_ = 0;
    sealed_ = false;
}

// The state is read through the open file, so a name that means another
// file by the next open (a rename over it, another working directory)
// cannot stand in for it.
void qvPagedSceneFile::seal() noexcept {
    if (!device_) return;
    on_device(*device_, mapped_, [](auto& device) { device.seal(); });
    sealed_state_ = state_of(*device_, mapped_);
    sealed_ = true;
}

bool qvPagedSceneFile::unchanged_since_seal() const noexcept {
    return sealed_state_ != FileIdentity{} && state_of(*device_, mapped_) == sealed_state_;
}

qvPageDevice& qvPagedSceneFile::device() {
    if (!device_) raise_scene_file_error("Pagefile has not been opened");
    return *device_;
}
