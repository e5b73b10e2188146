// Buffer ownership of the binary streams: see qvStream.hpp for what holds.

#include <orvane/core/qvStream.hpp>

void qvStream::connect_streambuf(orvane::auto_ptr<std::streambuf> sb) {
    if (!sb.get()) return;
    owned_ = sb;
    in_use_ = owned_.get();
}

void qvStream::connect_streambuf(std::streambuf* sb) {
    if (sb) in_use_ = sb;
}

std::streambuf* qvStream::disconnect_streambuf() noexcept {
    std::streambuf* const was_in_use = in_use_;
    // Never hand out the buffer about to be deleted.
    const bool deletes_it = owned_.owner() && owned_.get() == was_in_use;
    owned_ = orvane::auto_ptr<std::streambuf>();
    in_use_ = nullptr;
    return deletes_it ? nullptr : was_in_use;
}
