#pragma once
// qvViewLayerIterator: the iterator an active layer's layers() hands out,
// over its child list from the front child to the back one.
//
// Keeps true: it reads the live list (qvStlIterator's rules): the list must
// not change while the iterator is in use; its destructor frees only
// itself.

#include <orvane/core/qvStlIterator.hpp>
#include <orvane/views/qvViewLayer.hpp>

#include <vector>

class qvViewLayerIterator : public qvStlIterator<std::vector<qvViewLayer>> {
public:
    using qvStlIterator::qvStlIterator;
};
