// Flavour classes and their registry (see qvFlavorClass.hpp).

#include <orvane/rendering/qvFlavorClass.hpp>

#include <orvane/core/qvError.hpp>

namespace {

qvStaticObjectRegistryInternal& flavor_class_ids() { return qvFlavorClass::registry()->registry(); }

}  // namespace

qvFlavorClass::qvFlavorClass(long id) : id_(id), registered_(false) {
    qvStaticObjectRegistryInternal& known = flavor_class_ids();
    registered_ = known.lookup(id) == nullptr && known.insert(id, this);
}

qvFlavorClass& qvFlavorClass::operator=(qvFlavorClass const& other) {
    if (this != &other) {
        unregister();
        id_ = other.id_;
    }
    return *this;
}

qvFlavorClass::~qvFlavorClass() { unregister(); }

void qvFlavorClass::unregister() noexcept {
    if (!registered_)
        return;
    registered_ = false;
    try {
        qvStaticObjectRegistryInternal& known = flavor_class_ids();
        if (known.lookup(id_) == this)
            known.remove(id_);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

qvFlavorClass* qvFlavorClass::find(long id) { return static_cast<qvFlavorClass*>(flavor_class_ids().lookup(id)); }

bool qvFlavorClass::dispatch(long id, qvFlavorPort& port, qvShapeBase const& record) {
    qvFlavorClass* const flavor = find(id);
    return flavor != nullptr && flavor->renderer().render(port, record);
}
