// Reading side of the binary streams.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>

#include <ios>

namespace {
using traits = std::streambuf::traits_type;

int as_byte(traits::int_type c) { return traits::eq_int_type(c, traits::eof()) ? -1 : c; }
}  // namespace

qvInputStream::qvInputStream(std::streambuf* sb) { connect_streambuf(sb); }

qvInputStream::qvInputStream(orvane::auto_ptr<std::streambuf> sb) { connect_streambuf(sb); }

void qvInputStream::connect_streambuf(orvane::auto_ptr<std::streambuf> sb) {
    if (!sb.get()) return;
    qvStream::connect_streambuf(sb);
    load_version_info(rdbuf());
}

void qvInputStream::connect_streambuf(std::streambuf* sb) {
    if (!sb) return;
    qvStream::connect_streambuf(sb);
    load_version_info(sb);
}

int qvInputStream::get() {
    std::streambuf* const sb = rdbuf();
    return sb ? as_byte(sb->sbumpc()) : -1;
}

int qvInputStream::peek() {
    std::streambuf* const sb = rdbuf();
    return sb ? as_byte(sb->sgetc()) : -1;
}

int qvInputStream::getn(char* bytes, int n) {
    std::streambuf* const sb = rdbuf();
    if (!sb) return -1;
    if (n <= 0) return 0;
    QV_ASSERT(bytes != nullptr);
    return static_cast<int>(sb->sgetn(bytes, n));
}

long qvInputStream::skip(long n) {
    std::streambuf* const sb = rdbuf();
    if (!sb) return -1;
    return static_cast<long>(std::streamoff(sb->pubseekoff(n, std::ios_base::cur, std::ios_base::in)));
}

qvInputStream::operator bool() const {
    std::streambuf* const sb = rdbuf();
    return sb && !traits::eq_int_type(sb->sgetc(), traits::eof());
}

void qvThrowInputStreamError(qvInputStream& /*is*/, char const* message) {
    qvRaise(qvErrorFrom<qvInputStream>(message));
}
