// The enumeration of a memory scene (see qvMS_SimpleIterator.hpp).

#include "scenes/qvMS_SimpleIterator.hpp"

#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvShapeList.hpp>

qvMS_SimpleIterator::qvMS_SimpleIterator(qvMemoryScene& scene, int layer) : scene_(scene) {
    const int first = layer < 0 ? 0 : layer;
    const int last = layer < 0 ? scene.total_layers() - 1 : layer;
    for (int l = first; l <= last; ++l) {
        qvShapeList& list = scene.list_of_layer(l);
        if (list.size() > 0)
            lists_.push_back(&list);
    }
    if (!lists_.empty())
        records_ = lists_.front()->enumerate();
    make_current();
}

void qvMS_SimpleIterator::next() {
    if (!current_)
        return;
    ++records_;
    while (!records_ && ++list_index_ < lists_.size())
        records_ = lists_[list_index_]->enumerate();
    make_current();
}

void qvMS_SimpleIterator::make_current() {
    if (!records_) {
        current_.release();
        return;
    }
    current_ = scene_.instantiate(records_->shape_handle);
}
