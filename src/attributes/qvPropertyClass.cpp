// qvPropertyClass: registration by name and class references on streams
// (see qvPropertyClass.hpp).

#include <orvane/attributes/qvPropertyClass.hpp>

#include "attributes/qvRegistrationRelease.hpp"

#include <orvane/attributes/qvStandardPropertyClasses.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

qvUniqueObject<qvPropertyClass::Registry>& qvPropertyClass::registry() noexcept {
    static constinit qvUniqueObject<Registry> the_holder;
    return the_holder;
}

// ---------------------------------------------------------------------------
// Construction

qvPropertyClass::qvPropertyClass(char const* name) : handle_(0), owner_(false) {
    Registry& classes = *registry().get();
    const long known = classes.id(name);
    if (known != 0) {
        handle_ = static_cast<int>(known);
    } else {
        handle_ = static_cast<int>(classes.insert(name, this));
        owner_ = true;
    }
}

qvPropertyClass::~qvPropertyClass() {
    if (owner_)
        qvReleaseRegistration(registry(), handle_);
}

int qvPropertyClass::max_handle() { return static_cast<int>(registry().get()->size()); }

// ---------------------------------------------------------------------------
// Class references

qvOutputStream& operator<<(qvOutputStream& os, qvPropertyClass const& type) {
    return os << qvPropertyClass::registry().get()->name(type.handle());
}

qvInputStream& operator>>(qvInputStream& is, qvPropertyClass*& type) {
    qvString name;
    is >> name;
    qvPropertyClass::Registry& classes = *qvPropertyClass::registry().get();
    const long known = classes.id(name);
    type = known != 0 ? classes.object(known)
                      : qvStandardPropertyClass<UNKNOWN_INTERNAL_PROPERTY_CLASS>();
    return is;
}
