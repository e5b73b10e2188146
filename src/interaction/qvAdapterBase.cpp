// Adapter look-up (see qvAdapterBase.hpp) and the registration of adapter
// classes in the "Adapter list".

#include <orvane/interaction/qvAdapterBase.hpp>

#include <orvane/interaction/qvAdapterList.hpp>

qvAdapterBase::Class::Class(qvInterfaceInfo const& data_access, qvInterfaceInfo const& interaction) {
    qvAdapterList::holder()->append(qvAdapterEntry{&data_access, &interaction, this});
}

void* qvAdapterBase::query_interface(qvInterfaceInfo const& /*info*/) { return nullptr; }

qvAdapterBase* qvAdapterBase::create(qvInterfaceInfo const& interaction, qvInteractionTarget* target,
                                     void* storage) {
    if (target == nullptr)
        return nullptr;
    qvInterfaceInfo const* const key = target->query_interaction(interaction);
    if (key == nullptr)
        return nullptr;
    Class* const adapter_class = qvAdapterList::holder()->find(*key, interaction);
    if (adapter_class == nullptr)
        return nullptr;
    return adapter_class->create_adapter(target, storage);
}
