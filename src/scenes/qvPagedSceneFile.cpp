// qvPagedSceneFile: the owner of one page device at a time.
//
// The device's own close does the durable end. A stamp follows the state a
// session leaves its file in, read through the device's descriptor: when
// the device closes, or, for a scene that keeps its file past its own
// close, when it seals it.

#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvPageFile.hpp"

#include <atomic>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>

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

// The block file's one text for a read the system refused.
bool refused_read(qvError const& error) noexcept {
    return std::strcmp(static_cast<char const*>(error), "I/O error while reading file") == 0;
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

void qvPagedSceneFile::refuse_if_open() const {
    if (device_) raise_scene_file_error("Pagefile should be closed before re-opening");
}

// `opened` is the file's state as the device opened it, before it wrote
// anything (a writable device may grow the file at once): the state of the
// very file it opened, whatever its name meant a moment before. All zero
// for a created file, a new one.
void qvPagedSceneFile::install(std::unique_ptr<qvPageDevice> device, bool mapped, FileIdentity const& opened) noexcept {
    device_ = std::move(device);
    mapped_ = mapped;
    const bool same = ended_stamp_ != 0 && opened != FileIdentity{} && opened == ended_state_;
    stamp_ = same ? ended_stamp_ : new_stamp();
}

void qvPagedSceneFile::create(char const* name, int cache) {
    refuse_if_open();
    if (cache < 0)
        install(std::make_unique<qvMappedPageFile>(name, true, false), true, {});
    else
        install(std::make_unique<qvPageFile>(name, cache, true, false), false, {});
}

void qvPagedSceneFile::create(char const* name, std::size_t cache) {
    refuse_if_open();
    install(std::make_unique<qvPageFile>(name, cache, true, false), false, {});
}

// A writable device writes before it has read a page file whole: a mapped
// one grows the file and reserves its blocks, a page cache too small for
// the open's pages writes one back. So its file's error (`FileError`) once
// the file is open is a disk's refusal (a full disk, a failing one), met by
// a page file or a foreign one alike: it is raised when a read-only look
// finds a page file, as the file's later writes raise theirs, and false
// stays for a file that is none. A file the device could not open at all
// (missing, held by another, not a regular file) left `opened` unread; a
// read the system refused answers false, as it does for a read-only open.
template <class FileError, class Make>
bool qvPagedSceneFile::open_device(Make const& make, bool mapped, bool read_only) {
    refuse_if_open();
    FileIdentity opened{};
    try {
        install(make(read_only, &opened), mapped, opened);
    } catch (FileError const& error) {
        if (read_only || opened == FileIdentity{} || refused_read(error)) return false;
        try {
            make(true, nullptr)->give_up();   // the look, read-only, writes nothing
        } catch (qvError const&) {
            return false;
        }
        throw;
    } catch (qvError const&) {
        return false;
    }
    return true;
}

bool qvPagedSceneFile::open(char const* name, int cache, bool read_only) {
    if (cache >= 0) return open(name, static_cast<std::size_t>(cache), read_only);
    return open_device<qvErrorFrom<qvFileMapping>>([name](bool read_only_device, FileIdentity* opened) {
        return std::make_unique<qvMappedPageFile>(name, false, read_only_device, true, opened);
    }, true, read_only);
}

bool qvPagedSceneFile::open(char const* name, std::size_t cache, bool read_only) {
    return open_device<qvErrorFrom<qvBlockFile>>([name, cache](bool read_only_device, FileIdentity* opened) {
        return std::make_unique<qvPageFile>(name, cache, false, read_only_device, true, opened);
    }, false, read_only);
}

// --- closing -----------------------------------------------------------------

// A device that raised from its close is kept when it could still go on
// (nothing was given up) and destroyed when it had already ended.
//
// A sealed session has nothing left to write: a mapped device cut its
// spare pages at the seal, a page cache wrote what it held. When its file
// changed after the seal (another program wrote it, touched it, or put
// another file's bytes in its place), it is no longer the file the session
// wrote: it is let go as it stands, with whatever another program wrote
// there, and gets a new stamp at the next open. A page cache whose seal
// could not write the session's stores still holds them: its close writes
// them, as an unsealed session's close does, into the file as it is, which
// gets a new stamp all the same. A view's stores are the system's to
// write, so a mapped file is let go whatever its seal did.
void qvPagedSceneFile::close() {
    if (!device_) return;
    const bool changed = sealed_ && !unchanged_since_seal();
    if (changed && device_->open_streams() == 0 &&
        (mapped_ || static_cast<qvPageFile&>(*device_).settled())) {
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
    ended(changed ? FileIdentity{} : left);
}

void qvPagedSceneFile::give_up() noexcept {
    if (!device_) return;
    device_->end_streams(false);
    on_device(*device_, mapped_, [](auto& device) { device.give_up(); });
    device_.reset();
    ended({});
}

// For an open refused after the device was made. The device takes back
// its length, and with it whatever was stored in the pages past it, named
// by the directory or not; the rest of what the owner stored is the
// owner's to take back (a scene removes its open mark) and stays when it
// could not be. The state left is noted as a close notes it, so the stamp
// goes on with the file as the refused open leaves it. A host's streams
// cannot stand on such a device yet; any that do are ended at once,
// storing nothing, though what a writer among them stored before stays in
// the file below that length, as after give_up.
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
