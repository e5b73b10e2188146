// The proxy site (see qvProxySite.hpp).
//
// Every entry is one node linked into two chains: the chain of its handle
// and the chain of its proxy, both oldest first. The handle map finds the
// first entry of a handle (instantiate, deassociate(handle)), the proxy map
// every entry of a proxy (deassociate(proxy)); unlinking a node from both is
// constant time, so no operation walks the table.
//
// Freed entries and the nodes of the maps and of the connected set are kept
// (a few of each) for the next ones: a proxy that a select makes and the
// next select drops costs no allocation here. A spare holds no proxy and no
// handle that anything looks up; the spare vectors are reserved before the
// first node is kept, so keeping one never allocates.

#include <orvane/shapes/qvProxySite.hpp>

#include <orvane/core/qvError.hpp>
#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvGraphicProxyInterface.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include <new>
#include <utility>

struct qvProxySite::Entry {
    qvGraphicProxyInterface* proxy;
    long handle;
    Entry* previous_of_handle = nullptr;
    Entry* next_of_handle = nullptr;
    Entry* previous_of_proxy = nullptr;
    Entry* next_of_proxy = nullptr;
};

namespace {

[[noreturn]] void raise_site_error(char const* message) { qvRaise(qvErrorFrom<qvProxySite>(message)); }

}  // namespace

qvProxySite::~qvProxySite() {
    deassociate_all();
    while (spare_entries_ != nullptr) {
        Entry* const next = spare_entries_->next_of_handle;
        delete spare_entries_;
        spare_entries_ = next;
    }
}

// ---------------------------------------------------------------------------
// Spares

qvProxySite::Entry* qvProxySite::new_entry(qvGraphicProxyInterface* proxy, long handle) {
    if (spare_entries_ == nullptr)
        return new Entry{proxy, handle};
    Entry* const entry = spare_entries_;
    spare_entries_ = entry->next_of_handle;
    --spare_entry_count_;
    *entry = Entry{proxy, handle};
    return entry;
}

void qvProxySite::free_entry(Entry* entry) noexcept {
    if (spare_entry_count_ >= spare_limit) {
        delete entry;
        return;
    }
    *entry = Entry{nullptr, 0};
    entry->next_of_handle = spare_entries_;
    spare_entries_ = entry;
    ++spare_entry_count_;
}

template <class Map>
qvProxySite::Chain& qvProxySite::chain_of(Map& map, std::vector<typename Map::node_type>& spares,
                                          typename Map::key_type key) {
    if (auto found = map.find(key); found != map.end())
        return found->second;
    if (spares.capacity() == 0)
        spares.reserve(spare_limit);
    if (spares.empty())
        return map.emplace(key, Chain{}).first->second;
    typename Map::node_type node = std::move(spares.back());
    spares.pop_back();
    node.key() = key;
    node.mapped() = Chain{};
    // When the insert fails (a rehash's buckets), `node` still owns the
    // node and frees it.
    return map.insert(std::move(node)).position->second;
}

template <class Map>
void qvProxySite::drop_node(Map& map, std::vector<typename Map::node_type>& spares,
                            typename Map::iterator at) noexcept {
    typename Map::node_type node = map.extract(at);
    if (spares.size() < spares.capacity())
        spares.push_back(std::move(node));
}

void qvProxySite::attach(qvSingleShapeProxyBase* proxy) {
    if (spare_connected_nodes_.capacity() == 0)
        spare_connected_nodes_.reserve(spare_limit);
    if (spare_connected_nodes_.empty()) {
        connected_.insert(proxy);
        return;
    }
    Connected::node_type node = std::move(spare_connected_nodes_.back());
    spare_connected_nodes_.pop_back();
    node.value() = proxy;
    connected_.insert(std::move(node));
}

void qvProxySite::detach(qvSingleShapeProxyBase* proxy) noexcept {
    const auto found = connected_.find(proxy);
    if (found == connected_.end())
        return;
    Connected::node_type node = connected_.extract(found);
    if (spare_connected_nodes_.size() < spare_connected_nodes_.capacity())
        spare_connected_nodes_.push_back(std::move(node));
}

qvContainerScene& qvProxySite::scene() noexcept { return static_cast<qvContainerScene&>(*this); }

qvGraphic qvProxySite::instantiate(long handle) {
    if (auto found = by_handle_.find(handle); found != by_handle_.end())
        return qvGraphic(found->second.first->proxy);

    qvContainerScene& container = scene();
    qvShapeBase* const record = container.connect(handle);
    if (record == nullptr)
        raise_site_error("Shape handle not found");
    qvProxyClass* const proxy_class = qvProxyClass::find(record->proxy_class_id);
    if (proxy_class == nullptr) {
        // No proxy will ever own this connection: give it back first.
        container.disconnect(record);
        raise_site_error("Proxy class not found");
    }
    qvGraphicProxyInterface* const proxy = proxy_class->create(container, record);
    if (proxy == nullptr) {
        container.disconnect(record);
        throw std::bad_alloc();
    }
    return qvGraphic(proxy);
}

void qvProxySite::associate(qvGraphicProxyInterface* proxy, long handle) {
    Entry* const entry = new_entry(proxy, handle);
    Chain* of_handle = nullptr;
    try {
        of_handle = &chain_of(by_handle_, spare_handle_nodes_, handle);
        Chain& of_proxy = chain_of(by_proxy_, spare_proxy_nodes_, proxy);
        entry->previous_of_proxy = of_proxy.last;
        (of_proxy.last != nullptr ? of_proxy.last->next_of_proxy : of_proxy.first) = entry;
        of_proxy.last = entry;
    } catch (...) {
        if (of_handle != nullptr && of_handle->first == nullptr)
            drop_node(by_handle_, spare_handle_nodes_, by_handle_.find(handle));
        free_entry(entry);
        throw;
    }
    entry->previous_of_handle = of_handle->last;
    (of_handle->last != nullptr ? of_handle->last->next_of_handle : of_handle->first) = entry;
    of_handle->last = entry;
    ++entry_count_;
}

void qvProxySite::remove(Entry* entry) noexcept {
    auto unlink = [](Chain& chain, Entry* e, Entry* Entry::*previous, Entry* Entry::*next) {
        (e->*previous != nullptr ? (e->*previous)->*next : chain.first) = e->*next;
        (e->*next != nullptr ? (e->*next)->*previous : chain.last) = e->*previous;
    };
    const auto of_handle = by_handle_.find(entry->handle);
    unlink(of_handle->second, entry, &Entry::previous_of_handle, &Entry::next_of_handle);
    if (of_handle->second.first == nullptr)
        drop_node(by_handle_, spare_handle_nodes_, of_handle);
    const auto of_proxy = by_proxy_.find(entry->proxy);
    unlink(of_proxy->second, entry, &Entry::previous_of_proxy, &Entry::next_of_proxy);
    if (of_proxy->second.first == nullptr)
        drop_node(by_proxy_, spare_proxy_nodes_, of_proxy);
    free_entry(entry);
    --entry_count_;
}

void qvProxySite::deassociate(long handle) {
    if (auto found = by_handle_.find(handle); found != by_handle_.end()) {
        remove(found->second.first);
        ++unlistings_;
    }
}

void qvProxySite::deassociate(qvGraphicProxyInterface* proxy) {
    auto found = by_proxy_.find(proxy);
    if (found == by_proxy_.end())
        return;
    // The chain dies with its last entry: walk from a copy of its head.
    Entry* entry = found->second.first;
    while (entry != nullptr) {
        Entry* const next = entry->next_of_proxy;
        remove(entry);
        entry = next;
    }
}

void qvProxySite::deassociate_all() noexcept {
    for (qvSingleShapeProxyBase* const proxy : connected_)
        proxy->scene_gone();
    connected_.clear();
    if (by_proxy_.empty())
        return;
    try {
        qvInterfaceInfo const& base = qvInterfaceIdentity<qvSingleShapeProxyBase>();
        for (auto const& [proxy, chain] : by_proxy_)
            if (void* const found = proxy->query_interface(base))
                static_cast<qvSingleShapeProxyBase*>(found)->scene_gone();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
    forget_entries();
}

void qvProxySite::forget_entries() noexcept {
    for (auto const& [handle, chain] : by_handle_) {
        for (Entry* entry = chain.first; entry != nullptr;) {
            Entry* const next = entry->next_of_handle;
            delete entry;
            entry = next;
        }
    }
    by_handle_.clear();
    by_proxy_.clear();
    entry_count_ = 0;
    ++unlistings_;
}
