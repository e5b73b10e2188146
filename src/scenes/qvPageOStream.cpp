// qvPageOStream: the buffer is opened first, then connected, which writes
// the header onto the root page.

#include <orvane/scenes/qvPageOStream.hpp>

#include <orvane/core/qvVersion.hpp>

qvPageOStream::qvPageOStream(qvPageDevice& device, char const* name)
    : qvOutputStream(qvVersion::default_version(), true), buffer_(device, name, true) {
    connect_streambuf(&buffer_);
}
