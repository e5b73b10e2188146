#pragma once
// qvPageIStream: a binary input stream from a named page stream of a page
// device. Its version is the one in the stream's header (0 without one); a
// name that is not there reads as empty.
//
// close() ends the reading. The destructor closes the buffer (only when
// the owner did not) before the stream part goes.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/scenes/qvPageDevice.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>

#include <unordered_set>

class qvPageIStream : public qvInputStream {
public:
    qvPageIStream(qvPageDevice& device, char const* name);

    void close() { buffer_.close(); }
    // The stream's pages read so far, until close.
    std::unordered_set<long> const& pages_read() const noexcept { return buffer_.pages_reached(); }

private:
    qvPageStreamBuf buffer_;
};
