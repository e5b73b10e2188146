#pragma once
// qvHashStreamBuf: a stream buffer that keeps no bytes, only a 32-bit hash
// of everything written to it: for each byte c (taken as 0..255),
// hash = rotate_left(hash, 5) XOR c, the rotation within 32 bits. Nothing
// can be read back.
//
// Keeps true: the hash starts at the seed (0xE1D2B478 by default), so no
// bytes hash to the seed and "abc" to 0x5A3DF8CA from the default seed.

#include <cstdint>
#include <streambuf>

class qvHashStreamBuf : public std::basic_streambuf<char> {
public:
    static constexpr unsigned long default_seed = 0xE1D2B478UL;

    qvHashStreamBuf() noexcept : hash_(static_cast<std::uint32_t>(default_seed)) {}
    // The bool is not used.
    qvHashStreamBuf(unsigned long seed, bool) noexcept : hash_(static_cast<std::uint32_t>(seed)) {}

protected:
    std::streambuf* setbuf(char*, std::streamsize) override { return nullptr; }
    int sync() override { return 0; }
    int_type underflow() override { return traits_type::eof(); }
    // Hashes one byte; end-of-file is ignored. Returns 0.
    int_type overflow(int_type c) override;
    // The same hash as byte-wise overflow, without a call per byte.
    std::streamsize xsputn(char const* bytes, std::streamsize n) override;

    unsigned long hash() const noexcept { return hash_; }

private:
    void feed(unsigned char c) noexcept { hash_ = ((hash_ << 5) | (hash_ >> 27)) ^ c; }

    std::uint32_t hash_;
};
