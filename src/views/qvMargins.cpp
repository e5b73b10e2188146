// Margins (see qvMargins.hpp).

#include <orvane/views/qvMargins.hpp>

// Written so that a NaN margin fails.
bool qvMargins::valid() const {
    return left_margin() >= 0 && right_margin() >= 0 && bottom_margin() >= 0 && top_margin() >= 0;
}
