// qvMemoryScene: layers of shape lists over one node table, a layer map
// over fixed list slots, and the scene contract on top (see
// qvMemoryScene.hpp).
//
// Every operation checks all it is given (read-only flag, handles, layer
// numbers) and makes what could fail (slots, lists, map room, table room)
// before it changes anything, so a raise leaves the scene as it was. The
// one walk that changes the scene step by step, destroying a layer's
// shapes, goes through the shapes' proxies, which a read-only scene
// refuses at the first step.

#include <orvane/scenes/qvMemoryScene.hpp>

#include "core/qvStreamFields.hpp"
#include "scenes/qvLoadedAttributes.hpp"
#include "scenes/qvMS_SimpleIterator.hpp"
#include "scenes/qvShapeNodeTable.hpp"

#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvShapeList.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include <algorithm>
#include <utility>

namespace {

[[noreturn]] void raise_memory_scene_error(char const* message) { qvRaise(qvErrorFrom<qvMemoryScene>(message)); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction and destruction

qvMemoryScene::qvMemoryScene(qvPalette* palette, bool owns_palette) : qvMemoryScene(1, palette, owns_palette) {}

qvMemoryScene::qvMemoryScene(int layers, qvPalette* palette, bool owns_palette)
    : nodes_(std::make_unique<qvShapeNodeTable>()) {
    if (layers < 1)
        raise_memory_scene_error("Scene cannot have less than 1 layer");
    // A failed construction takes nothing: a given palette stays the caller's.
    std::unique_ptr<qvPalette> made;
    if (palette == nullptr)
        made = std::make_unique<qvStandardPalette>();
    for (int l = 0; l < layers; ++l)
        insert_layer(l);
    palette_ = made ? made.release() : palette;
    owns_palette_ = owns_palette || palette == nullptr;
}

qvMemoryScene::~qvMemoryScene() {
    // A read-only scene must still let its shapes go, and no live proxy may
    // keep a record that is about to be freed.
    read_only_ = false;
    deassociate_all();
    try {
        if (owns_palette_) {
            delete palette_;
            palette_ = nullptr;
        } else {
            for (std::size_t l = 0; l < mapv_.size(); ++l)
                destroy_shapes(list_of_layer(static_cast<int>(l)));
        }
    } catch (qvError const& error) {
        qvError::abort(error);
    }
    mapv_.clear();
    slots_.clear();
}

// ---------------------------------------------------------------------------
// Checks and helpers

void qvMemoryScene::check_layer(int layer) const {
    if (layer < 0 || layer >= static_cast<int>(mapv_.size()))
        raise_memory_scene_error("Illegal layer number specified");
}

void qvMemoryScene::refuse_when_read_only() const {
    if (read_only_)
        raise_memory_scene_error("Cannot modify a read-only scene");
}

int qvMemoryScene::slot_of(long handle) const {
    const int slot = nodes_->list(handle);
    if (slot < 0)
        raise_memory_scene_error("Shape handle not found");
    return slot;
}

std::size_t qvMemoryScene::free_slot() {
    for (std::size_t s = 0; s < slots_.size(); ++s)
        if (!slots_[s].list)
            return s;
    slots_.emplace_back();
    return slots_.size() - 1;
}

void qvMemoryScene::notify(qvShapeBase const& record, int layer) {
    if (update_notification())
        rect_sender().invalidate(record.bbox(), layer);
}

// Each shape goes through its proxy (its live one, or a new one from its
// proxy class), so the proxy lets it go as an application's destroy would
// and reports the shape's box (its attribute keeps its count); only a
// record whose proxy class is not registered, and that has no live proxy,
// is destroyed directly. The first record of the list
// is taken afresh after each one: a proxy's destroy changes the list.
void qvMemoryScene::destroy_shapes(qvShapeList& list) {
    while (list.size() > 0) {
        const long handle = list.first();
        qvShapeBase* const record = list.connect(handle);
        if (listed(handle) || qvProxyClass::find(record->proxy_class_id) != nullptr) {
            qvGraphic graphic = instantiate(handle);
            graphic->destroy_shape();
            // A proxy that left its shape in place would have this loop spin.
            QV_ASSERT_TEXT(list.connect(handle) != record, "shape destroyed by its proxy");
        } else {
            destroy(record);
        }
    }
}

// ---------------------------------------------------------------------------
// Records

qvShapeBase* qvMemoryScene::connect(long handle) { return nodes_->record(handle); }

void qvMemoryScene::disconnect(qvShapeBase*) {}

qvShapeBase* qvMemoryScene::allocate(int size, qvShapeBase* old) {
    refuse_when_read_only();
    QV_ASSERT_TEXT(size >= static_cast<int>(sizeof(qvShapeBase)), "size >= sizeof(qvShapeBase)");
    if (old != nullptr) {
        const long handle = old->shape_handle;
        if (nodes_->record(handle) != old)
            raise_memory_scene_error("Shape handle not found");
        return slots_[static_cast<std::size_t>(nodes_->list(handle))].list->resize(handle, size);
    }
    if (mapv_.empty())
        raise_memory_scene_error("Illegal layer number specified");
    std::unique_ptr<qvShapeBase> record(qvNewShapeRecord(size));
    const long handle = list_of_layer(0).create(record.get());
    // The table issues no slot beyond 32 bits.
    record->shape_handle = static_cast<std::int32_t>(handle);
    return record.release();
}

void qvMemoryScene::destroy(qvShapeBase* record) {
    QV_ASSERT_TEXT(record != nullptr, "p");
    refuse_when_read_only();
    const long handle = record->shape_handle;
    if (nodes_->record(handle) != record)
        raise_memory_scene_error("Shape handle not found");
    slots_[static_cast<std::size_t>(nodes_->list(handle))].list->remove(handle);
    delete record;
}

void qvMemoryScene::shape_layer(long handle, int layer) {
    refuse_when_read_only();
    const int slot = slot_of(handle);
    check_layer(layer);
    slots_[static_cast<std::size_t>(slot)].list->moveto(handle, list_of_layer(layer));
    // The area changed in two layers.
    notify(*nodes_->record(handle), -1);
}

int qvMemoryScene::shape_layer(long handle) { return slots_[static_cast<std::size_t>(slot_of(handle))].layer; }

void qvMemoryScene::shape_order(long handle, qvOrder order, long other) {
    refuse_when_read_only();
    const Slot& slot = slots_[static_cast<std::size_t>(slot_of(handle))];
    slot.list->place(handle, order, other);
    notify(*nodes_->record(handle), slot.layer);
}

// ---------------------------------------------------------------------------
// Layers

void qvMemoryScene::insert_layer(int layer) {
    if (layer < 0 || layer > static_cast<int>(mapv_.size()))
        raise_memory_scene_error("Illegal layer number specified");
    const std::size_t slot = free_slot();
    auto list = std::make_unique<qvShapeList>(*nodes_, static_cast<int>(slot));
    mapv_.reserve(mapv_.size() + 1);
    for (Slot& s : slots_)
        if (s.list && s.layer >= layer)
            ++s.layer;
    slots_[slot] = Slot{std::move(list), layer};
    mapv_.insert(mapv_.begin() + layer, static_cast<int>(slot));
}

void qvMemoryScene::delete_layer(int layer) {
    check_layer(layer);
    destroy_shapes(list_of_layer(layer));
    const std::size_t slot = static_cast<std::size_t>(mapv_[static_cast<std::size_t>(layer)]);
    slots_[slot] = Slot{};
    for (Slot& s : slots_)
        if (s.list && s.layer > layer)
            --s.layer;
    mapv_.erase(mapv_.begin() + layer);
}

void qvMemoryScene::move_layer(int from, int to) {
    check_layer(from);
    check_layer(to);
    if (from == to)
        return;
    const auto at = [this](int position) { return mapv_.begin() + position; };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else
        std::rotate(at(to), at(from), at(from + 1));
    for (int position = std::min(from, to); position <= std::max(from, to); ++position)
        slots_[static_cast<std::size_t>(mapv_[static_cast<std::size_t>(position)])].layer = position;
}

int qvMemoryScene::size(int layer) const {
    if (layer != -1) {
        check_layer(layer);
        return list_of_layer(layer).size();
    }
    int count = 0;
    for (int slot : mapv_)
        count += slots_[static_cast<std::size_t>(slot)].list->size();
    return count;
}

qvIndirectIterator<qvGraphic> qvMemoryScene::enumerate(int layer) {
    if (layer >= static_cast<int>(mapv_.size()))
        raise_memory_scene_error("Illegal layer number specified");
    return qvIndirectIterator<qvGraphic>(new qvMS_SimpleIterator(*this, layer));
}

// ---------------------------------------------------------------------------
// Drawing and identity

void* qvMemoryScene::query_interface(qvInterfaceInfo const& info) {
    if (void* const found = qvOfferInterfaces<qvShapeOrderInterface>(this, info))
        return found;
    return qvContainerScene::query_interface(info);
}

void qvMemoryScene::render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) {
    port.palette(palette_);
    const int total = static_cast<int>(mapv_.size());
    if (layer < 0) {
        for (int l = 0; l < total; ++l)
            render(port, reverse ? total - 1 - l : l, area, reverse);
        return;
    }
    QV_ASSERT_TEXT(layer < total, "l < int(mapv.size())");
    for (auto record = list_of_layer(layer).query(area, reverse); record; ++record)
        port.draw_shape(*record);
}

// ---------------------------------------------------------------------------
// Persistence

void qvMemoryScene::save(qvOutputStream& os) const {
    if (owns_palette_)
        palette_->save(os);
    qvWriteInt32(os, static_cast<long>(mapv_.size()));
    for (int slot : mapv_)
        slots_[static_cast<std::size_t>(slot)].list->save(os);
}

// Reads every list into new storage first; only once the whole stream
// has been read, and the records have their attributes, are the missing
// layers added and the records appended, with every allocation made
// before the first change. Until then `attributes` puts the palette back
// on a raise.
void qvMemoryScene::load(qvInputStream& is) {
    qvLoadedAttributes attributes(is, *palette_, owns_palette_);
    attributes.read_palette();
    const long count = qvReadInt32(is);
    const std::size_t total = mapv_.size();
    const std::size_t lists = std::max(static_cast<std::size_t>(std::max(count, 0L)), total);

    // Grown list by list: a claimed count reads no further than the stream.
    std::vector<qvShapeList::Records> layers;
    std::size_t records = 0;
    while (layers.size() < lists) {
        layers.push_back(qvShapeList::read_records(is));
        records += layers.back().size();
    }

    // The slots of the new layers: free ones first, lowest index first.
    const std::size_t added = lists - total;
    std::vector<std::size_t> new_slots;
    for (std::size_t s = 0; s < slots_.size() && new_slots.size() < added; ++s)
        if (!slots_[s].list)
            new_slots.push_back(s);
    const std::size_t appended = added - new_slots.size();
    for (std::size_t k = 0; k < appended; ++k)
        new_slots.push_back(slots_.size() + k);
    std::vector<std::unique_ptr<qvShapeList>> new_lists;
    new_lists.reserve(added);
    for (std::size_t slot : new_slots)
        new_lists.push_back(std::make_unique<qvShapeList>(*nodes_, static_cast<int>(slot)));
    slots_.reserve(slots_.size() + appended);
    mapv_.reserve(lists);
    nodes_->reserve(records);

    // The attributes last, so that only a failure among them has anything
    // to give back in the palette (which may need memory to free one).
    for (auto& layer : layers)
        for (auto& record : layer)
            attributes.take(*record);

    // Commit: nothing below allocates.
    attributes.keep();
    slots_.resize(slots_.size() + appended);
    for (std::size_t k = 0; k < added; ++k) {
        slots_[new_slots[k]] = Slot{std::move(new_lists[k]), static_cast<int>(total + k)};
        mapv_.push_back(static_cast<int>(new_slots[k]));
    }
    for (std::size_t l = 0; l < lists; ++l)
        list_of_layer(static_cast<int>(l)).append(layers[l]);

    // The senders' own flag does not hold back a whole invalidation.
    if (update_notification()) {
        rect_sender().invalidate();
        handle_sender().invalidate();
    }
}
