#pragma once
// qvScrollerObject: a concrete scroller that can be linked to any number of
// mapping dimensions; every operation committed on it is replayed on them
// (see qvScrollerBroadcastReceiver). Counted: create() hands out the first
// reference.

#include <orvane/views/qvScroller.hpp>
#include <orvane/views/qvScrollerBroadcastReceiver.hpp>

class qvScrollerObject : public qvScrollerBroadcastReceiver {
public:
    qvScrollerObject() = default;

    // A new scroller object in its initial state.
    static qvScroller create();

    // Answers qvScrollerInterface and qvScrollerObject.
    void* query_interface(qvInterfaceInfo const& info) override;
};

QV_INTERFACE_NAME(qvScrollerObject);
