#pragma once
// qvStream: the buffer side shared by the binary input and output streams.
//
// Keeps true: all reading and writing goes through the buffer in use (null
// when unconnected); the owned buffer only decides what is deleted, and is
// deleted exactly once, by the stream that owns it when that stream is
// destroyed, disconnected or given another owned buffer. Copying a stream
// transfers ownership to the copy; the source stays connected to the same
// buffer without owning it.

#include <orvane/core/qvAutoPtr.hpp>

#include <streambuf>

class qvStream {
public:
    qvStream() noexcept = default;
    qvStream(qvStream const& other) noexcept = default;          // transfers the owned buffer
    qvStream& operator=(qvStream const& other) noexcept = default;  // likewise
    virtual ~qvStream() = default;

    // Takes the holder over (deleting a buffer owned before) and uses its
    // buffer. A holder with a null pointer is ignored.
    virtual void connect_streambuf(orvane::auto_ptr<std::streambuf> sb);
    // Uses sb without owning it; a buffer owned before stays owned. Null is
    // ignored.
    virtual void connect_streambuf(std::streambuf* sb);

    // Leaves the stream unconnected. Returns the buffer that was in use, or
    // null when that buffer was owned by the stream: it is deleted here.
    std::streambuf* disconnect_streambuf() noexcept;

    bool is_open() const noexcept { return in_use_ != nullptr; }
    std::streambuf* rdbuf() const noexcept { return in_use_; }

private:
    orvane::auto_ptr<std::streambuf> owned_;
    std::streambuf* in_use_ = nullptr;
};
