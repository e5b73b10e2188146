// qvString and its stream form: see qvString.hpp for what holds.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStreamFields.hpp"

#include <cstdint>
#include <cstring>
#include <memory>

namespace {

// Longest text whose length fits the signed 16-bit length field.
constexpr std::size_t max_stream_length = 32767;

char* copy_of(char const* text, std::size_t length) {
    char* const copy = new char[length + 1];
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

char* copy_of(char const* text) {
    return text ? copy_of(text, std::strlen(text)) : copy_of("", 0);
}

}  // namespace

// ---- construction ---------------------------------------------------------

qvString::qvString() : text_(copy_of("", 0)) {}

qvString::qvString(char const* text) : text_(copy_of(text)) {}

qvString::qvString(qvString const& other) : text_(copy_of(other.text_)) {}

qvString::~qvString() { delete[] text_; }

void qvString::adopt(char* text) noexcept {
    delete[] text_;
    text_ = text;
}

// ---- changes: the new array is complete before the old one goes -----------

qvString& qvString::operator=(qvString const& other) { return *this = other.text_; }

qvString& qvString::operator=(char const* text) {
    if (text != text_) adopt(copy_of(text));
    return *this;
}

qvString& qvString::operator+=(qvString const& other) { return *this += other.text_; }

qvString& qvString::operator+=(char const* text) {
    const std::size_t own_length = std::strlen(text_);
    const std::size_t added_length = text ? std::strlen(text) : 0;
    if (added_length == 0) return *this;
    char* const joined = new char[own_length + added_length + 1];
    std::memcpy(joined, text_, own_length);
    std::memcpy(joined + own_length, text, added_length);
    joined[own_length + added_length] = '\0';
    adopt(joined);
    return *this;
}

void qvString::reserve(int n) {
    if (n <= 0 || std::strlen(text_) >= static_cast<std::size_t>(n)) return;
    const auto length = static_cast<std::size_t>(n);
    char* const blanks = new char[length + 1];
    std::memset(blanks, ' ', length);
    blanks[length] = '\0';
    adopt(blanks);
}

// ---- comparison -------------------------------------------------------------

bool qvString::operator<(qvString const& other) const noexcept { return *this < other.text_; }

bool qvString::operator<(char const* text) const noexcept {
    return text && std::strcmp(text_, text) < 0;
}

bool qvString::operator==(qvString const& other) const noexcept { return *this == other.text_; }

bool qvString::operator==(char const* text) const noexcept {
    return text && std::strcmp(text_, text) == 0;
}

// ---- stream form ------------------------------------------------------------

namespace {

void write_text(qvOutputStream& os, char const* text, std::size_t length) {
    if (length > max_stream_length)
        qvRaise(qvErrorFrom<qvString>("String too long for stream"));
    qvWriteValue(os, static_cast<std::int16_t>(length));
    os.putn(text, static_cast<int>(length));
}

// The length field of a string about to be read; a negative one is raised
// as Error before the caller allocates anything.
template <class Error>
int read_length(qvInputStream& is) {
    const std::int16_t length = qvReadValue<std::int16_t>(is);
    if (length < 0) qvRaise(Error("Incomplete string on input"));
    return length;
}

template <class Error>
void read_body(qvInputStream& is, char* p, int length) {
    if (length != 0 && is.getn(p, length) != length) qvRaise(Error("Incomplete string on input"));
}

}  // namespace

qvOutputStream& operator<<(qvOutputStream& os, qvString const& s) {
    write_text(os, s(), std::strlen(s()));
    return os;
}

qvOutputStream& operator<<(qvOutputStream& os, char const* text) {
    write_text(os, text ? text : "", text ? std::strlen(text) : 0);
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvString& s) {
    const int length = read_length<qvErrorFrom<qvString>>(is);
    std::unique_ptr<char[]> text(new char[static_cast<std::size_t>(length) + 1]);
    text[static_cast<std::size_t>(length)] = '\0';
    read_body<qvErrorFrom<qvString>>(is, text.get(), length);
    s.adopt(text.release());
    return is;
}

qvInputStream& operator>>(qvInputStream& is, char* p) {
    if (!p) return is;
    const int length = read_length<qvErrorFrom<char*>>(is);
    p[length] = '\0';
    read_body<qvErrorFrom<char*>>(is, p, length);
    return is;
}
