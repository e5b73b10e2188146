#pragma once
// qvAdapterBase: the root of every adapter, an object that implements an
// interaction for a graphic that does not implement it itself, by driving
// one of the graphic's data-access interfaces. Adapters are built in
// storage the caller provides and destroyed in place through the virtual
// destructor here; each holds the data access it was built over without
// counting it, so it must not outlive the graphic.
//
// Look-up (create): the target names, in query_interaction, the data access
// that carries the interaction; the first row of the "Adapter list" with
// that pair of identities (compared by address) builds the adapter. A null
// target, a null answer, a pair without a row or null storage give null:
// no adapter is not an error.
//
// qvAdapterBase::Class: the registration of one adapter class. Its
// constructor appends the row (data access, interaction, class) to the
// "Adapter list"; rows are never removed, so a class must live as long as
// the list can be searched (the library's own live in its start-up statics).

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/shapes/qvInteractionTarget.hpp>

class qvAdapterBase : public qvDynamicInterface {
public:
    class Class {
    public:
        Class(qvInterfaceInfo const& data_access, qvInterfaceInfo const& interaction);
        Class(Class const&) = delete;
        Class& operator=(Class const&) = delete;
        // Leaves the row in the list.
        virtual ~Class() = default;

        // Builds the adapter over `target` in `storage`; null storage gives
        // null once the target was found to offer the data access.
        virtual qvAdapterBase* create_adapter(qvInteractionTarget* target, void* storage) = 0;
    };

    ~qvAdapterBase() override = default;
    // Null: an adapter answers only the interactions it implements.
    void* query_interface(qvInterfaceInfo const& info) override;

    // The adapter for `interaction` over `target`, built in `storage`.
    static qvAdapterBase* create(qvInterfaceInfo const& interaction, qvInteractionTarget* target, void* storage);

protected:
    qvAdapterBase() noexcept = default;
    qvAdapterBase(qvAdapterBase const&) noexcept = default;
    qvAdapterBase& operator=(qvAdapterBase const&) noexcept = default;
};
