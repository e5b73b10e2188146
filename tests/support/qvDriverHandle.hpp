#pragma once
// qvAsDriverHandle: a counted driver of a derived type (a raster test host
// driver, a dump driver) as the handle a renderer takes. The handle shares
// the driver's count, so the driver lives as long as either holds it.

#include <orvane/core/qvSafePtr.hpp>
#include <orvane/rendering/qvDriverObject.hpp>

template <class D>
qvISafePtr<qvDriverObject> qvAsDriverHandle(qvISafePtr<D> const& driver) {
    return qvISafePtr<qvDriverObject>(driver, static_cast<qvDriverObject*>(driver.get()));
}
