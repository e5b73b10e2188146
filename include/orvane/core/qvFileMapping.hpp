#pragma once
// qvFileMapping: direct memory access to a file, or to anonymous memory,
// through one mapped view at a time.
//
// Keeps true:
// - positions and sizes are 64-bit; a view starts at a multiple of 65,536;
// - the whole-object view (any view that starts at 0 tries it first) covers
//   the whole file at any size; other views are windows of about
//   default_mapping_size() bytes around the requested range;
// - the file is never shorter than the mapped size while a view exists
//   (a mapped access past the end of a file ends the process): map(size)
//   and grow(size) resize before they map, and reserve the disk blocks of a
//   growing file so a full disk is an error here, not a crash at a later
//   write. That holds where reserved blocks are rewritten in place (ext4,
//   xfs, tmpfs): a copy-on-write file system (btrfs) needs new blocks for
//   a rewrite, which no reservation keeps, and a write through the view of
//   a file on a nearly full one ends the process with SIGBUS. The length
//   is kept against what this object does, not against other programs: one
//   that empties the file or cuts it short (locks are advisory) ends the
//   process with SIGBUS at the next access through the view to a memory
//   page wholly past the new end, read-only or writable (a map(size) to
//   the size the object already has does not set the file's length again);
// - the whole-object view of a writable file lies, where the system allows,
//   at the start of an address range set aside for it, twice the view's
//   bytes (less under a finite address-space limit), so that grow(size)
//   extends it in place up to reserved_size() and every address handed out
//   stays valid; past that, or where no range can be set aside (the view is
//   then made as it would be without one), grow(size) answers false and
//   the owner maps again, into a range twice the new size: the address
//   space taken stays a few times the file's size;
// - the view and its range are given back no later than the file: by
//   map(size), unmap, give_back and close;
// - a read-only object never changes the file's length;
// - anonymous memory lives from map(size) to unmap, give_back or close: a
//   failed view does not discard it;
// - move-only: a moved-from object is closed.
// Every error is a qvErrorFrom<qvFileMapping>.

class qvFileMapping {
public:
    explicit qvFileMapping(unsigned default_mapping_size = 16777216) noexcept;
    // Opens as open() does; a refusal raises "Cannot open file".
    qvFileMapping(char const* name, bool create, bool read_only, unsigned default_mapping_size);
    qvFileMapping(qvFileMapping&& other) noexcept;
    qvFileMapping& operator=(qvFileMapping&& other) noexcept;   // closes this object first
    qvFileMapping(qvFileMapping const&) = delete;
    qvFileMapping& operator=(qvFileMapping const&) = delete;
    virtual ~qvFileMapping();

    // A named file with the block files' access and sharing rules (read_only
    // forces create off; a writable open with create empties the file), or,
    // with a null name, anonymous memory made by the next map(size). False
    // when the file is refused: by the system, when another open holds it,
    // or when the name is not a regular file (a directory, a FIFO, a device
    // such as /dev/null), which is left as it is. "File is already opened"
    // when open.
    bool open(char const* name, bool create, bool read_only);

    // "File is not opened yet" when nothing is open.
    long long size() const;

    // Sets the size (a writable file is resized to it), then maps the first
    // view; its base. "Cannot create file mapping" when the size is 0 or
    // cannot be set. A writable file grows before anything else, so a disk
    // that refuses its blocks leaves the view, its range and the file as
    // they were; a size otherwise refused leaves nothing mapped. A whole
    // view in a set-aside range, to a size no smaller, is moved to a new
    // range twice that size instead (its pages stay faulted in) and then
    // grows as grow(size) does, raising as grow does with the moved view
    // kept.
    void* map(long long size);

    // The address of the byte at position, with at least size bytes mapped
    // from it. "Pos out of range" unless 0 <= position and
    // position + size <= size().
    void* map(long long position, unsigned size);

    // Grows a writable file to `size` bytes and its whole-object view with
    // it, keeping the view's base: addresses handed out stay valid. False,
    // with nothing changed, when the view cannot grow where it lies (no
    // whole-object view in a set-aside range, a range too small for `size`,
    // a size below the current one, a read-only object, anonymous memory).
    // "Cannot create file mapping" when the disk cannot hold the new
    // blocks, "MapViewOfFile error 0x%X" when the system refuses the view's
    // new part; the view is as it was then, and so is the file's length
    // unless it cannot be cut back (longer, never shorter, than the view).
    bool grow(long long size);

    // Drops the view; a writable file gets the length size ("Cannot resize
    // file" when the system refuses); anonymous memory is discarded (size 0).
    void unmap(long long size);
    // As unmap, for an owner that takes back the growth of a file it
    // could not use (an open refused after the file grew): a writable file
    // gets the length size again only while its length is still the one
    // this object set, so that another program that wrote it since
    // (appended to it, emptied it) keeps what it did. A cut the system
    // refuses leaves the file as it is.
    void give_back(long long size) noexcept;

    // Unmaps keeping the size, closes, and resets the size to 0.
    void close() noexcept;

    // The current view's changes and the file's data on disk.
    void sync();

    // Bytes of the current view, 0 when none is mapped. A view that
    // map(size) could not make of the whole object is a window from 0, so
    // callers that need every byte check this.
    long long view_size() const noexcept { return view_size_; }
    // The current view's first byte; null when none is mapped. An owner
    // whose map(size) raised tells by it whether its view is still there.
    void* view_base() const noexcept { return view_; }
    // Bytes the whole-object view may reach through grow(size); 0 when it
    // lies in no set-aside range.
    long long reserved_size() const noexcept { return static_cast<long long>(reserved_); }
    bool read_only() const noexcept { return read_only_; }

    unsigned default_mapping_size() const noexcept { return default_mapping_size_; }
    // Applies to the next view.
    void default_mapping_size(unsigned size) noexcept { default_mapping_size_ = size; }

protected:
    // Extra open flags.
    static constexpr int open_existing = 0x1;   // a missing file is refused, not made

    bool open(char const* name, int flags, bool create, bool read_only);

    // Reserves the disk blocks of a writable file's whole length, so that
    // no hole in it can meet a full disk through a view. The length never
    // changes; "Cannot create file mapping" when the disk cannot hold them.
    void reserve();

    // The open file's descriptor, -1 when none is open: for an owner that
    // asks the system about the file itself rather than its name.
    int descriptor() const noexcept { return backing_ == Backing::file ? fd_ : -1; }

private:
    enum class Backing : unsigned char { none, anonymous, file };

    void resize_backing(long long size);
    void map_view(long long start, long long length);
    void* map_whole() noexcept;
    bool move_whole(long long size, long long old_size);
    void map_grown_part(long long size, long long old_size);
    bool unmap_view_and_memory() noexcept;
    void unmap_view_checked();
    void drop_view() noexcept;

    int fd_;                       // the file, or the anonymous memory once made
    Backing backing_;
    bool mapping_;                 // the mapping object exists
    void* view_;
    long long size_;
    bool read_only_;
    unsigned default_mapping_size_;
    long long view_size_;
    long long view_start_;
    unsigned long long reserved_;  // bytes set aside from view_ for it to grow in; 0: none
};
