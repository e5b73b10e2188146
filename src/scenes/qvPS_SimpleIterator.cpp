// The enumeration of a paged scene (see qvPS_SimpleIterator.hpp).
#include "scenes/qvPS_SimpleIterator.hpp"

#include <orvane/scenes/qvBasicPagedScene.hpp>
#include <orvane/scenes/qvShapeList.hpp>

#include "scenes/qvQuadTreeQuery.hpp"

#include <algorithm>

qvPS_SimpleIterator::qvPS_SimpleIterator(qvBasicPagedScene& scene, int layer) : scene_(&scene) {
    const int first = layer < 0 ? 0 : layer;
    const int last = layer < 0 ? scene.total_layers() - 1 : layer;
    for (int l = first; l <= last; ++l) {
        const std::size_t e = static_cast<std::size_t>(scene.layer_map()[static_cast<std::size_t>(l)]);
        if (scene.layers()[e].size > 0) entries_.push_back(e);
    }
    scene.enumerations_.insert(this);
    try {
        open_phase();
        settle();
        make_current();
    } catch (...) {
        scene.enumerations_.erase(this);
        throw;
    }
}

qvPS_SimpleIterator::~qvPS_SimpleIterator() {
    if (scene_ != nullptr) scene_->enumerations_.erase(this);
}

void qvPS_SimpleIterator::end() noexcept {
    current_.release();
    stored_ = nullptr;
    records_ = qvIndirectIterator<qvShapeBase>();
    entries_.clear();
    scene_ = nullptr;
}

bool qvPS_SimpleIterator::walks(std::size_t entry) const noexcept {
    return std::find(entries_.begin() + static_cast<std::ptrdiff_t>(std::min(entry_index_, entries_.size())),
                     entries_.end(), entry) != entries_.end();
}

void qvPS_SimpleIterator::open_phase() {
    stored_ = nullptr;
    records_ = qvIndirectIterator<qvShapeBase>();
    if (entry_index_ >= entries_.size()) return;
    qvBasicPagedScene::LayerEntry& e = scene_->table()[entries_[entry_index_]];
    if (phase_ == 0) {
        if (e.list.get() != nullptr) records_ = e.list->enumerate();
    } else if (e.sdb->directory() != nullptr) {
        // Every unmasked record, as every_record walks them; kept at hand
        // to let go of its page between steps.
        stored_ = new qvQuadTreeQuery(*e.sdb);
        records_ = qvIndirectIterator<qvShapeBase>(stored_);
    }
}

void qvPS_SimpleIterator::settle() {
    while (!records_ && entry_index_ < entries_.size()) {
        if (phase_ == 0) {
            phase_ = 1;
        } else {
            phase_ = 0;
            ++entry_index_;
        }
        open_phase();
    }
}

void qvPS_SimpleIterator::next() {
    if (!current_) return;
    // Let go of this graphic first: a proxy released here writes its
    // record back in place.
    current_.release();
    ++records_;
    settle();
    make_current();
}

void qvPS_SimpleIterator::make_current() {
    if (!records_) {
        current_.release();
        return;
    }
    current_ = scene_->instantiate(records_->shape_handle);
    if (stored_ != nullptr) stored_->let_go();
}
