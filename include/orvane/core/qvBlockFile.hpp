#pragma once
// qvBlockFile: the library's random-access file (paged scenes store their
// pages in one).
//
// Keeps true:
// - open (a descriptor held and a name held) or closed (neither), never half;
// - read-only opens share the file with other readers, writable opens hold
//   it alone; a conflicting open is refused, not waited for. The sharing is
//   advisory: programs that take no lock are not kept out;
// - positions and lengths are 64-bit; growing a file by writes past its end
//   or by size(n) leaves holes (the file stays sparse);
// - move-only: a moved-from file is closed, and a file is closed exactly once.
// Errors are qvErrorFrom<qvBlockFile>; the public open reports a refused file
// by its result.

#include <memory>

class qvBlockFile {
public:
    qvBlockFile() noexcept;
    // Opens as open() does; a refusal raises "Cannot open file".
    qvBlockFile(char const* name, bool read_only, bool create);
    qvBlockFile(qvBlockFile&& other) noexcept;
    qvBlockFile& operator=(qvBlockFile&& other);   // closes this file first
    qvBlockFile(qvBlockFile const&) = delete;
    qvBlockFile& operator=(qvBlockFile const&) = delete;
    // Closes; a failure to close ends the process through qvError::abort.
    virtual ~qvBlockFile();

    // Moves the file to new_name, replacing a file of that name, and reopens
    // it there read-write. On failure "Cannot rename file" is raised and the
    // file is open under its old name as before.
    virtual void rename(char const* new_name);

    // Read-only or read-write; a writable open with create empties an
    // existing file, every other open makes a missing file empty. False when
    // the system refuses, also for a file held by another open and for a
    // name that is not a regular file (a directory, a FIFO, a device such as
    // /dev/null), which is left as it is. Opening an open object fails the
    // check "fd < 0 && !name".
    bool open(char const* name, bool read_only, bool create);

    // Closed afterwards; "I/O error while writing file" when the system
    // reports that written data may be lost.
    void close();

    bool is_open() const noexcept { return fd_ >= 0; }

    // At the current position: up to n bytes (fewer at the end, 0 there).
    int read(void* buffer, int n);
    void write(void const* buffer, int n);

    void seek(long position);
    long tell();
    // The length; the position moves to the end.
    long size();
    // Truncates or extends to length; the position moves to length.
    void size(long length);

    // At an explicit position, leaving the current position alone.
    int read_at(long long position, void* buffer, int n);
    void write_at(long long position, void const* buffer, int n);

    // Written data (and the length) on disk.
    void sync();

protected:
    // Extra open flags.
    static constexpr int open_existing = 0x1;   // a missing file is refused, not made

    bool open(char const* name, int flags, bool read_only, bool create);

    // Takes over a descriptor this process made and locked (a temporary file).
    void adopt(int fd, char const* name);

    // Closes without raising; false when the system reported an error.
    bool release_handle() noexcept;

    // The open file's descriptor, -1 when closed: for an owner that asks
    // the system about the file itself rather than its name.
    int descriptor() const noexcept { return fd_; }

private:
    int fd_;
    bool read_only_;
    std::unique_ptr<char[]> name_;
};
