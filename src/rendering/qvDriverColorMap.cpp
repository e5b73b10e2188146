// A colour-map driver loads by handing the map over once; the answer 1 is
// the handle callers give back to unload_colors, which has nothing to undo.

#include <orvane/rendering/qvDriverColorMap.hpp>

long qvDriverColorMap::load_colors(qvColorMap const& map) {
    colors(map);
    return 1;
}
