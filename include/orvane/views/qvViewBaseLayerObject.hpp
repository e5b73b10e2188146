#pragma once
// qvViewBaseLayerObject: the root of every layer interface. A layer is one
// counted object offering several interfaces; applications hold it through
// handles (qvViewBaseLayer and its kin) and the library talks to it through
// these abstract interfaces.
//
// Keeps true: the three mixins, qvDynamicInterface and qvRefBase are virtual
// bases, so one layer has exactly one count, one flags word, one area and
// one transformation sink however many interfaces it offers; moving between
// the interfaces of one layer goes through query_interface or the
// virtual-base links, never a fixed offset.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/views/qvViewArea.hpp>
#include <orvane/views/qvViewRendering.hpp>
#include <orvane/views/qvViewTransformation.hpp>

class qvViewBaseLayerObject : public virtual qvViewRendering,
                              public virtual qvViewTransformation,
                              public virtual qvViewArea,
                              public virtual qvDynamicInterface,
                              public virtual qvRefBase {
public:
    ~qvViewBaseLayerObject() override = default;

    // The layer's view changed: drop what was found through the old one.
    virtual void reinitialize() = 0;

protected:
    qvViewBaseLayerObject() noexcept = default;
    qvViewBaseLayerObject(qvViewBaseLayerObject const&) noexcept = default;
    qvViewBaseLayerObject& operator=(qvViewBaseLayerObject const&) noexcept = default;
};

QV_INTERFACE_NAME(qvViewBaseLayerObject);
