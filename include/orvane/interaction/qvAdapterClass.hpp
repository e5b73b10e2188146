#pragma once
// qvAdapterClass<Interaction, Adapter>: the registration of adapter class
// Adapter for Interaction, over the data access Adapter::DataAccess: one
// row of the "Adapter list", appended by the constructor.
//
// create_adapter asks the target for Adapter::DataAccess; a target that
// named that data access in query_interaction but does not offer it fails
// the assertion "intf". With storage (at least sizeof(Adapter) bytes,
// aligned for it) the adapter is built there; the caller destroys it in
// place through qvAdapterBase. An adapter that also takes the target is
// given it (to find the shape proxy behind the data access). Every row may
// be built in a qvAdapter's fixed storage, so a class registers only when
// it fits there (checked at compile time: a larger one would be built past
// the storage's end).

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvInterfaceInfo.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvAdapterBase.hpp>

#include <new>
#include <type_traits>

template <class Interaction, class Adapter>
class qvAdapterClass : public qvAdapterBase::Class {
    using DataAccess = typename Adapter::DataAccess;
    static_assert(qvAdapterFitsStorage<Adapter>, "an adapter must fit qvAdapter's storage");

public:
    qvAdapterClass()
        : qvAdapterBase::Class(qvInterfaceIdentity<DataAccess>(), qvInterfaceIdentity<Interaction>()) {}

    qvAdapterBase* create_adapter(qvInteractionTarget* target, void* storage) override {
        auto* const intf = static_cast<DataAccess*>(target->query_interface(qvInterfaceIdentity<DataAccess>()));
        QV_ASSERT_TEXT(intf != nullptr, "intf");
        if (storage == nullptr)
            return nullptr;
        if constexpr (std::is_constructible_v<Adapter, DataAccess*, qvInteractionTarget*>)
            return ::new (storage) Adapter(intf, target);
        else
            return ::new (storage) Adapter(intf);
    }
};
