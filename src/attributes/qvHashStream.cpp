// qvHashStream: an output stream over its own hash buffer (see
// qvHashStream.hpp).

#include <orvane/attributes/qvHashStream.hpp>

#include <orvane/core/qvVersion.hpp>

qvHashStream::qvHashStream(unsigned long seed, bool unused)
    : qvHashStreamBuf(seed, unused),
      qvOutputStream(static_cast<std::streambuf*>(this), qvVersion(3, 4, 1), false) {}
