#pragma once
// Walks everything a paged scene file holds, through an open ready-made
// paged scene: the directory page, the map chain, both streams ("$Layout"
// and "$UserData"), the handle tree's pages, and every node and record of
// every layer. For tests and the page-file fuzzer; not library API.
//
// Besides counting, it cross-checks what the library keeps apart:
//  - each page (directory, map, stream, handle-tree and node pages) is
//    named by one structure only;
//  - each live handle record names a layer entry, and a stored one finds
//    its record through its cell, that record carrying its handle;
//  - each stored record's handle names a live handle record of its layer;
//  - each layer's size equals its records (stored ones, plus the connected
//    ones a writable scene holds).
// What does not hold goes into `problems`; errors the library raises while
// reading (a damaged page found at its first lock) pass through.

#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvPageIStream.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvQTree.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace qv_page_walk {

struct Stream {
    bool present = false;
    std::size_t bytes = 0;
    std::vector<long> pages;
};

struct Layer {
    std::size_t entry = 0;
    int scene_layer = -1;
    int size = 0;
    long nodes = 0;
    long records = 0;     // stored in the quadtree
    long connected = 0;   // in the connected list
    long handles = 0;     // live handle records naming the entry
};

struct Walk {
    long page_count = 0;
    std::vector<std::pair<std::string, long>> roots;   // the directory, in order
    std::vector<long> map_pages;
    Stream layout;
    Stream user_data;
    std::vector<long> handle_pages;
    long handles = 0;   // live handle records
    std::vector<Layer> layers;
    std::vector<std::string> problems;

    bool sound() const noexcept { return problems.empty(); }
    long records() const noexcept {
        long n = 0;
        for (Layer const& l : layers) n += l.records + l.connected;
        return n;
    }
};

namespace detail {

inline void problem(Walk& walk, std::string text) { walk.problems.push_back(std::move(text)); }

inline Stream read_stream(qvPageDevice& device, char const* name) {
    Stream stream;
    stream.present = device.find_root(name) != 0;
    if (!stream.present) return stream;
    qvPageIStream in(device, name);
    char chunk[4096];
    for (int n; (n = in.getn(chunk, static_cast<int>(sizeof chunk))) > 0;) stream.bytes += static_cast<std::size_t>(n);
    stream.pages.assign(in.pages_read().begin(), in.pages_read().end());
    std::sort(stream.pages.begin(), stream.pages.end());
    in.close();
    return stream;
}

inline void read_directory(qvPageDevice& device, Walk& walk) {
    qvPageLock page(device, 1, false, 0.0f);
    const std::uint32_t count = page.word(4);
    if (count > 511) {
        problem(walk, "directory count " + std::to_string(count));
        return;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        char const* name = reinterpret_cast<char const*>(page.bytes()) + 8 + 32 * i + 8;
        walk.roots.emplace_back(std::string(name, ::strnlen(name, 24)), static_cast<long>(page.word(8 + 32 * i)));
    }
}

}  // namespace detail

// The scene must be open (read-only or writable) over its own file.
inline Walk walk(qvPagedScene& scene) {
    Walk walk;
    qvPageDevice& device = scene.device();
    walk.page_count = device.page_count();
    detail::read_directory(device, walk);
    if (auto* const map = dynamic_cast<qvMapAllocator*>(&device)) walk.map_pages = map->map_pages();
    walk.layout = detail::read_stream(device, "$Layout");
    walk.user_data = detail::read_stream(device, "$UserData");

    // Who names each page.
    std::map<long, std::string> owner;
    const auto own = [&](long page, std::string const& who) {
        const auto [at, added] = owner.emplace(page, who);
        if (!added) detail::problem(walk, "page " + std::to_string(page) + " named by " + at->second + " and " + who);
    };
    own(1, "the directory");
    for (long page : walk.map_pages) own(page, "the map");
    for (long page : walk.layout.pages) own(page, "$Layout");
    for (long page : walk.user_data.pages) own(page, "$UserData");

    auto const& entries = scene.layers();
    walk.layers.resize(entries.size());
    for (std::size_t e = 0; e < entries.size(); ++e) {
        Layer& layer = walk.layers[e];
        layer.entry = e;
        layer.scene_layer = entries[e].scene_layer;
        layer.size = entries[e].size;
        if (entries[e].list.get() != nullptr) layer.connected = static_cast<long>(entries[e].list->size());
    }

    // Handle records: every live one names an entry; a stored one finds its
    // record through its cell.
    std::unordered_map<std::int32_t, std::size_t> entry_of_handle;
    auto* const tree = dynamic_cast<qvHandleTree*>(scene.handle_database());
    if (tree != nullptr && tree->initialized()) {
        for (auto const& p : tree->pages()) {
            walk.handle_pages.push_back(p.page);
            own(p.page, "the handle tree");
        }
        for (long handle = 1; handle < tree->bound(); ++handle) {
            qvHandleDatabase::RecordLock lock;
            tree->examine(handle, lock);
            if (!lock) continue;
            const qvHandleRecord h = lock.get();
            tree->release(lock);
            ++walk.handles;
            if (h.layer < 0 || static_cast<std::size_t>(h.layer) >= entries.size() ||
                entries[static_cast<std::size_t>(h.layer)].sdb == nullptr) {
                detail::problem(walk, "handle " + std::to_string(handle) + " names no layer");
                continue;
            }
            const auto e = static_cast<std::size_t>(h.layer);
            ++walk.layers[e].handles;
            entry_of_handle.emplace(h.handle, e);
            // A connected shape's stored copy is masked, and finding it
            // would take the mask away: the walk leaves it alone.
            if (h.stored != 1 || entries[e].sdb->masked(h.handle)) continue;
            qvQuadTree::RecordLock record;
            bool found = false;
            try {
                entries[e].sdb->examine(h, record);
                found = record.record != nullptr && record.record->shape_handle == h.handle;
                entries[e].sdb->release(record);
            } catch (qvError const&) {
                if (record.record != nullptr) entries[e].sdb->release(record);
            }
            if (!found) detail::problem(walk, "handle " + std::to_string(handle) + " does not find its record");
        }
    }

    // Every node and record of every layer.
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (entries[e].sdb == nullptr) continue;
        Layer& layer = walk.layers[e];
        if (qvQuadTreeDirectory* const directory = entries[e].sdb->directory()) {
            for (qvQuadTreeDirectory::EnumerateIterator it(*directory); it.get() != nullptr; it.next()) {
                ++layer.nodes;
                own(it.get()->page_number(), "layer entry " + std::to_string(e));
            }
        }
        for (auto record = entries[e].sdb->every_record(); record; ++record) {
            ++layer.records;
            const auto named = entry_of_handle.find(record->shape_handle);
            if (tree != nullptr && (named == entry_of_handle.end() || named->second != e))
                detail::problem(walk, "record " + std::to_string(record->shape_handle) + " of entry " +
                                          std::to_string(e) + " has no handle record naming it");
        }
        if (layer.records + layer.connected != layer.size)
            detail::problem(walk, "layer entry " + std::to_string(e) + " has size " + std::to_string(layer.size) +
                                      " and " + std::to_string(layer.records + layer.connected) + " records");
    }
    for (auto const& [page, who] : owner)
        if (page < 0 || page >= walk.page_count)
            detail::problem(walk, who + " names page " + std::to_string(page) + " outside the file");
    return walk;
}

}  // namespace qv_page_walk
