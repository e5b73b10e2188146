#pragma once
// qvPageFile: the page device of a page file on a block file: the storage,
// a page cache over it, the map allocator and the directory at root page 1,
// each one a base class. The device's operations are those of its parts:
//   lock, unlock, flush, release         qvCacheOnIO over the storage
//   allocate, free                       qvMapAllocator
//   create_root, find_root,              qvPageFileDirectory
//   remove_root, root_pages
//
// Built in this order: the storage (the page count from the file length),
// the cache (cache size / 16,384 pages), the allocator and the directory,
// then the allocator's create (page 0 laid out in an empty file, else the
// map chain loaded) and the directory's create (page 1 laid out in a new
// file, else checked). A writable open first looks at the file's first
// two pages: a file that is neither empty nor begun by a page file's is
// refused as corrupt before anything of it is written or resized (see
// qvMapAllocator::check_opened_file). Destroyed the other way: the cache
// writes its dirty pages to the storage, and then the file is closed.
//
// Keeps true:
//  - a construction that fails leaves no page locked and no buffer or
//    descriptor behind, and the file as it was: the cache drops what the
//    layout or the directory's probe changed, and a writable file gets its
//    length back while it is still the one the device set (another
//    program's append or cut since stays), before the error goes on. A
//    cache of 0 pages has written the probe's allocation to the file
//    already: when the probe's free is what fails (the write of its map
//    page refused), the probe page stays marked used, one page that
//    nothing names;
//  - flush() puts every dirty page in the file and the file on disk, and
//    so does seal(), after which nothing is written;
//  - close() ends a session durably (see there); afterwards the device
//    only waits to be destroyed.
// Owners call close() (or at least release()) before destroying a device,
// so that a failing write is reported rather than ending the process.

#include <orvane/scenes/qvPageDevice.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFileDirectory.hpp"
#include "scenes/qvPageFileStorage.hpp"

#include <cstddef>

class qvPageFile : public qvPageDevice,
                   private qvPageFileStorage,
                   public qvCacheOnIO,
                   public qvMapAllocator,
                   public qvPageFileDirectory {
public:
    // A negative cache size counts as 0. With must_exist a missing file is
    // refused (the storage's "Cannot open file"), never made. `opened`,
    // when given, gets the file's state as it was opened, before the
    // device wrote anything (see state()).
    qvPageFile(char const* name, int cache, bool create, bool read_only, bool must_exist = false,
               orvane::platform::FileIdentity* opened = nullptr);
    qvPageFile(char const* name, std::size_t cache, bool create, bool read_only, bool must_exist = false,
               orvane::platform::FileIdentity* opened = nullptr);
    ~qvPageFile() override = default;

    void flush() override;

    // Every dirty page written, the file on disk (when writable), the cache
    // given up and the file closed. A page still locked stops it with the
    // cache's "Cannot release the cache memory while pages are locked", and
    // a failed write or sync with the block file's error; either way the
    // device stays open with nothing lost, and close can be called again.
    // Only a failure to close the descriptor comes after the end: closed()
    // is true then. Closing a closed device does nothing. `left`, when
    // given, gets the file's state as the close leaves it (see state()),
    // read before the descriptor goes.
    void close(orvane::platform::FileIdentity* left = nullptr);
    // Ends the session without writing anything more: the cached pages are
    // dropped, changed or not, and the file is closed as a killed writer
    // leaves it. For an owner whose close failed and who must still go.
    void give_up() noexcept;
    // As give_up, and a writable file gets back the length it had when it
    // was opened, while its length is still the one the device set (a file
    // another program appended to or emptied since keeps what it did): for
    // an owner whose open failed after the device was made (the allocator's
    // probe may have grown the file), so that a refused open leaves the
    // file as it was. `left` as for close.
    void abandon(orvane::platform::FileIdentity* left = nullptr) noexcept;
    // The session ended cleanly: write locks are refused from now on, and
    // every page the cache holds changed is written and a writable file put
    // on disk here (synced when anything was written or cut since its last
    // sync), so that nothing of the session waits in memory and the close
    // writes nothing more. A write or sync the system refuses, or a
    // dirty page still locked (see qvCacheOnIO::seal), leaves them to the
    // close (settled() stays false), as without a seal.
    void seal() noexcept;
    // Sealed with nothing of the session left to write.
    bool settled() const noexcept { return settled_; }
    bool closed() const noexcept { return closed_; }
    // The state of the file the device has open, through its descriptor
    // (whatever its name means now); all zero when it cannot be read.
    orvane::platform::FileIdentity state() const noexcept {
        return orvane::platform::file_identity(qvPageFileStorage::descriptor());
    }

    long page_count() override { return qvPageFileStorage::limit(); }

private:
    void assemble(bool read_only, orvane::platform::FileIdentity* opened);

    bool closed_ = false;
    bool settled_ = false;
};
