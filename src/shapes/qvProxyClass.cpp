// Proxy classes and their registry (see qvProxyClass.hpp).

#include <orvane/shapes/qvProxyClass.hpp>

#include <orvane/core/qvError.hpp>

namespace {

qvStaticObjectRegistryInternal& proxy_class_ids() { return qvProxyClass::registry()->registry(); }

}  // namespace

qvProxyClass* qvProxyClass::find(long id) { return static_cast<qvProxyClass*>(proxy_class_ids().lookup(id)); }

qvProxyClass::qvProxyClass(long id) : id_(id) {
    qvStaticObjectRegistryInternal& known = proxy_class_ids();
    registered_ = known.lookup(id) == nullptr && known.insert(id, this);
}

qvProxyClass::~qvProxyClass() {
    if (!registered_)
        return;
    try {
        proxy_class_ids().remove(id_);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}
