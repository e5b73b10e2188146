// The six qvAdapter instances of the library (see qvAdapter.hpp).

#include <orvane/interaction/qvAdapter.hpp>

template class qvAdapter<qvMoveInteraction>;
template class qvAdapter<qvRotateInteraction>;
template class qvAdapter<qvScaleInteraction>;
template class qvAdapter<qvExtendedScaleInteraction>;
template class qvAdapter<qvRectangleDataAccess>;
template class qvAdapter<qvPointSetDataAccess>;
