#pragma once
// qvMappingDimensionObject: a scroller that couples the scroller objects
// linked to it. Every operation committed on one of them reaches the
// dimension, which commits it too and replays it on every other linked
// scroller, so all scrollers of an axis move together (each within its own
// limits). Counted: create() hands out the first reference.
//
// Keeps true: a scroller is linked as often as it was added and not
// removed; links keep nothing alive, and either side's destruction unlinks
// it. Only scroller objects are linked: dimensions never link to each
// other directly, only through a scroller object linked to both.

#include <orvane/views/qvScroller.hpp>
#include <orvane/views/qvScrollerBroadcastSender.hpp>

class qvMappingDimensionObject : public qvScrollerBroadcastSender {
public:
    // `enabled` is kept by the sender base; it changes nothing here.
    explicit qvMappingDimensionObject(bool enabled = true) : qvScrollerBroadcastSender(enabled) {}

    static qvScroller create(bool enabled);

    // Links a scroller object and brings it to this dimension's state:
    // window, limits, mapping, position, round-off and alignment, each
    // committed through the scroller, so that its other dimensions follow
    // and this one is not replayed to. A null handle or one that is not a
    // scroller object does nothing. Links that close a cycle are accepted.
    void add(qvScroller const& scroller);
    // Undoes one link of a scroller object; anything else does nothing.
    void remove(qvScroller const& scroller);

    // Answers qvScrollerInterface and qvMappingDimensionObject.
    void* query_interface(qvInterfaceInfo const& info) override;
};

QV_INTERFACE_NAME(qvMappingDimensionObject);
