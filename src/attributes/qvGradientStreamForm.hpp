#pragma once
// The fields that the three gradient stream forms share: points, doubles
// and the common gradient part after each kind's prefix (the layout is in
// qvLinearGradientIO.hpp). Every read raises "Incomplete data on input" (or
// the colour form's own error) when its bytes are missing.

#include <orvane/attributes/qvGradientDataAccess.hpp>
#include <orvane/geometry/qvCrd.hpp>

class qvInputStream;
class qvOutputStream;

namespace qvGradientStreamForm {

void save_point(qvOutputStream& os, qvCrdOf<double> const& point);
qvCrdOf<double> load_point(qvInputStream& is);
void save_double(qvOutputStream& os, double value);
double load_double(qvInputStream& is);

// Settings, transformation, stop count and stops.
void save_common(qvOutputStream& os, qvGradientDataAccess const& gradient);
// Into a new gradient that nobody else sees yet; stops go through add_stop,
// so they arrive ordered whatever order they were stored in.
void load_common(qvInputStream& is, qvGradientDataAccess& gradient);

}  // namespace qvGradientStreamForm
