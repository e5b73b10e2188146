// The mapping dimension handle: making a dimension, and finding the
// dimension behind a scroller.

#include <orvane/views/qvMappingDimension.hpp>

qvMappingDimension::qvMappingDimension(int, bool enabled)
    : qvISafePtr<qvMappingDimensionObject>(new qvMappingDimensionObject(enabled)) {}

qvMappingDimension::qvMappingDimension(qvScrollerInterface* scroller)
    : qvISafePtr<qvMappingDimensionObject>(qvQueryInterface<qvMappingDimensionObject>(scroller)) {}

qvMappingDimension::qvMappingDimension(qvScroller const& scroller)
    : qvISafePtr<qvMappingDimensionObject>(
          scroller, qvQueryInterface<qvMappingDimensionObject>(scroller.get())) {}
