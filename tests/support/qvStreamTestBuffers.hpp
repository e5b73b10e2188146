#pragma once
// Stream buffers with one property each, for the binary stream tests.

#include <streambuf>
#include <string>
#include <sstream>

namespace stream_test {

// Bytes of a hex dump such as "A9 4F 00".
std::string bytes(char const* hex);

// A string buffer that counts its destruction in *deletions.
class CountedStringBuf : public std::stringbuf {
public:
    explicit CountedStringBuf(int* deletions, std::string const& text = {});
    ~CountedStringBuf() override;

private:
    int* deletions_;
};

// Holds its text in the get area; every seek fails, as with page streams.
class NonSeekableBuf : public std::streambuf {
public:
    explicit NonSeekableBuf(std::string text);

private:
    std::string text_;
};

// Accepts only `limit` bytes, then refuses every further one. Counts its
// destruction in *deletions when given.
class LimitedBuf : public std::streambuf {
public:
    explicit LimitedBuf(std::size_t limit, int* deletions = nullptr)
        : limit_(limit), deletions_(deletions) {}
    ~LimitedBuf() override;
    std::string const& written() const { return written_; }

protected:
    int_type overflow(int_type c) override;

private:
    std::size_t limit_;
    int* deletions_;
    std::string written_;
};

}  // namespace stream_test
