#pragma once
// Interface identities. The identity of an interface I is the address of a
// one-byte record registered in the registry of unique objects under I's
// exact class name, so every module that names I reaches the same record,
// whatever order they load in. Identities compare by address only; names are
// compared only inside the registry.
//
// The name comes from QV_INTERFACE_NAME(I), written beside the interface at
// global scope. An interface without it does not compile: a derived interface
// must never answer with its base's identity, which an inherited name would
// silently cause.
//
// Keeps true: the module has one holder per interface, constant-initialised,
// filled by its first get-or-create (from any static initialiser too) and
// released when the module ends.

#include <orvane/core/qvUniqueObject.hpp>

// Only the address of an instance carries meaning.
class qvInterfaceInfo {};

// The registry name of interface I; defined by QV_INTERFACE_NAME(I).
template <class I>
struct qvInterfaceName;

#define QV_INTERFACE_NAME(I)                         \
    template <>                                      \
    struct qvInterfaceName<I> {                      \
        static constexpr char const* value = #I;     \
    }

// The record type of interface I.
template <class I>
struct qvInterfaceInfoNested : qvInterfaceInfo {
    static char const* get_name() noexcept { return qvInterfaceName<I>::value; }
};

template <class I>
struct qvInterfaceInfoInstantiation {
    // The module's one holder of I's record; fill it before reading `object`.
    static qvUniqueObject<qvInterfaceInfoNested<I>>& get_interface_info() noexcept {
        static constinit qvUniqueObject<qvInterfaceInfoNested<I>> holder;
        return holder;
    }
};

// The identity of I, made or found on first use.
template <class I>
qvInterfaceInfo const& qvInterfaceIdentity() {
    return *qvInterfaceInfoInstantiation<I>::get_interface_info().get();
}
