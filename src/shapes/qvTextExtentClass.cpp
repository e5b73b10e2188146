// Text-extent providers and their registry (see qvTextExtentClass.hpp).

#include <orvane/shapes/qvTextExtentClass.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvTextExtent.hpp>

#include "shapes/qvDefaultExtent.hpp"

#include <new>

namespace {

qvStaticObjectRegistryInternal& numbers() { return qvTextExtentClass::registry()->registry(); }

// The registry as it stands, null once it has been given back: a provider
// dying after the unload must not bring it back.
qvStaticObjectRegistryInternal* numbers_if_kept() noexcept {
    qvTextExtentClass::Registry* const kept = qvTextExtentClass::registry().object;
    return kept != nullptr ? &kept->registry() : nullptr;
}

// Removes `number` when the registry maps it to `provider`.
void forget(long number, qvTextExtentClass const* provider) noexcept {
    qvStaticObjectRegistryInternal* const known = numbers_if_kept();
    if (known != nullptr && known->lookup(number) == provider)
        known->remove(number);
}

// The default provider lives in static storage that is never destroyed:
// measuring stays possible from any static destructor, and no heap block is
// left behind at exit.
alignas(DefaultExtent) unsigned char default_storage[sizeof(DefaultExtent)];
constinit qvTextExtentClass* default_extent = nullptr;

}  // namespace

qvTextExtentClass* qvTextExtentClass::find(long number) {
    return static_cast<qvTextExtentClass*>(numbers().lookup(number));
}

qvTextExtentClass::qvTextExtentClass(long number) : number_(number) {
    if (numbers().lookup(number_) == nullptr)
        registerMetric();
}

qvTextExtentClass::~qvTextExtentClass() { forget(number_, this); }

qvTextExtentClass& qvTextExtentClass::operator=(qvTextExtentClass const& other) {
    if (number_ != other.number_) {
        forget(number_, this);
        number_ = other.number_;
    }
    return *this;
}

void qvTextExtentClass::registerMetric() {
    qvStaticObjectRegistryInternal& known = numbers();
    known.remove(number_);
    known.insert(number_, this);
}

qvTextExtentClass* qvTextExtentClass::get_default_extent() {
    if (default_extent != nullptr)
        return default_extent;
    // Published before the settings below, which look the provider up again.
    default_extent = ::new (static_cast<void*>(default_storage)) DefaultExtent;
    qvTextExtent::current_metric(DefaultExtent::number);
    qvTextExtent::font_size_mode(QV_FSM_ALL);
    return default_extent;
}
