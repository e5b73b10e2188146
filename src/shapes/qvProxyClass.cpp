// Proxy classes and their registry (see qvProxyClass.hpp).

#include <orvane/shapes/qvProxyClass.hpp>

#include <orvane/core/qvError.hpp>

namespace {

qvStaticObjectRegistryInternal& ids() { return qvProxyClass::registry()->registry(); }

}  // namespace

qvProxyClass* qvProxyClass::find(long id) { return static_cast<qvProxyClass*>(ids().lookup(id)); }

qvProxyClass::qvProxyClass(long id) : id_(id) {
    qvStaticObjectRegistryInternal& known = ids();
    registered_ = known.lookup(id) == nullptr && known.insert(id, this);
}

qvProxyClass::~qvProxyClass() {
    if (!registered_)
        return;
    try {
        ids().remove(id_);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}
