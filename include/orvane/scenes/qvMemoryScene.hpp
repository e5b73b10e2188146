#pragma once
// qvMemoryScene: the scene that keeps all its shape records on the heap,
// one shape list per layer. Layers are inserted, deleted and reordered
// without touching a record: every list keeps a fixed slot, whose index is
// the list's number, and the layer map `mapv` gives the order of the slots.
// It draws layer by layer and, within a layer, in list order; it announces
// a shape's move to another layer and its z-order changes; and it writes
// and reads itself, with its palette when it owns it, as one stream.
//
// Keeps true:
//  - `mapv` holds each used slot index once; slot s is used exactly while
//    it has a list, and its layer is then the position of s in `mapv`; a
//    free slot has no list and layer -1;
//  - every list shares the scene's node table, so a shape handle is a slot
//    of that table: connect(h) and shape_layer(h) are constant time, and a
//    handle that names no live record of the scene (0, negative, never
//    issued, freed) gets null from connect and "Shape handle not found"
//    (qvErrorFrom<qvMemoryScene>) from shape_layer and shape_order; destroy
//    and allocate refuse a record that is not a live record of this scene
//    the same way. Once a slot is reused its handle names the new shape;
//  - a new record has a new header (box (1, 1, 0, 0), proxy class id 0),
//    zeros after it, and lands at the end of layer 0; a resized record
//    keeps handle, header, layer and place, and the bytes it gains are
//    zero;
//  - every failed call leaves the scene as it was; a failed load too, its
//    palette included (the same attributes under the same handles, with
//    the same counts);
//  - the read-only flag refuses allocate, destroy, shape_layer(h, l) and
//    shape_order ("Cannot modify a read-only scene"); delete_layer goes
//    through the shapes' proxies, which refuse too, so only an empty layer
//    of a read-only scene can be deleted;
//  - allocation, destruction and layer operations send nothing; a shape's
//    move to another layer sends its box with layer -1 and a z-order
//    change its box with its layer, both only while notification is on; a
//    load sends one invalidate() on each sender, also only then;
//  - destruction clears the read-only flag, detaches every live proxy
//    (they answer "Attempt to query uninitialized shape" afterwards), then,
//    when the palette is not owned, destroys every shape through a new
//    proxy (so each proxy reports its shape's box), else deletes the
//    palette; then frees the lists and records. Destroying a shape, here
//    as through destroy_shape or delete_layer, leaves the count of its
//    attribute as it was: the reference its record held stays in the
//    palette (stored palettes and their users count on it).
//
// Stream form (little-endian):
//   the palette in its own stream form       only when the scene owns it
//   int32  layer count
//   then, for layer 0 on, one shape list each (qvShapeList.hpp): as many
//   lists as the larger of the layer count and the scene's own layers
// Whether the palette is owned is not stored: a stream is read back by a
// scene that owns its palette exactly when the writing scene did. Loading
// adds the layers the stream has beyond the scene's and appends each
// list's records to its layer, with new handles. What a loaded record's
// attribute becomes (scenes/qvLoadedAttributes.hpp):
//  - a scene that owns its palette, and whose palette holds no attribute,
//    reads the stream's palette over its own, and the records keep their
//    attribute handles;
//  - one that owns its palette and whose palette holds any attribute (of
//    its shapes, a style, a name; with no shape at all) keeps every
//    attribute it has: each loaded record names a copy, in the scene's
//    palette, of the attribute the stream gave it (values and shared
//    mark, not the name), one copy per stream attribute, one reference
//    per record;
//  - one whose palette is not its own gives each record a reference on
//    the attribute it names, as connecting a shape to it does.
// On every road a record that names an attribute the palette it is read
// against does not hold (0 names none) raises qvErrorFrom<qvInputStream>
// "Invalid attribute handle on input", and the load changes nothing.

#include <orvane/shapes/qvContainerScene.hpp>
#include <orvane/shapes/qvShapeOrderInterface.hpp>

#include <memory>
#include <vector>

class qvShapeList;
class qvShapeNodeTable;

class qvMemoryScene : public qvContainerScene, public qvShapeOrderInterface {
public:
    // One layer. A null palette makes a new qvStandardPalette that the
    // scene owns whatever `owns_palette` says; a given palette is owned
    // (deleted with the scene, streamed with it) when it is set.
    explicit qvMemoryScene(qvPalette* palette = nullptr, bool owns_palette = false);
    // `layers` empty layers; fewer than 1 raises "Scene cannot have less
    // than 1 layer".
    qvMemoryScene(int layers, qvPalette* palette = nullptr, bool owns_palette = false);
    ~qvMemoryScene() override;

    // Sets the read-only flag; sends nothing.
    void read_only(bool on) noexcept { read_only_ = on; }
    bool read_only() override { return read_only_; }
    qvPalette& palette() override { return *palette_; }

    qvShapeBase* connect(long handle) override;
    // Records never leave memory: nothing to do.
    void disconnect(qvShapeBase* record) override;
    qvShapeBase* allocate(int size, qvShapeBase* old) override;
    // Assertion "p" for a null record.
    void destroy(qvShapeBase* record) override;
    // Moves the shape to the front of layer `layer` (of its own layer too).
    void shape_layer(long handle, int layer) override;
    int shape_layer(long handle) override;
    void insert_layer(int layer) override;
    void delete_layer(int layer) override;
    void move_layer(int from, int to) override;
    // -1 counts every layer; any other layer outside the scene raises
    // "Illegal layer number specified".
    int size(int layer) const override;
    // Any negative layer enumerates every layer.
    qvIndirectIterator<qvGraphic> enumerate(int layer) override;

    void shape_order(long handle, qvOrder order, long other) override;

    // Answers "qvContainerScene", "qvContainerSceneInterface", "qvScene",
    // "qvSceneInterface" and "qvShapeOrderInterface"; null for any other.
    void* query_interface(qvInterfaceInfo const& info) override;

    int total_layers() override { return static_cast<int>(mapv_.size()); }
    // Sets the port's palette, then draws (any negative layer: every
    // layer); a layer >= total_layers() fails "l < int(mapv.size())".
    void render(qvFlavorPort& port, int layer, qvMathRectOf<double> const& area, bool reverse) override;

    void load(qvInputStream& is) override;
    void save(qvOutputStream& os) const override;

private:
    struct Slot {
        std::unique_ptr<qvShapeList> list;
        int layer = -1;
    };

    friend class qvMS_SimpleIterator;

    void check_layer(int layer) const;
    void refuse_when_read_only() const;
    // The slot of a live handle, or "Shape handle not found".
    int slot_of(long handle) const;
    qvShapeList& list_of_layer(int layer) const {
        return *slots_[static_cast<std::size_t>(mapv_[static_cast<std::size_t>(layer)])].list;
    }
    // The first free slot, or a new one; its index. Raises only before any change.
    std::size_t free_slot();
    // Removes every shape of a list through its proxy (see the .cpp).
    void destroy_shapes(qvShapeList& list);
    // Notifies a rectangle while notification is on.
    void notify(qvShapeBase const& record, int layer);

    std::unique_ptr<qvShapeNodeTable> nodes_;
    std::vector<Slot> slots_;
    std::vector<int> mapv_;
    qvPalette* palette_ = nullptr;
    bool owns_palette_ = false;
    bool read_only_ = false;
};
