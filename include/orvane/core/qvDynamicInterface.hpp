#pragma once
// qvDynamicInterface: the root of every interface. A caller holding one
// interface of an object asks for another with query_interface, never with
// the language's run-time type checks.
//
// Keeps true: query_interface(info) returns the address of the object's
// sub-object for the interface whose identity is `info` (adjusted to that
// base, through a virtual base where needed), or null when the object lacks
// it. A class answers for the interfaces it adds and passes every other
// question to its base class; the chain ends here, with null.
//
//   void* query_interface(qvInterfaceInfo const& info) override {
//       if (void* p = qvOfferInterfaces<qvSceneInterface, qvContainerSceneInterface>(this, info))
//           return p;
//       return qvScene::query_interface(info);
//   }

#include <orvane/core/qvInterfaceInfo.hpp>

class qvDynamicInterface {
public:
    virtual ~qvDynamicInterface() = default;
    virtual void* query_interface(qvInterfaceInfo const& info);

protected:
    qvDynamicInterface() noexcept = default;
    qvDynamicInterface(qvDynamicInterface const&) noexcept = default;
    qvDynamicInterface& operator=(qvDynamicInterface const&) noexcept = default;
};

// The sub-object of `self` for the first of I... whose identity is `info`,
// or null. The identities are tested in the order given.
template <class... I, class C>
void* qvOfferInterfaces(C* self, qvInterfaceInfo const& info) {
    void* found = nullptr;
    (void)((&info == &qvInterfaceIdentity<I>() && (found = static_cast<I*>(self), true)) || ...);
    return found;
}

// The interface I of `object`, or null when `object` is null or lacks it.
template <class I, class Object>
I* qvQueryInterface(Object* object) {
    if (object == nullptr)
        return nullptr;
    return static_cast<I*>(object->query_interface(qvInterfaceIdentity<I>()));
}
