// qvIndexToIndex: building the index translation; see the header.

#include <orvane/attributes/qvIndexToIndex.hpp>

#include <orvane/attributes/qvRgbToIndex.hpp>

#include "attributes/qvColorNearest.hpp"

#include <algorithm>

namespace {

void fill_identity(unsigned char* table) noexcept {
    for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
}

}  // namespace

qvIndexToIndex::qvIndexToIndex() noexcept { fill_identity(table_); }

qvIndexToIndex::qvIndexToIndex(qvColorMapReference const& source, qvRgbToIndex const* target) {
    fill_identity(table_);
    active_ = source.simple() && source.size() > 0 && target && target->colormap().size() > 0;
    if (active_) initialize(source, target->colormap());
}

// A simple source names index i at position i; positions past 255 cannot be
// pixel values and are not looked at.
void qvIndexToIndex::initialize(qvColorMapReference const& source,
                                qvColorMapReference const& target) noexcept {
    qvColorMapEntry const* colors = source.data();
    const int count = std::min(source.size(), 256);
    for (int i = 0; i < count; ++i)
        table_[i] = qvNearestIndex(target.data(), target.size(), colors[i].red(), colors[i].green(),
                                   colors[i].blue());
}
