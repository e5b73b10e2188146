// The library's default stream version. A function-local static, so it is
// valid in any static initialiser that writes a stream.

#include <orvane/core/qvVersion.hpp>

qvVersion const& qvVersion::default_version() noexcept {
    static const qvVersion version(3, 4, 1);
    return version;
}
