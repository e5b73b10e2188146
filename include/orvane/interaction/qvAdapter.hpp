#pragma once
// qvAdapter<I>: the interaction (or data access) I of a target, found on
// the target itself or, failing that, on an adapter built from the
// "Adapter list" into storage inside this object. get() is null when the
// target supports I in neither way.
//
// Keeps true: an adapter built here is destroyed here, in place, exactly
// once, and nothing is allocated or freed; the storage fits each of the ten
// library adapters (checked below). The object is neither copyable nor
// movable: its interface may point into its own storage.
//
// No row of the list yields a data access, so qvAdapter<qvRectangleDataAccess>
// and qvAdapter<qvPointSetDataAccess> only ever find the target's own.

#include <orvane/core/qvBasedSmartPtr.hpp>
#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvExtendedScaleInteraction.hpp>
#include <orvane/interaction/qvMoveAnchoredObject.hpp>
#include <orvane/interaction/qvMoveInteraction.hpp>
#include <orvane/interaction/qvMoveScaleGroup.hpp>
#include <orvane/interaction/qvMoveScalePointSet.hpp>
#include <orvane/interaction/qvMoveScaleRectangle.hpp>
#include <orvane/interaction/qvMoveText.hpp>
#include <orvane/interaction/qvRotateGroup.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/interaction/qvRotatePointSet.hpp>
#include <orvane/interaction/qvRotateText.hpp>
#include <orvane/interaction/qvScaleInteraction.hpp>
#include <orvane/interaction/qvScaleRestrictedText.hpp>
#include <orvane/interaction/qvScaleScaledText.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvInteractionTarget.hpp>
#include <orvane/shapes/qvPointSetDataAccess.hpp>
#include <orvane/shapes/qvRectangleDataAccess.hpp>

#include <cstddef>

// The largest library adapter: two table pointers, the data access and a
// transformation (the text scale adapters).
inline constexpr std::size_t qvAdapterStorageSize = 3 * sizeof(void*) + sizeof(qvTransformation);
inline constexpr std::size_t qvAdapterStorageAlign =
    alignof(qvTransformation) > alignof(void*) ? alignof(qvTransformation) : alignof(void*);

template <class A>
inline constexpr bool qvAdapterFitsStorage = sizeof(A) <= qvAdapterStorageSize && alignof(A) <= qvAdapterStorageAlign;

static_assert(qvAdapterFitsStorage<qvMoveScaleRectangle>);
static_assert(qvAdapterFitsStorage<qvMoveScalePointSet>);
static_assert(qvAdapterFitsStorage<qvMoveScaleGroup>);
static_assert(qvAdapterFitsStorage<qvRotatePointSet>);
static_assert(qvAdapterFitsStorage<qvRotateGroup>);
static_assert(qvAdapterFitsStorage<qvRotateText>);
static_assert(qvAdapterFitsStorage<qvMoveAnchoredObject>);
static_assert(qvAdapterFitsStorage<qvMoveText>);
static_assert(qvAdapterFitsStorage<qvScaleRestrictedText>);
static_assert(qvAdapterFitsStorage<qvScaleScaledText>);

template <class I>
class qvAdapter : public qvSmartPtr<I> {
public:
    explicit qvAdapter(qvInteractionTarget* target) {
        if (target == nullptr)
            return;
        interface_ = static_cast<I*>(target->query_interface(qvInterfaceIdentity<I>()));
        if (interface_ != nullptr)
            return;
        adapter_ = qvAdapterBase::create(qvInterfaceIdentity<I>(), target, storage_);
        if (adapter_ != nullptr)
            interface_ = static_cast<I*>(adapter_->query_interface(qvInterfaceIdentity<I>()));
    }
    explicit qvAdapter(qvGraphic const& graphic) : qvAdapter(static_cast<qvInteractionTarget*>(graphic.get())) {}

    qvAdapter(qvAdapter const&) = delete;
    qvAdapter& operator=(qvAdapter const&) = delete;
    ~qvAdapter() override {
        if (adapter_ != nullptr)
            adapter_->~qvAdapterBase();
    }

    I* get() override { return interface_; }

    // The adapter built here, null when the target answered I itself or no
    // adapter exists.
    qvAdapterBase* adapter() const noexcept { return adapter_; }

private:
    I* interface_ = nullptr;
    qvAdapterBase* adapter_ = nullptr;
    alignas(qvAdapterStorageAlign) unsigned char storage_[qvAdapterStorageSize];
};

// The instances the library builds once for every caller.
extern template class qvAdapter<qvMoveInteraction>;
extern template class qvAdapter<qvRotateInteraction>;
extern template class qvAdapter<qvScaleInteraction>;
extern template class qvAdapter<qvExtendedScaleInteraction>;
extern template class qvAdapter<qvRectangleDataAccess>;
extern template class qvAdapter<qvPointSetDataAccess>;
