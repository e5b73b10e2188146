// Writing side of the binary streams; the header layout is in
// core/qvStreamHeader.hpp.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "core/qvStreamHeader.hpp"
#include "core/qvStreambufErrors.hpp"

#include <cstring>

namespace {

using traits = std::streambuf::traits_type;

}  // namespace

// Header or payload refused alike.
void qvRaiseInvalidStreambuf() { qvRaise(qvErrorFrom<std::streambuf*>("Invalid streambuf")); }

qvOutputStream::qvOutputStream(qvVersion const& version, bool write_header) noexcept
    : write_header_(write_header) {
    qvStreamVersion::version(version);
}

qvOutputStream::qvOutputStream(std::streambuf* sb, qvVersion const& version, bool write_header)
    : qvOutputStream(version, write_header) {
    connect_streambuf(sb);
}

qvOutputStream::qvOutputStream(orvane::auto_ptr<std::streambuf> sb, qvVersion const& version,
                               bool write_header)
    : qvOutputStream(version, write_header) {
    connect_streambuf(sb);
}

void qvOutputStream::connect_streambuf(orvane::auto_ptr<std::streambuf> sb) {
    if (!sb.get()) return;
    qvStream::connect_streambuf(sb);
    if (write_header_) save_version_info(rdbuf());
}

void qvOutputStream::connect_streambuf(std::streambuf* sb) {
    if (!sb) return;
    qvStream::connect_streambuf(sb);
    if (write_header_) save_version_info(sb);
}

void qvOutputStream::put(char c) {
    std::streambuf* const sb = rdbuf();
    if (sb && traits::eq_int_type(sb->sputc(c), traits::eof())) qvRaiseInvalidStreambuf();
}

void qvOutputStream::putn(char const* bytes, int n) {
    std::streambuf* const sb = rdbuf();
    if (!sb || n <= 0) return;
    QV_ASSERT(bytes != nullptr);
    if (sb->sputn(bytes, n) != n) qvRaiseInvalidStreambuf();
}

void qvOutputStream::save_version_info(std::streambuf* sb) {
    QV_ASSERT_TEXT(sb, "sb");
    if (!version().valid()) return;
    char header[qvStreamHeaderSize];
    std::memcpy(header, qvStreamHeaderSignature, qvStreamHeaderSignatureSize);
    const auto version_bytes = qvEncodeStreamVersion(version());
    std::memcpy(header + qvStreamHeaderSignatureSize, version_bytes.data(), version_bytes.size());
    if (sb->sputn(header, qvStreamHeaderSize) != qvStreamHeaderSize) qvRaiseInvalidStreambuf();
}
