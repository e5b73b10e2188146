#pragma once
// qvViewManager: the counted handle of a view manager. Built from a handle
// of a layer that is no view manager it is empty. See qvViewHandle for the
// rules.

#include <orvane/views/qvViewLayer.hpp>
#include <orvane/views/qvViewManagerObject.hpp>

class qvViewManager : public qvViewHandle<qvViewManagerObject, qvViewBaseLayerObject,
                                          qvViewBaseLayer, qvViewLayer> {
public:
    using qvViewHandle::qvViewHandle;
    // True: a new view manager (qvViewCreator::create); false: empty.
    explicit qvViewManager(bool make);
    // A new view manager copied from `other`, whatever `make` says.
    qvViewManager(bool make, qvViewManager const& other);
};
