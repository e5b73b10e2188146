#pragma once
// qvProxySite: the table of the live proxies of one container scene, by
// shape handle. The scene's proxies enter themselves when they bind a record
// and leave when they die or destroy their shape; instantiate hands out the
// live proxy of a handle or has the record's proxy class build one.
//
// Keeps true:
//  - the entries are (proxy, handle) pairs in insertion order, duplicates
//    allowed; entries do not own proxies (their handles do);
//  - instantiate(h) returns the proxy of the first entry of h when there is
//    one, so a scene has one live proxy per record while proxies come from
//    here; otherwise it connects the record, builds its proxy through the
//    "ProxyClass Registry" and returns it with count 1;
//  - a failed instantiate changes no entry, and leaves no record connected
//    that has no proxy: a record whose proxy class is not registered is
//    disconnected before "Proxy class not found" is raised;
//  - every operation takes constant average time: two hash maps index the
//    entries by handle and by proxy;
//  - a few freed entries and map nodes are kept for the next entries (at
//    most spare_limit of each kind), so a proxy made and dropped again and
//    again (a select's hit) allocates nothing here after the first;
//  - when the scene dies first, every single-shape proxy connected to it
//    (listed or not: one without a record has no entry) and every listed
//    proxy that is a single-shape proxy base is told (scene_gone) before the
//    entries are dropped, so no proxy reaches the dead scene later;
//  - a scene may also drop every entry and tell nobody (forget_entries): its
//    proxies keep their records, but no handle leads to them again;
//  - unlistings() goes up with every forget_entries and every entry a
//    handle's deassociate takes (the two roads by which a proxy that keeps
//    its record leaves the site), so a proxy found listed while it reads
//    one value is listed while the value holds.
// A proxy site exists only as the base of a qvContainerScene.

#include <orvane/shapes/qvGraphic.hpp>

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class qvContainerScene;
class qvGraphicProxyInterface;
class qvSingleShapeProxyBase;

class qvProxySite {
public:
    qvProxySite(qvProxySite const&) = delete;
    qvProxySite& operator=(qvProxySite const&) = delete;

    // The graphic of a shape handle. Raises qvErrorFrom<qvProxySite> "Shape
    // handle not found" when the scene has no record under it, and "Proxy
    // class not found" when no proxy class is registered under the record's
    // proxy class id.
    qvGraphic instantiate(long handle);
    // Appends the entry (proxy, handle); no duplicate check.
    void associate(qvGraphicProxyInterface* proxy, long handle);
    // Removes the first entry of the handle, if any.
    void deassociate(long handle);
    // Removes every entry of the proxy, which is going away: unlistings()
    // does not count it.
    void deassociate(qvGraphicProxyInterface* proxy);

    // The number of entries.
    std::size_t entries() const noexcept { return entry_count_; }
    // Whether an entry of the handle is listed (its live proxy).
    bool listed(long handle) const { return by_handle_.find(handle) != by_handle_.end(); }
    // Whether the proxy has an entry: a proxy with a record that has none
    // holds a copy the scene let go of.
    bool lists(qvGraphicProxyInterface const* proxy) const {
        return by_proxy_.find(const_cast<qvGraphicProxyInterface*>(proxy)) != by_proxy_.end();
    }
    // Which lists() answers may have turned false since (see above): a
    // connect compares it instead of looking the proxy up every time.
    std::uint64_t unlistings() const noexcept { return unlistings_; }

protected:
    // Tells the listed single-shape proxies that the scene is gone, then
    // removes every entry.
    void deassociate_all() noexcept;
    // Removes every entry; the proxies are not told and stay connected.
    void forget_entries() noexcept;

private:
    friend class qvContainerScene;
    friend class qvSingleShapeProxyBase;
    qvProxySite() noexcept = default;
    ~qvProxySite();

    struct Entry;
    // The entries of one handle, or of one proxy, oldest first.
    struct Chain {
        Entry* first = nullptr;
        Entry* last = nullptr;
    };
    using ByHandle = std::unordered_map<long, Chain>;
    using ByProxy = std::unordered_map<qvGraphicProxyInterface*, Chain>;
    using Connected = std::unordered_set<qvSingleShapeProxyBase*>;

    // Spares kept of each kind: enough for the hits of a few selects.
    static constexpr std::size_t spare_limit = 8;

    qvContainerScene& scene() noexcept;
    // Unlinks an entry from both chains (dropping emptied chains) and frees it.
    void remove(Entry* entry) noexcept;
    // A single-shape proxy connects to the scene, or dies connected.
    void attach(qvSingleShapeProxyBase* proxy);
    void detach(qvSingleShapeProxyBase* proxy) noexcept;

    // A fresh entry (from the spares when there is one) and its release.
    Entry* new_entry(qvGraphicProxyInterface* proxy, long handle);
    void free_entry(Entry* entry) noexcept;
    // The chain of `key`, made (from a spare node when there is one) when
    // the map has none yet.
    template <class Map>
    static Chain& chain_of(Map& map, std::vector<typename Map::node_type>& spares, typename Map::key_type key);
    // Takes the node at `at` out of `map`, keeping it as a spare while
    // there is room.
    template <class Map>
    static void drop_node(Map& map, std::vector<typename Map::node_type>& spares, typename Map::iterator at) noexcept;

    ByHandle by_handle_;
    ByProxy by_proxy_;
    std::size_t entry_count_ = 0;
    std::uint64_t unlistings_ = 0;
    Connected connected_;
    Entry* spare_entries_ = nullptr;  // linked through next_of_handle
    std::size_t spare_entry_count_ = 0;
    std::vector<ByHandle::node_type> spare_handle_nodes_;
    std::vector<ByProxy::node_type> spare_proxy_nodes_;
    std::vector<Connected::node_type> spare_connected_nodes_;
};
