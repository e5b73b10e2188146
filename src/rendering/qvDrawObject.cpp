// The provided members of the draw object.

#include <orvane/rendering/qvDrawObject.hpp>

#include <orvane/geometry/qvRegion.hpp>

void qvDrawObject::clip(qvMathRectOf<double> const& rect) { clip(qvRegion(rect)); }

qvMathRectOf<double> qvDrawObject::clip_box() { return clip().bbox(); }
