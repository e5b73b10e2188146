// qvPageIO: a range of a page through whole-page transfers, for storages
// that cannot write one in place.

#include <orvane/scenes/qvPageIO.hpp>

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvPageLayout.hpp"

#include <cstring>

void qvPageIO::write_part(long page, std::size_t offset, void const* bytes, std::size_t length) {
    QV_ASSERT(offset <= qvPageBytes && length <= qvPageBytes - offset);
    alignas(qvPageBufferAlignment) unsigned char buffer[qvPageBytes];
    read(page, buffer);
    std::memcpy(buffer + offset, bytes, length);
    write(page, buffer);
}
