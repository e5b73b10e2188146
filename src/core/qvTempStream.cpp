// TempFileBuf and TempStream over the POSIX layer's temporary files.

#include <orvane/core/qvTempStream.hpp>

#include "platform/qvPlatformFile.hpp"

#include <utility>

namespace platform = orvane::platform;

TempFileBuf::TempFileBuf() {
    std::string name;
    const int fd = platform::create_temp_file("qvts", name);
    if (fd < 0) return;
    // mkstemp made the file exclusively, so the name is ours to reopen.
    const bool opened = open(name, std::ios_base::in | std::ios_base::out | std::ios_base::trunc
                                       | std::ios_base::binary) != nullptr;
    platform::close_file(fd);
    if (!opened) {
        platform::remove_file(name.c_str());
        return;
    }
    name_ = std::move(name);
}

TempFileBuf::~TempFileBuf() {
    close();
    if (!name_.empty()) platform::remove_file(name_.c_str());
}

TempStream::TempStream() : TempFileBuf(), std::iostream(this) {
    if (!is_open()) setstate(std::ios_base::badbit);
}

void TempStream::copy_to_stream(std::ostream& os, bool rewind) {
    if (rewind) seekg(0, std::ios_base::beg);
    std::streambuf* const buffer = static_cast<TempFileBuf*>(this);
    if (std::char_traits<char>::eq_int_type(buffer->sgetc(), std::char_traits<char>::eof()))
        return;
    os << buffer;
}
