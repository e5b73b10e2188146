#pragma once
// qvMappedPageFile: the page device of a page file reached through a file
// mapping: the file, the mapped page cache over it, the map allocator and
// the directory at root page 1, each one a base class. The device's
// operations are those of its parts:
//   lock, unlock, flush, release         qvCacheOnMapping, headroom 16 pages,
//                                        growth 64 pages
//   allocate, free                       qvMapAllocator over the cache's limit
//   create_root, find_root,              qvPageFileDirectory
//   remove_root, root_pages
// It reads and writes the same file format as qvPageFile.
//
// Built in this order: the file (a default view size of 16 MiB; a writable
// file has its whole length reserved on disk), the cache (the page count
// from the file length, a view of page count + 16 pages), the allocator and
// the directory, then the allocator's create and the directory's create.
// Every open looks at the file through its descriptor as soon as it is
// open, before it is reserved, grown or mapped: a file that is neither
// empty nor begun by a page file's two pages is refused as corrupt with
// nothing of it changed and nothing of it read through a view, so that
// another program that empties it meanwhile cannot end ours with SIGBUS
// (see qvMapAllocator::check_opened_file).
// Destroyed the other way: the cache drops the view and cuts a writable file
// to its page count (a sealed device did so at the seal), then the file is
// closed.
//
// Keeps true:
//  - a construction that fails leaves the file as it was (its length too,
//    unless another program changed it meanwhile: see abandon), and no
//    view, descriptor or share lock behind;
//  - flush() puts the view's changes and the file's data on disk (writable);
//    the allocator calls it before it links a new map page;
//  - close() ends a session durably (see there); afterwards the device only
//    waits to be destroyed.
// While the device is open and not sealed a writable file is longer than
// its pages (the view's spare pages, all zero): a writer that dies leaves
// them, and the next writable open keeps them as free pages at the end.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvFileMapping.hpp>
#include <orvane/scenes/qvPageDevice.hpp>

#include "platform/qvPlatformFile.hpp"
#include "scenes/qvCacheOnMapping.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFileDirectory.hpp"

class qvMappedPageFile : public qvPageDevice,
                         private qvFileMapping,
                         public qvCacheOnMapping,
                         public qvMapAllocator,
                         public qvPageFileDirectory {
public:
    static constexpr long headroom = 16;
    static constexpr long growth = 64;
    static constexpr unsigned default_view_bytes = 0x1000000;

    // With must_exist a missing file is refused, never made. A file that
    // cannot be opened raises the mapping's "Cannot open file", a read the
    // system refuses at the look the mapping's "I/O error while reading
    // file". A writable file whose first two pages are a page file's is
    // grown by the view's spare pages, its blocks reserved, before any other
    // page is read: a disk that refuses them raises the mapping's "Cannot
    // create file mapping", whatever the rest holds (a nearly full
    // copy-on-write file system grants them and ends the process with
    // SIGBUS at a page's rewrite instead: see qvFileMapping). `opened`, when
    // given, gets the file's state as it was opened, before the device grew
    // or reserved anything (see state()).
    qvMappedPageFile(char const* name, bool create, bool read_only, bool must_exist = false,
                     orvane::platform::FileIdentity* opened = nullptr);
    ~qvMappedPageFile() override = default;

    long page_count() override { return qvCacheOnMapping::limit(); }

    void flush() override;

    // The view synced, the file cut to its pages and on disk (writable), and
    // closed. A page still locked stops it with "Cannot release the cache
    // memory while pages are locked", and a failed sync with the mapping's
    // error; either way the device stays open with nothing lost, and close
    // can be called again. Failures after the view is dropped (cutting the
    // file, the last sync) come after the end: closed() is true then.
    // Closing a closed device does nothing. `left`, when given, gets the
    // file's state as the close leaves it (see state()), read before the
    // descriptor goes.
    void close(orvane::platform::FileIdentity* left = nullptr);
    // Ends the session without writing anything more: the view is dropped
    // unsynced, the file keeps its length (the view's spare pages too) and
    // is closed, as a killed writer leaves it. For an owner whose close
    // failed and who must still go.
    void give_up() noexcept;
    // As give_up, and a writable file gets back the length it had when it
    // was opened, while its length is still the one the view gave it (a
    // file another program appended to or emptied since keeps what it
    // did): for an owner whose open failed after the device was made, so
    // that a refused open leaves the file as it was. `left` as for close.
    void abandon(orvane::platform::FileIdentity* left = nullptr) noexcept;
    // The session ended cleanly: write locks are refused from now on, and
    // a writable file is cut to its pages and put on disk here, so that it
    // keeps the length its session left it whatever happens to it before
    // the device closes, and the close writes nothing more. A cut or sync
    // the system refuses leaves both to the close, as without a seal, but
    // only while the file is unchanged: qvPagedSceneFile lets a file that
    // changed after the seal go as it stands, cutting nothing, so the
    // view's spare pages then stay in it for good (space only: the next
    // writable open takes them for free pages, and a page file never gets
    // shorter).
    void seal() noexcept;
    bool closed() const noexcept { return qvCacheOnMapping::closed(); }
    // The state of the file the device has open, through its descriptor
    // (whatever its name means now); all zero when it cannot be read.
    orvane::platform::FileIdentity state() const noexcept {
        return orvane::platform::file_identity(qvFileMapping::descriptor());
    }

private:
    bool settled_ = false;   // sealed, cut and synced: the close has nothing to write

    static qvFileMapping& opened(qvMappedPageFile& self, char const* name, bool create, bool read_only,
                                 bool must_exist, orvane::platform::FileIdentity* state);
};
