// qvPagedSceneSegment: a vector of owned quadtrees (see
// qvPagedSceneSegment.hpp).
#include <orvane/scenes/qvPagedSceneSegment.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/scenes/qvPageDevice.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include "core/qvStreamFields.hpp"

#include <memory>

namespace {

[[noreturn]] void raise_segment_corrupt() {
    qvRaise(qvErrorFrom<qvPagedSceneSegment>("Invalid or corrupt Orvane pagefile"));
}

}  // namespace

qvPagedSceneSegment::qvPagedSceneSegment(qvPagedSceneFile& file) noexcept : file_(file) {}

qvPagedSceneSegment::~qvPagedSceneSegment() { cleanup(); }

void qvPagedSceneSegment::initialize() {}

void qvPagedSceneSegment::cleanup() { layers_.clear(); }

void qvPagedSceneSegment::add_layer(qvMathRectOf<double> const& base) {
    layers_.reserve(layers_.size() + 1);
    auto tree = std::make_unique<qvQTree>(&file_.device(), base);
    layers_.emplace_back(tree.release());
}

// The node pages are taken down before the quadtree goes, and given back
// after, so the allocator never hands out a page a live node still uses.
// Once the quadtree is gone the layer is: a page the allocator cannot take
// back (its map page cannot be had on a full disk) stays marked used, lost
// space rather than a layer half removed.
void qvPagedSceneSegment::remove_layer(int n) {
    qvQTree& removed = tree(n);
    std::vector<long> pages;
    if (qvQuadTreeDirectory* const directory = removed.directory()) {
        for (qvQuadTreeDirectory::EnumerateIterator it(*directory); it.get() != nullptr; it.next())
            pages.push_back(it.get()->page_number());
    }
    qvPageDevice* const device = removed.device();
    layers_.erase(layers_.begin() + n);
    for (long page : pages) {
        try {
            device->free(page);
        } catch (qvError const&) {
        }
    }
}

qvShapeDatabase& qvPagedSceneSegment::layer(int n) { return tree(n); }

qvQTree& qvPagedSceneSegment::tree(int n) {
    QV_ASSERT_TEXT(n >= 0 && n < static_cast<int>(layers_.size()), "n >= 0 && n < int(layers.size())");
    return *layers_[static_cast<std::size_t>(n)];
}

void qvPagedSceneSegment::save(qvOutputStream& os) const {
    qvWriteInt32(os, static_cast<long>(layers_.size()));
    for (auto const& tree : layers_) tree->save(os);
}

void qvPagedSceneSegment::load(qvInputStream& is) {
    const long count = qvReadInt32(is);
    if (count < 0) raise_segment_corrupt();
    for (long k = 0; k < count; ++k) {
        auto tree = std::make_unique<qvQTree>(&file_.device());
        tree->load(is);
        layers_.reserve(layers_.size() + 1);
        layers_.emplace_back(tree.release());
    }
}
