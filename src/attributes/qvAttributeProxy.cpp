// The attribute proxy factories (see qvAttributeProxy.hpp).

#include <orvane/attributes/qvAttributeProxy.hpp>

#include "attributes/qvAttributeObjectErrors.hpp"

#include <memory>

namespace {

template <class Proxy>
qvSafePtr<qvAttributeInterface> create(qvPalette* palette, long handle) {
    std::unique_ptr<Proxy> proxy;
    if (palette != nullptr)
        proxy = std::make_unique<Proxy>(*palette, handle);
    else if (handle != 0)
        qvRaiseNoAttributePalette();
    else
        proxy = std::make_unique<Proxy>();
    qvSafePtr<qvAttributeInterface> counted(static_cast<qvAttributeInterface*>(proxy.get()));
    proxy.release();
    return counted;
}

}  // namespace

qvSafePtr<qvAttributeInterface> qvCreateAttributeProxy(qvPalette* palette, long handle) {
    return create<qvAttributeProxy>(palette, handle);
}

qvSafePtr<qvAttributeInterface> qvCreateSharedAttributeProxy(qvPalette* palette, long handle) {
    return create<qvSharedAttributeProxy>(palette, handle);
}
