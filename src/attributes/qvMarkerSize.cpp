// qvMarkerSize: the stream form, one float64.

#include <orvane/attributes/qvMarkerSize.hpp>

#include "core/qvStreamFields.hpp"

qvOutputStream& operator<<(qvOutputStream& os, qvMarkerSize const& size) {
    qvWriteValue(os, size.size());
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvMarkerSize& size) {
    size = qvMarkerSize(qvReadValue<double>(is));
    return is;
}
