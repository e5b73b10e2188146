#pragma once
// qvClassRegistry<Name>: the unique object, registered under Name, that
// holds the integer-keyed registry of one family of numbered classes. The
// library has three, reached through these names:
//   qvClassRegistry<"ProxyClass Registry">       (qvProxyClass::Registry)
//   qvClassRegistry<"TextExtentClass Registry">  (qvTextExtentClass::Registry)
//   qvClassRegistry<"FlavorClass Registry">      (the flavour classes')
// The same text always names the same type, so every user of a name shares
// one holder type and any of them may delete what another created.
//
// Keeps true:
//  - an object is made by the get-or-create of its holder, with a new empty
//    registry, and is deleted, with that registry, by the holder release
//    that gives back the name's last use;
//  - holder() is the module's one holder of the name: constant-initialised,
//    so a get-or-create works from any static initialiser. Every class of
//    the family and the start-up registrations go through it, so the module
//    counts one use of the name at a time.

#include <orvane/core/qvStaticObjectRegistryInternal.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include <algorithm>
#include <cstddef>

// A registry name fixed at compile time, usable as a template argument.
template <std::size_t N>
struct qvRegistryName {
    consteval qvRegistryName(char const (&text)[N]) { std::copy_n(text, N, value); }
    char value[N];
};

template <qvRegistryName Name>
class qvClassRegistry {
public:
    static char const* get_name() noexcept { return Name.value; }

    qvClassRegistry() : registry_(qvStaticObjectRegistryInternal::create()) {}
    qvClassRegistry(qvClassRegistry const&) = delete;
    qvClassRegistry& operator=(qvClassRegistry const&) = delete;
    ~qvClassRegistry() { delete registry_; }

    qvStaticObjectRegistryInternal& registry() const noexcept { return *registry_; }

    static qvUniqueObject<qvClassRegistry>& holder() noexcept {
        static constinit qvUniqueObject<qvClassRegistry> the_holder;
        return the_holder;
    }

private:
    qvStaticObjectRegistryInternal* registry_;
};
