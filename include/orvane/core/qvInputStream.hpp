#pragma once
// qvInputStream: reads the bytes of a binary stream and knows its version.
//
// Keeps true: the version is the one read from the header of the connected
// buffer (0 when it had none, or before any buffer was connected). An
// unconnected stream reads nothing: get, peek, getn and skip give -1.

#include <orvane/core/qvStream.hpp>
#include <orvane/core/qvStreamVersion.hpp>

class qvInputStream : public qvStream, public qvStreamVersion {
public:
    qvInputStream() noexcept = default;
    explicit qvInputStream(std::streambuf* sb);
    explicit qvInputStream(orvane::auto_ptr<std::streambuf> sb);

    // Both connect forms read the header of the new buffer; null is ignored.
    void connect_streambuf(orvane::auto_ptr<std::streambuf> sb) override;
    void connect_streambuf(std::streambuf* sb) override;

    // The next byte as 0..255, or -1 at the end or when unconnected.
    int get();
    int peek();
    // Reads up to n bytes; returns how many arrived, -1 when unconnected.
    int getn(char* bytes, int n);
    // Moves the position by n from the current one; returns the new position,
    // -1 when unconnected or when the buffer cannot seek.
    long skip(long n);

    // Connected and not at the end of the data.
    explicit operator bool() const;
};

// Raises qvErrorFrom<qvInputStream>(message): the one raise of every reader
// that finds its input short or malformed.
[[noreturn]] void qvThrowInputStreamError(qvInputStream& is, char const* message);
