// Fixed-size fields on binary streams: see qvStreamFields.hpp.

#include "core/qvStreamFields.hpp"

#include <orvane/core/qvNumericConversion.hpp>

void qvReadExact(qvInputStream& is, void* bytes, int n) {
    if (is.getn(static_cast<char*>(bytes), n) != n)
        qvThrowInputStreamError(is, "Incomplete data on input");
}

long qvReadInt32(qvInputStream& is) { return qvReadValue<std::int32_t>(is); }

void qvWriteInt32(qvOutputStream& os, long value) {
    qvWriteValue(os, qvCheckedInt32(value));
}
