// The iterator templates over layer handles, compiled once here.

#include <orvane/views/qvViewLayer.hpp>

template class qvSmartPtrInterface<qvViewLayer>;
template class qvBasedSmartPtr<qvViewLayer, qvIteratorInterface<qvViewLayer>>;
template class qvIteratorInterface<qvViewLayer>;
template class qvBasedIterator<qvViewLayer, qvIteratorInterface<qvViewLayer>>;
template class qvIterator<qvViewLayer>;
template class qvIndirectIterator<qvViewLayer>;
