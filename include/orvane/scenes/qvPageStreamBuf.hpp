#pragma once
// qvPageStreamBuf: a stream buffer over a chain of pages of a page device,
// found by its name in the device's directory. The paged scene keeps its
// layout ("$Layout") and the application's data ("$UserData") in such
// streams.
//
// Stream page (16,384 bytes, little-endian words):
//   offset  size  field
//        0     4  page number of the next page of the stream; 0 = the last
//        4     4  data bytes used on this page, 0 .. 16,376
//        8 16376  data
// The first page is the root that the directory names; the stream's bytes
// are the used bytes of its pages in chain order.
//
// Keeps true:
//  - the get or put area is the buffer's own copy of its current page's
//    data area; the page is locked only while the buffer copies it in or
//    out (on entering it, and when leaving it, at sync and at close), so no
//    page stays locked between calls. A probe that reads the first bytes
//    and gives them back never crosses a page, and sgetn/sputn move whole
//    data areas;
//  - a page is added only when a further byte arrives, so 16,376 bytes fill
//    exactly one page. A rewrite reuses the old chain's pages in order,
//    allocates once it runs out, and close ends the chain at the last page
//    written and frees the old pages it did not reach;
//  - a new page is laid out (next 0, used 0) before anything links to it,
//    so the chain on the pages is well formed at every step; a written
//    page's bytes past its used count are left as they were;
//  - every page is checked before it is used: a root or link outside
//    2 .. page count − 1 (0 ends a chain), a page reached twice, a used count
//    above 16,376 raise "Invalid or corrupt Orvane pagefile", when reading,
//    rewriting and freeing the rest alike: never a hang, never a page left
//    locked;
//  - the buffer counts itself open on the device's cache from construction
//    to close, so the device refuses to close under it;
//  - close ends the chain and then frees the rest; it raises what goes
//    wrong and runs once. The destructor calls it only when the owner did
//    not: there the chain is still ended where the device lets the page be
//    written, and a rest that cannot be freed stays allocated (nothing is
//    lost, its pages are not reused). A closed buffer reads end of file and
//    refuses bytes.
// Errors raised by underflow and overflow reach callers through sgetn, sputn
// and the binary streams' calls; a std::istream or std::ostream around the
// buffer would swallow them into badbit, so none is used.
// Errors are qvErrorFrom<qvPageStreamBuf>; the device's pass through.

#include <orvane/scenes/qvPageDevice.hpp>

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <unordered_set>

class qvPageStreamBuf : public std::streambuf {
public:
    static constexpr std::size_t data_offset = 8;
    static constexpr std::size_t data_bytes = 16376;

    // Writing: a name the directory does not know becomes a new stream of
    // one empty page; a known one is rewritten from its root. Reading: a
    // name that is not there reads as empty.
    qvPageStreamBuf(qvPageDevice& device, char const* name, bool write);
    qvPageStreamBuf(qvPageStreamBuf const&) = delete;
    qvPageStreamBuf& operator=(qvPageStreamBuf const&) = delete;
    ~qvPageStreamBuf() override;

    void close();
    bool is_open() const noexcept { return open_; }
    // The pages locked so far, until close.
    std::unordered_set<long> const& pages_reached() const noexcept { return reached_; }

protected:
    int_type overflow(int_type c) override;
    int_type underflow() override;
    int sync() override;
    std::streambuf* setbuf(char_type* buffer, std::streamsize n) override;

private:
    void check_reachable(std::uint32_t page) const;
    long new_page();
    void give_back(long page) noexcept;
    void enter(long page, bool fresh);
    void store(std::uint32_t link);
    void drop_page() noexcept;
    void finish(bool report);
    void cut_rest(std::uint32_t page);

    qvPageDevice& device_;
    long page_ = 0;            // the current page; 0: none (not yet, or lost)
    std::uint32_t next_ = 0;   // its link when entered: the rest of an old chain
    const bool write_;
    bool open_ = true;
    std::unordered_set<long> reached_;
    char area_[data_bytes];
};
