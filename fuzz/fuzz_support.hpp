#pragma once
// Shared frame of the loader fuzz targets.
//
// Keeps true: a loader's outcome on any input is success or a qvError; the
// only assertions a target lets pass are those its loader documents as its
// answer to bad input (the colour range checks, an unknown brush version,
// handles out of range in a palette stream ...). Any other assertion, a
// crash, a leak or a sanitizer report is a finding: the target aborts, and
// libFuzzer keeps the input.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace qvfuzz {

// The input as a readable buffer; a stream connected to it takes a binary
// stream header off the front when there is one, so inputs choose their
// stream version too.
inline std::string bytes_of(std::uint8_t const* data, std::size_t size) {
    return std::string(reinterpret_cast<char const*>(data), size);
}

// Aborts with the unexpected assertion on standard error.
[[noreturn]] inline void finding(qvError const& error, char const* what) {
    std::fprintf(stderr, "finding (%s): %s\n", what, static_cast<char const*>(error));
    std::abort();
}

// Runs `load`; a qvError ends the input quietly, an assertion only when its
// expression is one of `documented`. Returns whether the load succeeded.
template <class Load>
bool attempt(Load&& load, std::initializer_list<std::string_view> documented = {}) {
    try {
        load();
        return true;
    } catch (qvAssertionError const& failed) {
        for (std::string_view text : documented)
            if (text == static_cast<char const*>(failed)) return false;
        finding(failed, "assertion");
    } catch (qvError const&) {
        return false;
    }
}

// The bytes `save` writes to a stream of `version` without a header, so a
// reader of the same version reads them back (a versioned stream tells its
// reader the version through the header; here both sides know it).
template <class Save>
std::string saved(Save&& save, qvVersion version) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, version, false);
    save(out);
    return buffer.str();
}

// A reader of a fixed version over `bytes`: the header is written in front
// so the stream carries the version, as a real file would.
struct VersionedInput {
    VersionedInput(std::string const& bytes, qvVersion version) {
        std::stringbuf header;
        { qvOutputStream out(&header, version, true); }
        buffer.str(header.str() + bytes);
        in.connect_streambuf(&buffer);
    }
    std::stringbuf buffer;
    qvInputStream in;
};

// A round trip that does not reproduce its bytes is a finding.
inline void require_same(std::string const& first, std::string const& second, char const* what) {
    if (first == second) return;
    std::fprintf(stderr, "finding (%s): round trip changed %zu bytes into %zu bytes\n", what, first.size(),
                 second.size());
    std::abort();
}

// Two bitmaps of equal size, type and pixel bytes, or a finding.
template <class Bitmap>
void require_same_image(Bitmap const& a, Bitmap const& b) {
    if (a.width() != b.width() || a.height() != b.height() || a.type() != b.type() || a.size() != b.size())
        std::abort();
    if (a.size() > 0 && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(a.size())) != 0) std::abort();
}

// The input as one shape record: an 8-aligned block of exactly the
// input's bytes (at least the 40-byte header, zero-filled), whose size
// field is set to the block's length, so a record never claims bytes it
// does not have.
inline std::unique_ptr<qvShapeBase> record_of(std::uint8_t const* data, std::size_t size) {
    const std::size_t bytes = size < sizeof(qvShapeBase) ? sizeof(qvShapeBase) : size;
    if (bytes > 0x7FFFFFF8) return nullptr;
    std::unique_ptr<qvShapeBase> record(qvNewShapeRecord(static_cast<int>(bytes)));
    if (size > 0) std::memcpy(static_cast<void*>(record.get()), data, size);
    record->size = static_cast<std::int32_t>(bytes);
    return record;
}

}   // namespace qvfuzz
