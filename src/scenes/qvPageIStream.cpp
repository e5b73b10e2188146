// qvPageIStream: the buffer is opened first, then connected, which reads
// the header from the root page.

#include <orvane/scenes/qvPageIStream.hpp>

qvPageIStream::qvPageIStream(qvPageDevice& device, char const* name) : buffer_(device, name, false) {
    connect_streambuf(&buffer_);
}
