// The provided members of the driver model's interfaces.

#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverInterfaces.hpp>

#include <orvane/geometry/qvRegion.hpp>

void qvDrawObject::clip(qvMathRectOf<double> const& rect) { clip(qvRegion(rect)); }

qvMathRectOf<double> qvDrawObject::clip_box() { return clip().bbox(); }

long qvDriverColorMap::load_colors(qvColorMap const& map) {
    colors(map);
    return 1;
}
