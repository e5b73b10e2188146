// qvGridRegionInternalIterator: the start of a walk, where the grid region's
// storage is reached (the iterator is its friend).

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvGridRegionInternalIterator.hpp>

qvGridRegionInternalIterator::qvGridRegionInternalIterator(qvGridRegion const& region) noexcept
    : grid_(&region.grid_), rows_(region.grid_.row_count()) {
    seek_band();
}
