// qvLinePattern: copies, comparison and the stream form (see the header).

#include <orvane/attributes/qvLinePattern.hpp>

#include "core/qvStreamFields.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <cstring>

qvLinePattern::qvLinePattern(double const* dashes, int count, double offset) : offset_(offset) {
    QV_ASSERT(count >= 0 && (count == 0 || dashes != nullptr));
    dashes_.assign(dashes, dashes + count);
}

bool qvLinePattern::operator==(qvLinePattern const& other) const noexcept {
    return dashes_.size() == other.dashes_.size() && offset_ == other.offset_ &&
           (dashes_.empty() ||
            std::memcmp(dashes_.data(), other.dashes_.data(), dashes_.size() * sizeof(double)) == 0);
}

void qvLinePattern::save(qvOutputStream& os) const {
    qvWriteInt32(os, count());
    qvWriteValue(os, offset_);
    for (double dash : dashes_)
        qvWriteValue(os, dash);
}

// The count is hostile: dashes are taken one by one as they arrive, so a
// huge count on a short stream fails before any large allocation.
void qvLinePattern::load(qvInputStream& is) {
    const long count = qvReadInt32(is);
    if (count < 0)
        qvThrowInputStreamError(is, "Invalid count on input");
    qvLinePattern read;
    read.offset_ = qvReadValue<double>(is);
    for (long i = 0; i < count; ++i)
        read.dashes_.push_back(qvReadValue<double>(is));
    *this = std::move(read);
}

qvOutputStream& operator<<(qvOutputStream& os, qvLinePattern const& pattern) {
    pattern.save(os);
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvLinePattern& pattern) {
    pattern.load(is);
    return is;
}
