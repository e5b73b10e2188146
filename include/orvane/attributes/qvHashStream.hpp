#pragma once
// qvHashStream: an output stream that writes into its own hash buffer, so
// that what a value writes to a binary stream can be hashed. It writes no
// stream header; its version is the library's default, 3.4.1, so values
// take the same form as in a palette saved by this library.

#include <orvane/attributes/qvHashStreamBuf.hpp>
#include <orvane/core/qvOutputStream.hpp>

class qvHashStream : public qvHashStreamBuf, public qvOutputStream {
public:
    explicit qvHashStream(unsigned long seed = default_seed, bool unused = false);
    qvHashStream(qvHashStream const&) = delete;
    qvHashStream& operator=(qvHashStream const&) = delete;

    // The hash of everything written so far.
    using qvHashStreamBuf::hash;
};
