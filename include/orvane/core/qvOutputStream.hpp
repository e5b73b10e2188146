#pragma once
// qvOutputStream: writes the bytes of a binary stream in a given version.
//
// Stream header, written when a buffer is connected with write_header set
// and a version other than 0 (little-endian):
//   offset  size  meaning
//        0     1  0xA9
//        1    20  "ORVANE BINARY STREAM" (ASCII, no terminator)
//       21     1  0x00
//       22     4  the version value
//
// Keeps true: an unconnected stream writes nothing. A buffer that refuses
// bytes raises qvErrorFrom<std::streambuf*> "Invalid streambuf" instead of
// losing them silently.

#include <orvane/core/qvStream.hpp>
#include <orvane/core/qvStreamVersion.hpp>

class qvOutputStream : public qvStream, public qvStreamVersion {
public:
    explicit qvOutputStream(qvVersion const& version = qvVersion::default_version(),
                            bool write_header = true) noexcept;
    qvOutputStream(std::streambuf* sb, qvVersion const& version, bool write_header);
    qvOutputStream(orvane::auto_ptr<std::streambuf> sb, qvVersion const& version,
                   bool write_header);

    // Both connect forms write the header to the new buffer when write_header
    // is set; null is ignored. A holder is taken over before the header is
    // written, so a buffer that fails the header is still deleted once.
    void connect_streambuf(orvane::auto_ptr<std::streambuf> sb) override;
    void connect_streambuf(std::streambuf* sb) override;

    void put(char c);
    void putn(char const* bytes, int n);

    bool write_header() const noexcept { return write_header_; }

private:
    void save_version_info(std::streambuf* sb);

    bool write_header_;
};
