// qvTempBlockFile: see the header for what holds.

#include <orvane/core/qvTempBlockFile.hpp>

#include <orvane/core/qvError.hpp>

#include "platform/qvPlatformFile.hpp"

#include <utility>

namespace platform = orvane::platform;

qvTempBlockFile::qvTempBlockFile() : renamed_(false) {
    std::string name;
    const int fd = platform::create_temp_file("qvbf", name);
    if (fd < 0) qvRaise(qvErrorFrom<qvTempBlockFile>("Cannot open file"));
    if (!platform::lock_new_file(fd)) {
        platform::close_file(fd);
        platform::remove_file(name.c_str());
        qvRaise(qvErrorFrom<qvTempBlockFile>("Cannot open file"));
    }
    try {
        adopt(fd, name.c_str());   // closes fd when it throws
    } catch (...) {
        platform::remove_file(name.c_str());
        throw;
    }
    temp_name_ = std::move(name);
}

qvTempBlockFile::qvTempBlockFile(qvTempBlockFile&& other) noexcept
    : qvBlockFile(std::move(other)),
      renamed_(std::exchange(other.renamed_, false)),
      temp_name_(std::exchange(other.temp_name_, std::string())) {}

qvTempBlockFile& qvTempBlockFile::operator=(qvTempBlockFile&& other) {
    if (this != &other) {
        remove_temporary();
        qvBlockFile::operator=(std::move(other));
        renamed_ = std::exchange(other.renamed_, false);
        temp_name_ = std::exchange(other.temp_name_, std::string());
    }
    return *this;
}

qvTempBlockFile::~qvTempBlockFile() { remove_temporary(); }

void qvTempBlockFile::rename(char const* new_name) {
    qvBlockFile::rename(new_name);
    renamed_ = true;
}

// The content is being thrown away, so neither a failed close nor a failed
// unlink (the file may be gone already) is worth ending the process for.
void qvTempBlockFile::remove_temporary() noexcept {
    if (renamed_ || temp_name_.empty()) return;
    release_handle();
    platform::remove_file(temp_name_.c_str());
    temp_name_.clear();
}
