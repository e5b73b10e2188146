// Reading the raster test host's log back: the regions its clip lines name
// and the area shapes were drawn under, for tests, the example and the
// benchmarks that count what a redraw had to draw.
#ifndef ORVANE_TESTS_SUPPORT_RASTER_QVRASTERLOG_HPP
#define ORVANE_TESTS_SUPPORT_RASTER_QVRASTERLOG_HPP

#include <orvane/geometry/qvGridRegion.hpp>

#include <string>
#include <vector>

// The rectangles of a log text "(x1 y1 x2 y2)+(...)", as a region; a
// rectangle cut short is left out.
qvGridRegion qvRasterLogRegion(std::string const& text);

// The union of the clips under which shapes were drawn in `log`. A draw
// object that was never clipped draws on its whole buffer, taken as
// width by height.
qvGridRegion qvRasterDrawnRegion(std::vector<std::string> const& log, long width, long height);

// The area of a region in pixels.
double qvRasterRegionPixels(qvGridRegion const& region);

#endif
