#pragma once
// qvPageFileStorage: whole pages of a page file on a block file.
//
// Keeps true:
//  - the page count is the file length divided by 16,384 when opened (a
//    trailing partial page is not counted) and, after limit(n), n with the
//    file exactly n pages long;
//  - page n lies at byte n × 16,384 (64-bit positions; page numbers and the
//    page count stay within 0..2^31 − 1);
//  - a read delivers a whole page or raises "Part of the Orvane pagefile is
//    missing"; pages outside the file (negative ones too) are missing.
// The block file's sharing holds for the storage: read-only opens share the
// file, a writable one holds it alone, and a lock held by a process ends
// with it. Errors are qvErrorFrom<qvPageFileStorage>, and the block file's
// own for what it refuses.

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/scenes/qvPageStorage.hpp>

class qvPageFileStorage : public qvPageStorage, private qvBlockFile {
public:
    // Closed; the page count is 0 until open.
    qvPageFileStorage() noexcept = default;
    // open(), then the page count from the file length. A file that does
    // not open (missing with must_exist, held by a writer, not a regular
    // file) raises the block file's "Cannot open file", as the mapped page
    // file does, having changed nothing.
    qvPageFileStorage(char const* name, bool create, bool read_only, bool must_exist = false);
    qvPageFileStorage(qvPageFileStorage const&) = delete;
    qvPageFileStorage& operator=(qvPageFileStorage const&) = delete;
    ~qvPageFileStorage() = default;

    // "Cannot create file in read only mode" for create with read_only;
    // false when the block file does not open. With must_exist a missing
    // file is refused rather than made.
    bool open(char const* name, bool create, bool read_only, bool must_exist = false);

    void write(long page, void* buffer) override;
    void read(long page, void* buffer) override;
    // One positioned write of the range.
    void write_part(long page, std::size_t offset, void const* bytes, std::size_t length) override;

    void limit(long pages) override;
    long limit() override { return pages_; }

    // The file's length in bytes when it was opened.
    long long opened_bytes() const noexcept { return opened_bytes_; }

    // Written pages (and the length) on disk.
    void sync();
    // Pages written or the length changed since the last sync that
    // returned: what a sync would still put on disk.
    bool unsynced() const noexcept { return unsynced_; }
    // Closed afterwards; "I/O error while writing file" when the system
    // reports that written pages may be lost.
    using qvBlockFile::close;
    using qvBlockFile::descriptor;

    // Gives a writable file back the length it had when it was opened (an
    // owner whose construction failed), while its length is still the one
    // limit() last gave it: a file no limit() changed, or one another
    // program appended to or emptied since, keeps the length it has. A file
    // that cannot be cut keeps zero pages at its end. Never raises.
    void restore_length() noexcept;
    // Bytes of the file at a position as it stands (fewer at its end); the
    // block file's "I/O error while reading file" when the system refuses.
    using qvBlockFile::read_at;

private:
    void count_pages();

    long pages_ = 0;
    long long opened_bytes_ = 0;
    long long set_bytes_ = -1;   // the length limit() last set; -1: none since the open
    bool unsynced_ = false;
};
