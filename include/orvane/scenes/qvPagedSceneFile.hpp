#pragma once
// qvPagedSceneFile: creates, opens and owns the page device that a paged
// scene stands on. The cache size chooses the device: 0 or more bytes gives
// a page file on a block file with a page cache of that many bytes (the
// std::size_t forms always do), a negative int a page file reached through
// a file mapping. Both read and write the same file format.
//
// Keeps true:
//  - open or closed, never half: is_open() says whether a device is owned;
//  - open never makes a file: a missing name, a name that is not a regular
//    file (a directory, a FIFO, a device), a file held by a writer, an
//    empty file opened read-only, a file of 1 to 32,767 bytes
//    or a file without the page file's magics answer false, and leave no
//    file, descriptor, share lock, mapping or locked page behind;
//  - close ends a writable session durably: every changed page written and
//    the file on disk before it is closed, so a closed file is complete;
//  - a failed close that lost nothing (pages still locked, a write or sync
//    that failed) leaves the file open and can be retried; one that failed
//    after the device ended leaves it closed. The error is raised either way;
//  - give_up ends a session without writing anything more (the file stays
//    as a killed writer leaves it); the destructor does so when its close
//    fails, and returns;
//  - streams a host left open on the device are ended before the device
//    goes: by the destructor as their own destructors would (a writer
//    stores what its writes returned), by give_up and abandon at once,
//    storing nothing. Such a stream object then reads end of file, refuses
//    bytes, and can still be destroyed; close() refuses under them;
//  - stamp() tells the states of files apart for a scene that keeps what
//    it read of one across a close. The state a session leaves (the file's
//    device and inode, length, and modification and status-change times)
//    is read through the open file, not its name, when the device closes
//    or abandons it; a sealed session has left it at the seal (every store
//    of the session in the file and on disk then, a mapped writer's file
//    cut to its pages), and a file changed after that is let go at close
//    without anything more written to it or cut from it. Where the seal
//    could not finish (a write, cut or sync the system refused, or a page
//    the host still holds locked: over a mapping any; over a page cache a
//    page locked for writing, or one locked for reading while a change to
//    it still waits in the cache), a page cache's close writes the stores
//    it still holds into the file as it is then, and a mapped writer's file
//    keeps its view's spare pages. A change waits from its write lock
//    until the cache writes the page while no lock holds it: at a flush,
//    or when the cache needs its buffer for another page, which a cache of
//    0 pages does at every unlock. A file whose state, read
//    as the device opens it, is exactly the one its last session left
//    gets that session's stamp; any other file (replaced under the same
//    name, reached through another directory, written, touched, its mode
//    or links changed by anyone since, a copy), a file given up, a file
//    changed after its seal, and any file created get a new one. Where
//    the file system keeps coarse times (whole seconds, a timer tick), a
//    touch, a chmod or a link change soon after the close, a rewrite of
//    the same length, or a new file that gets the old inode number, can
//    leave the state equal and keep the stamp.
// Errors are qvErrorFrom<qvPagedSceneFile>; the device's pass through.

#include <orvane/scenes/qvPageDevice.hpp>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

class qvPagedSceneFile {
public:
    qvPagedSceneFile() noexcept;
    qvPagedSceneFile(qvPagedSceneFile const&) = delete;
    qvPagedSceneFile& operator=(qvPagedSceneFile const&) = delete;
    // Closes; when that fails the session is given up (owners that must
    // know close first).
    ~qvPagedSceneFile();

    // A new, empty page file. An existing file of that name is emptied in
    // place, not replaced by a new one: its other hard links, and the
    // target of a symbolic link of that name, get the new page file, and a
    // symbolic link whose target is missing makes that target. "Pagefile
    // should be closed before re-opening" when a file is open; errors of
    // the device's construction pass through and leave the file closed.
    void create(char const* name, int cache);
    void create(char const* name, std::size_t cache);

    // An existing page file; false when it cannot be opened as one. "Pagefile
    // should be closed before re-opening" when a file is open. An empty file
    // (0 bytes) opened writable is laid out as a new page file; no other is:
    // a file shorter than the two pages every page file begins with (its
    // allocation map and its directory, 32,768 bytes), another program's or a
    // page file cut short, answers false and is left byte for byte, as a
    // longer file that is no page file is. A writable open reads the start of
    // the file's first two pages before it changes anything of it (grows,
    // reserves, maps or cuts it), so a file that is no page file keeps its
    // length, disk blocks and modification time too, and what its owner
    // writes to it while the open runs (appending to it, emptying it) stays
    // as that owner left it, once the open has read a length other than 0.
    // A file that reads as empty there (its owner may empty it up to the
    // open's call that reads the length) is new to the open: a writable
    // open lays it out as a new page file and answers true, and what the
    // owner writes to it meanwhile is overwritten where the device writes
    // its pages (and, mapped, cut away past them at the close); a read-only
    // open answers false and leaves it. A read-only open through a mapping
    // (a negative cache) takes the same look before it reads anything
    // through its view, so such a file answers false whatever its owner
    // does to it meanwhile (a page cache reads only through the
    // descriptor); a page file that
    // another program cuts short while it is mapped still ends the process
    // with SIGBUS. A writable open whose file refuses what the open
    // writes is left as it was and raises the file's error, not a false, once
    // a read-only look finds a page file: a page file opened mapped (a
    // negative cache) that the disk cannot grow by the view's spare pages
    // raises the mapping's "Cannot create file mapping", and a page cache too
    // small for the open's pages (16 KiB) the block file's error for the page
    // it writes back, as other caches raise theirs at their first store. On a
    // copy-on-write file system (btrfs) that is nearly full, the mapped
    // writer's first rewrite of a page can end the process with SIGBUS
    // instead (see qvFileMapping): a page cache (a cache of 0 or more) is the
    // road there.
    bool open(char const* name, int cache, bool read_only);
    bool open(char const* name, std::size_t cache, bool read_only);

    // Nothing to do when no file is open.
    void close();
    // Closes without writing anything more: changes not yet on disk are
    // dropped and the file is left as it is. Never raises; nothing to do
    // when no file is open.
    void give_up() noexcept;
    // As give_up, and a writable file gets back the length it had when it
    // was opened, while its length is still the one the device gave it (a
    // file another program appended to or emptied since keeps what it
    // did): for an owner whose open failed after the file opened.
    // Nothing else is taken back: what the owner stored and the device
    // wrote to the file stays (a page cache drops what it still holds)
    // unless the owner took it back itself (a scene whose open is refused
    // removes the open mark it stored; when that removal fails too, the
    // mark stays, as a killed writer leaves it). What it stored in pages
    // past the length the file was opened with is cut away with them,
    // whether the directory still names it or not: a stream stored there
    // and still named then reads as "Invalid or corrupt Orvane pagefile".
    // The file's state is noted as a close notes it, so an open that finds
    // the file in that state keeps its stamp. A host's streams are ended at
    // once, storing nothing; what a host's writer stored before stays in
    // the file, but for what lay past that length.
    void abandon() noexcept;
    bool is_open() const noexcept { return device_ != nullptr; }
    // The session on the open file has ended cleanly, read-only or not:
    // the device refuses write locks from now on ("Attempt to modify a
    // read-only file"), puts every store of the session in the file and on
    // disk, so that a close has nothing left to write, and the file's state
    // is noted for stamp(). A store the system refuses here, or one a page
    // the host still holds locked keeps from it, is left to the close.
    // No-op when closed.
    void seal() noexcept;

    // "Pagefile has not been opened" when no file is open.
    qvPageDevice& device();
    // The open file's stamp (see above); 0 when none is open.
    std::uint64_t stamp() const noexcept { return stamp_; }

private:
    void refuse_if_open() const;
    void install(std::unique_ptr<qvPageDevice> device, bool mapped,
                 std::array<unsigned long long, 5> const& opened) noexcept;
    template <class FileError, class Make>
    bool open_device(Make const& make, bool mapped, bool read_only);
    // The device is gone, leaving its file in `left` (all zero: unknown,
    // or given up).
    void ended(std::array<unsigned long long, 5> const& left) noexcept;
    bool unchanged_since_seal() const noexcept;

    std::unique_ptr<qvPageDevice> device_;
    bool mapped_ = false;
    bool sealed_ = false;
    std::uint64_t stamp_ = 0;
    std::array<unsigned long long, 5> sealed_state_{};
    // The last session's stamp (0 when its file cannot keep one) and the
    // state it left its file in.
    std::uint64_t ended_stamp_ = 0;
    std::array<unsigned long long, 5> ended_state_{};
};
