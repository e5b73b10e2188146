#pragma once
// qvPageDirectory: named root pages of a page file (streams and indexes are
// found by name). Page 0 never names a root, so 0 answers "no such name".
//
// create_root(name, page) appends an entry (equal names are not refused);
// find_root(name) is the page of the first entry of that name, or 0;
// remove_root(name) removes the first entry of that name and returns its
// page, or 0 when there is none; root_pages() is the root page of every
// entry in ascending order, read at once (a page named twice comes twice),
// so that a client asking of many pages whether any name holds them reads
// the directory once and searches the list.

#include <vector>

class qvPageDirectory {
public:
    virtual void create_root(char const* name, long page) = 0;
    virtual long find_root(char const* name) = 0;
    virtual long remove_root(char const* name) = 0;
    virtual std::vector<long> root_pages() = 0;

protected:
    qvPageDirectory() noexcept = default;
    qvPageDirectory(qvPageDirectory const&) noexcept = default;
    qvPageDirectory& operator=(qvPageDirectory const&) noexcept = default;
    ~qvPageDirectory() = default;
};
