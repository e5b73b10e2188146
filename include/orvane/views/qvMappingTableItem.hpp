#pragma once
// qvMappingTableItem: one link of a mapping table: which control drives
// which layer, along which axes, and with what device shift.
//
// Keeps true: the control is an identity only (never counted, never
// dereferenced by the table); the layer is watched weakly, so an entry
// never keeps its layer alive and reads an empty layer once it has died.
// Link bits: 1 the vertical axis, 2 the horizontal axis. The layer's
// mapping is the control's followed by the translation by `offset`: a
// model point p lands at the control's device point of p plus the offset.

#include <orvane/core/qvWeakPtr.hpp>
#include <orvane/geometry/qvCrd.hpp>
#include <orvane/views/qvViewLayerObject.hpp>

class qvMappingTableItem {
public:
    enum : int { vertical_link = 1, horizontal_link = 2, both_links = 3 };

    void const* control = nullptr;
    qvIWeakPtr<qvViewLayerObject> layer;
    int link_type = 0;
    qvCrdOf<double> offset{};

    qvMappingTableItem() noexcept = default;
    qvMappingTableItem(void const* control_, qvIWeakPtr<qvViewLayerObject> const& layer_, int link_type_,
                       qvCrdOf<double> const& offset_)
        : control(control_), layer(layer_), link_type(link_type_), offset(offset_) {}
    // The copy watches the same layer on its own.
    qvMappingTableItem(qvMappingTableItem const&) = default;
    qvMappingTableItem& operator=(qvMappingTableItem const&) = default;

    // Whether the entry's layer is `other`'s: the same counted object,
    // whatever interface each pointer sees it through.
    bool same_layer(qvRefPtrBase const& other) const noexcept { return layer.counter() == other.counter(); }
};

// Every field equal; offsets compared exactly, except that a NaN equals a
// NaN: an entry must equal itself, or the table could never erase it (a
// layer linked with a NaN offset once made the control's remove() loop
// forever).
inline bool operator==(qvMappingTableItem const& a, qvMappingTableItem const& b) noexcept {
    auto same = [](double u, double v) { return u == v || (u != u && v != v); };
    return a.control == b.control && a.same_layer(b.layer) && a.link_type == b.link_type &&
           same(a.offset.x, b.offset.x) && same(a.offset.y, b.offset.y);
}
