// qvFileIteratorImplementation over the POSIX layer's directory search.

#include <orvane/core/qvFileIteratorImplementation.hpp>

#include "platform/qvPlatformDirectory.hpp"

namespace platform = orvane::platform;

void qvFileIteratorImplementation::SearchCloser::operator()(
    platform::DirectorySearch* search) const noexcept {
    platform::find_close(search);
}

qvFileIteratorImplementation::qvFileIteratorImplementation(char const* directory,
                                                           char const* pattern)
    : path_(directory != nullptr ? directory : ""), prefix_length_(0) {
    path_ += '/';
    prefix_length_ = path_.size();
    std::string name;
    search_.reset(platform::find_first(directory, pattern, name));
    path_ += name;
}

qvFileIteratorImplementation::~qvFileIteratorImplementation() = default;

char* qvFileIteratorImplementation::get() { return path_.data(); }

void qvFileIteratorImplementation::next() {
    if (!search_) return;
    std::string name;
    if (!platform::find_next(search_.get(), name)) {
        search_.reset();
        return;
    }
    path_.resize(prefix_length_);
    path_ += name;
}

bool qvFileIteratorImplementation::at_end() const { return !search_; }
