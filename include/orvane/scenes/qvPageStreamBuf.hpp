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
//  - what the buffer has of its current page and the page does not (a
//    writer's bytes since its last store), or has not handed out yet (a
//    reader's), is its own copy, the put or get area. A page is locked only
//    while the buffer copies to or from it (entering, leaving, syncing or
//    closing it, or a long sputn or sgetn), so no page stays locked between
//    calls. A sputn or sgetn of 4,096 bytes or more moves them straight
//    between the caller's buffer and the locked page; a shorter sgetn takes
//    the rest of the page into the area, so a probe that reads the first
//    bytes and gives them back never crosses a page;
//  - a writer enters a page (the old chain's or a new one) without reading
//    it and writes it from its start (only the open locks the root, so that
//    a read-only device refuses the writer there). A page's link is read
//    when the buffer leaves the page, under the lock of its store. A chain
//    that another writer ended or extended meanwhile is followed as it now
//    is;
//  - a reader never moves past a byte of its page that it has not
//    returned: it reads the link under the lock that takes the page's last
//    bytes, and a page that is not full, or ends the chain, it reads again
//    (count and link) at each later call, returning what another writer
//    added to the page before it follows the link. So a reader of a
//    stream that is only appended to returns its bytes in order, however
//    the writer's stores and its reads interleave;
//  - a store that raises changes nothing: the buffer keeps its copy, its
//    page and its place in the chain, and the next write, sync or close
//    stores again. A page change takes the next page (the old chain's, or
//    a new one, given back should its layout fail) under the lock of the
//    store, and enters it only once the store is done: the file never holds
//    new bytes linked to old ones with the buffer gone past them. A sputn
//    that raises has put none of its bytes past the last page it stored;
//    one whose last bytes cannot be stored at once keeps them in its copy
//    and returns;
//  - a page is added only when a further byte arrives, so 16,376 bytes fill
//    exactly one page. A rewrite reuses the old chain's pages in order,
//    allocates once it runs out, and close ends the chain at the last page
//    written and frees the rest of the old chain as the page links it then,
//    unless another buffer is open on the same stream: that one may stand
//    on those pages, so the rest waits on the device's cache, allocated,
//    and the last buffer of the stream to close frees it with its own.
//    Never a page both free and in a chain a buffer follows, and once all
//    have closed no page of the old chains left allocated, unless another
//    program damaged the chain (below);
//  - a new page is laid out (next 0, used 0) before anything links to it,
//    so the chain on the pages is well formed at every step; a written
//    page's bytes past its used count are left as they were. sync, and a
//    long sputn that ends inside a page, store the page with the link it
//    has: during a rewrite the chain reads the new bytes and then the old
//    chain's rest, until close ends it;
//  - every page is checked before it is used: a root or link outside
//    2 .. page count − 1 (0 ends a chain), a page reached twice, a used count
//    above 16,376 raise "Invalid or corrupt Orvane pagefile" when reading
//    and rewriting: never a hang, never a page left locked. A rest is what
//    the file no longer needs: its freeing stops at damage, and the close
//    goes on. A bad link (outside the file, to a page met before, to a
//    root the directory names: this stream's or another stream's) stops it
//    after the page that holds the link, which is freed; the page the link
//    names is left as it is, with what follows it. Indexes a scene keeps
//    (quadtrees, the handle tree) are named by its layout, not by the
//    directory: a link to one of their pages passes, and that page can be
//    freed, after which the scene's writable opens refuse the file. A bad
//    used count stops it before its page, which stays allocated with the
//    pages after it. Old pages that nothing links to any more stay
//    allocated: space lost. Readers and rewrites follow every link that
//    passes the checks: through one that another program pointed at
//    another chain (its root or a later page), a reader returns that
//    chain's bytes as the stream's and a rewrite writes over them. A rest's
//    freeing stops at another chain's root, but cannot tell a link into
//    another chain past its root from a good one (that would take walking
//    every chain at each close): it frees that chain's pages from there to
//    its end, which later streams take while that chain still links them.
//    Of damage to chains, that alone leaves a page both free and in a
//    chain;
//  - the buffer is listed open, with its root, on the device's cache from
//    construction to a close that returned, so the device refuses to close
//    under it. An owner that must end the device all the same (its
//    destructor) ends the buffer first, as the buffer's destructor would,
//    or at once, storing nothing, when it gives the session up: the buffer
//    is then closed as below, and may outlive the device;
//  - close stores the current page with link 0, then frees the rest
//    (reading the directory's roots once for each rest it frees); when
//    it raises the buffer stays open and a second close goes on from where
//    the first stopped (a reader's close too, while it frees the rests
//    others left). Once a close returned it does nothing, and the buffer
//    has given its 16 KiB area back. The destructor closes a buffer still
//    open and gives up on a failure: a page that cannot be stored keeps
//    what it had (its chain as it was), and a rest that cannot be freed
//    stays allocated (nothing is lost, its pages are not reused). A closed
//    buffer reads end of file and refuses bytes, and so does a writer whose
//    close stopped while freeing.
// Errors raised by underflow and overflow reach callers through sgetn, sputn
// and the binary streams' calls; a std::istream or std::ostream around the
// buffer would swallow them into badbit, so none is used.
// Errors are qvErrorFrom<qvPageStreamBuf>; the device's pass through.

#include <orvane/scenes/qvPageDevice.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
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
    // The pages of the chain entered so far, until close.
    std::unordered_set<long> const& pages_reached() const noexcept { return reached_; }

protected:
    int_type overflow(int_type c) override;
    int_type underflow() override;
    std::streamsize xsputn(char_type const* bytes, std::streamsize n) override;
    std::streamsize xsgetn(char_type* bytes, std::streamsize n) override;
    int sync() override;
    std::streambuf* setbuf(char_type* buffer, std::streamsize n) override;

private:
    bool reachable(std::uint32_t page) const;
    void check_reachable(std::uint32_t page) const;
    long new_page();
    void give_back(long page) noexcept;
    void advance(char const* more, std::size_t n);
    std::uint32_t store(std::uint32_t const* link, char const* more, std::size_t n);
    std::uint32_t put(void* page, std::uint32_t const* link, char const* more, std::size_t n);
    std::streamsize enter_read(long page, char* out, std::streamsize n);
    std::streamsize take(void const* page, char* out, std::streamsize n);
    std::streamsize read_more(char* out, std::streamsize n);
    void enter(long page) noexcept;
    void drop_page() noexcept;
    void finish(bool report);
    void end() noexcept;
    void free_rests();
    void cut_rest();

    qvPageDevice& device_;
    long page_ = 0;            // the current page; 0: none (no stream, or closing)
    std::uint32_t done_ = 0;   // writer: bytes stored before the put area; reader: bytes taken
    std::uint32_t used_ = 0;   // reader: the current page's used count
    std::uint32_t link_ = 0;   // reader: its link, read once its last bytes were taken
    std::uint32_t rest_ = 0;   // what close has still to free
    const bool write_;
    bool open_ = true;
    bool freeing_kept_ = false;   // closing: own rest freed, now the rests others left
    // On the device's list from construction to close, and how the device
    // ends the buffer when it must end first.
    struct Listing final : qvPageCache::OpenStream {
        explicit Listing(qvPageStreamBuf& owner) noexcept : buffer(owner) {}
        void end_for_device(bool store) noexcept override;
        qvPageStreamBuf& buffer;
    };
    Listing listed_{*this};
    std::unordered_set<long> reached_;
    std::unique_ptr<char[]> area_;   // data_bytes: a writer's from the open, a reader's from its first short read; null once closed
};
