#pragma once
// Removing a name registered by a property class or a folder, from that
// object's destructor: never throws (a failure goes qvError::abort), and
// does nothing when the registry was already released at unload, which
// took the name with it.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvUniqueObject.hpp>

template <class Registry>
void qvReleaseRegistration(qvUniqueObject<Registry>& holder, long handle) noexcept {
    Registry* const registry = holder.object;
    if (registry == nullptr)
        return;
    try {
        registry->remove(handle);
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}
