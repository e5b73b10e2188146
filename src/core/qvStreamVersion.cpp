// The stream header probe.
//
// The probe must leave a headerless buffer on its first byte, and some
// buffers cannot seek at all (page streams), so the probed bytes go back by
// sungetc within the get area first; seeking to the remembered position is
// the second resort. The position is taken for input only: a seek "for input
// and output" fails on a std::stringbuf.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvStreamVersion.hpp>

#include "core/qvStreamHeader.hpp"

#include <cstring>
#include <ios>

namespace {

using traits = std::streambuf::traits_type;

// Gives back the last `count` bytes read from sb; true on success.
bool unread(std::streambuf* sb, std::streampos start, std::streamsize count) {
    std::streamsize pushed = 0;
    while (pushed < count && !traits::eq_int_type(sb->sungetc(), traits::eof())) ++pushed;
    if (pushed == count) return true;
    if (start == std::streampos(std::streamoff(-1))) return false;
    return sb->pubseekpos(start, std::ios_base::in) == start;
}

}  // namespace

bool qvStreamVersion::load_version_info(std::streambuf* sb) {
    QV_ASSERT_TEXT(sb, "sb");
    version_ = qvVersion(0);
    const std::streampos start = sb->pubseekoff(0, std::ios_base::cur, std::ios_base::in);

    char signature[qvStreamHeaderSignatureSize];
    const std::streamsize n = sb->sgetn(signature, qvStreamHeaderSignatureSize);
    if (n == 0) return false;
    if (n != qvStreamHeaderSignatureSize ||
        std::memcmp(signature, qvStreamHeaderSignature, qvStreamHeaderSignatureSize) != 0)
        return unread(sb, start, n);

    // A short version leaves the version at 0 rather than half filled.
    char version_bytes[qvStreamHeaderVersionSize];
    if (sb->sgetn(version_bytes, qvStreamHeaderVersionSize) != qvStreamHeaderVersionSize)
        return false;
    version_ = qvDecodeStreamVersion(version_bytes);
    return true;
}
