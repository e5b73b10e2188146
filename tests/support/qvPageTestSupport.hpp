#pragma once
// Page-file test support: a sparse in-memory page storage that records every
// transfer and can be told to fail, raw page bytes of files on disk, and
// hand-made page files (map, directory) for the loaders' bad-input tests.

#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvPageStorage.hpp>

#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFileDirectory.hpp"
#include "scenes/qvPageFileStorage.hpp"
#include "scenes/qvPageLayout.hpp"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qv_page_test {

using Page = std::array<unsigned char, qvPageBytes>;

// One transfer at the page I/O: 'R' or 'W', the page, and for writes a
// checksum of the bytes written.
struct Transfer {
    char op;
    long page;
    std::uint64_t sum;
    bool operator==(Transfer const&) const = default;
};

inline std::uint64_t checksum(void const* bytes, std::size_t n = qvPageBytes) {
    std::uint64_t h = 1469598103934665603ULL;   // FNV-1a
    for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char const*>(bytes)[i]) * 1099511628211ULL;
    return h;
}

// Pages never written read as zeros; only written pages take memory, so a
// storage can be millions of pages long. Reads past the count fail as the
// file storage's do.
class MemoryStorage : public qvPageStorage {
public:
    void write(long page, void* buffer) override {
        if (fail_writes > 0) {
            --fail_writes;
            qvRaise(qvErrorFrom<qvPageFileStorage>("injected write failure"));
        }
        auto& stored = pages[page];
        if (!stored) stored = std::make_unique<Page>();
        std::memcpy(stored->data(), buffer, qvPageBytes);
        if (recording) log.push_back({'W', page, checksum(buffer)});
    }
    void read(long page, void* buffer) override {
        if (fail_reads > 0) {
            --fail_reads;
            qvRaise(qvErrorFrom<qvPageFileStorage>("injected read failure"));
        }
        if (page < 0 || page >= count)
            qvRaise(qvErrorFrom<qvPageFileStorage>("Part of the Orvane pagefile is missing"));
        const auto found = pages.find(page);
        if (found == pages.end())
            std::memset(buffer, 0, qvPageBytes);
        else
            std::memcpy(buffer, found->second->data(), qvPageBytes);
        if (recording) log.push_back({'R', page, 0});
    }
    void limit(long n) override {
        if (n > most_pages) qvRaise(qvErrorFrom<qvPageFileStorage>("injected limit failure"));
        count = n;
        pages.erase(pages.lower_bound(n), pages.end());
    }
    long limit() override { return count; }

    // The stored bytes of a page (zeros when never written).
    Page bytes(long page) const {
        Page out{};
        if (const auto found = pages.find(page); found != pages.end()) out = *found->second;
        return out;
    }
    // Count n, page p filled with byte p, none of it logged.
    void fill_numbered(long n) {
        count = n;
        const bool was_recording = recording;
        recording = false;
        for (long p = 0; p < n; ++p) {
            Page page;
            page.fill(static_cast<unsigned char>(p));
            write(p, page.data());
        }
        recording = was_recording;
    }
    std::uint32_t word(long page, std::size_t offset) const { return qvPageWord(bytes(page).data(), offset); }
    void set_word(long page, std::size_t offset, std::uint32_t value) {
        auto& stored = pages[page];
        if (!stored) stored = std::make_unique<Page>();
        qvSetPageWord(stored->data(), offset, value);
    }

    std::map<long, std::unique_ptr<Page>> pages;
    long count = 0;
    long most_pages = qvMaxPageCount;
    int fail_reads = 0;
    int fail_writes = 0;
    bool recording = true;
    std::vector<Transfer> log;
};

// --- files on disk --------------------------------------------------------------

inline std::string page_of(std::string const& file, long page) {
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(qvPagePosition(page)));
    std::string bytes(qvPageBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

inline std::uint32_t word_at(std::string const& bytes, std::size_t offset) { return qvPageWord(bytes.data(), offset); }

inline std::string hex(std::string const& bytes) {
    static char const digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Writes bytes into a file at a position, the file growing as needed.
inline void patch(std::string const& file, long long position, std::string const& bytes) {
    std::fstream io(file, std::ios::binary | std::ios::in | std::ios::out);
    io.seekp(static_cast<std::streamoff>(position));
    io.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string le32(std::uint32_t value) {
    std::string out(4, '\0');
    qvSetPageWord(out.data(), 0, value);
    return out;
}

// A directory page with `count` in its count field and no entries written.
inline std::string directory_page(std::uint32_t count) {
    std::string page(qvPageBytes, '\0');
    qvSetPageWord(page.data(), 0, qvPageFileDirectory::magic);
    qvSetPageWord(page.data(), 4, count);
    return page;
}

}  // namespace qv_page_test
