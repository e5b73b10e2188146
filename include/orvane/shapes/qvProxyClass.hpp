#pragma once
// qvProxyClass: a numbered class that builds the proxy of a record whose
// header names its id; qvGenericProxyClass<P> is the class of the concrete
// proxy P. The classes are registered by id in the unique object
// "ProxyClass Registry", where a scene's proxy site looks them up.
//
// Keeps true:
//  - the first class made under an id keeps it: a later one registers
//    nothing and, when destroyed, removes nothing;
//  - a class removes its id when destroyed only if it registered it,
//    creating the registry again when it is already gone (at unload);
//  - a class is not copied: a copy could remove a registration it does not
//    own.
//
// P, the concrete proxy, provides `static constexpr long class_id` (its id) and
// a constructor P(qvContainerScene&, qvShapeBase*) that binds the record and
// enters the proxy in the scene's proxy site.

#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include <new>

class qvContainerScene;
class qvGraphicProxyInterface;
struct qvShapeBase;

class qvProxyClass {
public:
    using Registry = qvClassRegistry<"ProxyClass Registry">;

    // The module's holder of the registry (get-or-create through it).
    static qvUniqueObject<Registry>& registry() noexcept { return Registry::holder(); }
    // The class registered under an id, or null.
    static qvProxyClass* find(long id);

    qvProxyClass(qvProxyClass const&) = delete;
    qvProxyClass& operator=(qvProxyClass const&) = delete;
    ~qvProxyClass();

    // The proxy of `record`, connected to `scene` and entered in its proxy
    // site, with count 0; the caller wraps it in a handle at once.
    virtual qvGraphicProxyInterface* create(qvContainerScene& scene, qvShapeBase* record) = 0;

    int handle() const noexcept { return static_cast<int>(id_); }
    bool registered() const noexcept { return registered_; }
    bool operator==(qvProxyClass const& other) const noexcept { return id_ == other.id_; }

protected:
    explicit qvProxyClass(long id);

private:
    long id_;
    bool registered_ = false;
};

template <class P>
class qvGenericProxyClass : public qvProxyClass {
public:
    qvGenericProxyClass() : qvProxyClass(P::class_id) {}

    // Null when the proxy cannot be allocated (the proxy site then gives
    // the record back).
    qvGraphicProxyInterface* create(qvContainerScene& scene, qvShapeBase* record) override {
        return new (std::nothrow) P(scene, record);
    }
};
