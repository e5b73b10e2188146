#pragma once
// qvPageAllocator: hands out free pages of a page file and takes them back.
//
// allocate() returns a free page, marked used, with the page count grown to
// include it; free(page) marks a page that allocate returned unused again.
// The file never shrinks.

class qvPageAllocator {
public:
    virtual long allocate() = 0;
    virtual void free(long page) = 0;

protected:
    qvPageAllocator() noexcept = default;
    qvPageAllocator(qvPageAllocator const&) noexcept = default;
    qvPageAllocator& operator=(qvPageAllocator const&) noexcept = default;
    ~qvPageAllocator() = default;
};
