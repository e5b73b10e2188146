#pragma once
// qvViewHandle<O, Root, General...>: the members every layer and renderer
// handle shares. A handle is a counted pointer (qvISafePtr<O>) to one
// interface O of a counted object; handles of one object convert into one
// another by asking the object, and two handles name the same object when
// they share one counter, whatever interface each sees it through.
//
// Root is the interface every object of the family offers (the base layer
// or the base renderer); General... are the handles of the wider interfaces
// this one converts to and is built from.
//
// Keeps true:
//  - a handle is empty (null object, null counter) or holds one count of its
//    object's own counter;
//  - building from a wider handle or a Root pointer asks the object for O
//    (query_interface) and shares the source's counter when it answers;
//    a null source or a refused question gives an empty handle and counts
//    nothing;
//  - converting to a wider handle needs no question: the virtual-base link
//    gives the sub-object, and the counter is shared;
//  - assigning a handle of the same counter (itself included) counts
//    nothing; the release that ends the last count deletes the object once,
//    through its virtual destructor, whichever interface that handle held.
// The narrow side of every pair owns both directions (constructor from the
// wide handle, conversion to it), so no conversion is ever ambiguous.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <concepts>
#include <cstddef>

template <class O, class Root, class... General>
class qvViewHandle : public qvISafePtr<O> {
public:
    using object_type = O;

    qvViewHandle() noexcept = default;
    qvViewHandle(std::nullptr_t) noexcept {}
    // Adopts the object through its own counter.
    qvViewHandle(O* object) noexcept : qvISafePtr<O>(object) {}
    // The object's O, found by asking it.
    qvViewHandle(Root* object) noexcept
        requires(!std::same_as<O, Root>)
        : qvISafePtr<O>(qvQueryInterface<O>(object)) {}
    qvViewHandle(qvISafePtr<O> const& other) noexcept : qvISafePtr<O>(other) {}
    qvViewHandle(qvIWeakPtr<O> const& other) noexcept : qvISafePtr<O>(other) {}
    // A wider handle's object, found by asking it; shares its counter.
    template <class G>
        requires(std::same_as<G, General> || ...)
    qvViewHandle(G const& source) noexcept
        : qvISafePtr<O>(source, qvQueryInterface<O>(source.get())) {}

    // The same object seen through a wider interface.
    template <class G>
        requires(std::same_as<G, General> || ...)
    operator G() const noexcept {
        using Wide = typename G::object_type;
        return G(qvISafePtr<Wide>(*this, static_cast<Wide*>(this->get())));
    }
};
