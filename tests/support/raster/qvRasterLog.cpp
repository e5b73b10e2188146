#include "qvRasterLog.hpp"

#include <orvane/geometry/qvRectIterator.hpp>

#include <cstdlib>

qvGridRegion qvRasterLogRegion(std::string const& text) {
    qvGridRegion region;
    std::size_t at = 0;
    while ((at = text.find('(', at)) != std::string::npos) {
        char* end = nullptr;
        double v[4];
        char const* p = text.c_str() + at + 1;
        bool ok = true;
        for (double& d : v) {
            d = std::strtod(p, &end);
            ok = ok && end != p;
            p = end;
        }
        if (ok)
            region += qvMathRectOf<double>(v[0], v[1], v[2], v[3]);
        ++at;
    }
    return region;
}

qvGridRegion qvRasterDrawnRegion(std::vector<std::string> const& log, long width, long height) {
    qvGridRegion drawn, clip;
    bool counted = false;   // this clip is in `drawn` already
    for (std::string const& line : log) {
        if (line == "new_draw") {
            clip = qvMathRectOf<double>(0, 0, static_cast<double>(width), static_cast<double>(height));
            counted = false;
        } else if (line.rfind("clip ", 0) == 0) {
            clip = qvRasterLogRegion(line.substr(5));
            counted = false;
        } else if (line.rfind("draw_shape", 0) == 0 && !counted) {
            drawn += clip;
            counted = true;
        }
    }
    return drawn;
}

double qvRasterRegionPixels(qvGridRegion const& region) {
    double pixels = 0;
    for (qvIndirectRectIterator it = region.enumerate(); it; ++it)
        pixels += ((*it).x2 - (*it).x1) * ((*it).y2 - (*it).y1);
    return pixels;
}
