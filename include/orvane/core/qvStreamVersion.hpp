#pragma once
// qvStreamVersion: the version a binary stream carries, and the probe that
// reads it from a buffer's stream header.
//
// Keeps true: the version is 0 until a header has been read whole; a buffer
// without a header is left positioned on its first byte.

#include <orvane/core/qvVersion.hpp>

#include <streambuf>

class qvStreamVersion {
public:
    qvStreamVersion() noexcept = default;

    qvVersion const& version() const noexcept { return version_; }

protected:
    void version(qvVersion const& version) noexcept { version_ = version; }

    // Resets the version to 0, then reads the header at the current position
    // of sb. Without a header the probed bytes are given back (pushed back
    // within the get area, else by seeking) and false is returned only when
    // that failed. With a header, true when its 4 version bytes arrived; when
    // fewer arrive they are consumed and the version stays 0. sb must not be
    // null.
    bool load_version_info(std::streambuf* sb);

private:
    qvVersion version_;
};
