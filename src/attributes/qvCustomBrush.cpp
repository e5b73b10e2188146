// qvCustomBrush: the version word around the kind dispatch of
// qvCustomBrushIO (layout in the header).

#include <orvane/attributes/qvCustomBrush.hpp>

#include "core/qvStreamFields.hpp"

#include <orvane/attributes/qvCustomBrushIO.hpp>
#include <orvane/core/qvAssertionError.hpp>

namespace {
constexpr long format_version = 0;
}

void qvCustomBrush::save(qvOutputStream& os) const {
    qvWriteInt32(os, format_version);
    qvCustomBrushIO::save(os, *this);
}

void qvCustomBrush::load(qvInputStream& is) {
    const long version = qvReadInt32(is);
    QV_ASSERT_TEXT(version == format_version, "false");
    qvCustomBrushIO::load(is, *this);
}
