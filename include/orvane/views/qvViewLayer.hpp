#pragma once
// qvViewLayer: the counted handle of a layer in a tree, through its layer
// interface; the element of every layer list. See qvViewHandle for the
// rules.

#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/views/qvViewBaseLayer.hpp>
#include <orvane/views/qvViewLayerObject.hpp>

class qvViewLayer
    : public qvViewHandle<qvViewLayerObject, qvViewBaseLayerObject, qvViewBaseLayer> {
public:
    using qvViewHandle::qvViewHandle;
};

// Layer lists hand out their elements through these; compiled once in the
// library.
extern template class qvSmartPtrInterface<qvViewLayer>;
extern template class qvBasedSmartPtr<qvViewLayer, qvIteratorInterface<qvViewLayer>>;
extern template class qvIteratorInterface<qvViewLayer>;
extern template class qvBasedIterator<qvViewLayer, qvIteratorInterface<qvViewLayer>>;
extern template class qvIterator<qvViewLayer>;
extern template class qvIndirectIterator<qvViewLayer>;
