// The mapping dimension: linking and unlinking scroller objects.
//
// Linking brings the new scroller to the dimension's state in six steps.
// Each step is a broadcast of its own in which the dimension takes part
// from the start, so nothing a step sets off is replayed back to it, also
// when the scroller reaches the dimension again through other links.

#include <orvane/views/qvMappingDimensionObject.hpp>

#include <orvane/views/qvScrollerObject.hpp>

qvScroller qvMappingDimensionObject::create(bool enabled) {
    return qvScroller(new qvMappingDimensionObject(enabled));
}

void* qvMappingDimensionObject::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvScrollerInterface, qvMappingDimensionObject>(this, info);
}

void qvMappingDimensionObject::add(qvScroller const& scroller) {
    qvScrollerObject* object = qvQueryInterface<qvScrollerObject>(scroller.get());
    if (object == nullptr) return;
    object->connect(*this);

    const qvScrollerInterface* self = this;
    {
        BroadcastPass pass(*this, BroadcastPass::begin_pass);
        object->begin_update(self);
    }
    // One step: stage on the scroller, then commit it through its update.
    auto step = [this, object, self](auto stage) {
        BroadcastPass pass(*this, BroadcastPass::update_pass);
        pass.finish_update();  // the dimension commits nothing here
        stage(*object);
        object->update(true, self);
    };
    step([this](qvScrollerInterface& s) { s.do_resize(window()); });
    step([this](qvScrollerInterface& s) { s.do_limits(limits()); });
    step([this](qvScrollerInterface& s) { s.do_mapping(M()); });
    step([this](qvScrollerInterface& s) { s.do_position(position()); });
    step([this](qvScrollerInterface& s) { s.do_round_off(round_off()); });
    step([this](qvScrollerInterface& s) { s.do_alignment(alignment()); });
    {
        BroadcastPass pass(*this, BroadcastPass::end_pass);
        object->end_update(self);
    }
}

void qvMappingDimensionObject::remove(qvScroller const& scroller) {
    if (qvScrollerObject* object = qvQueryInterface<qvScrollerObject>(scroller.get()))
        object->disconnect(*this);
}
