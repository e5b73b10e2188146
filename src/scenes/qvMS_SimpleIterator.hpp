#pragma once
// qvMS_SimpleIterator: the iterator of qvMemoryScene::enumerate: the
// graphics of the records of the layers asked for, layer by layer, first
// to last in each, every one made through the scene's proxy site (the live
// proxy of a record, or a new one from its proxy class).
//
// Keeps true: the current graphic is empty exactly at the end; the lists
// to walk are those that had records when the iterator was made, in layer
// order. Like every enumeration it is valid only while no shape is added,
// removed or moved; code that destroys shapes enumerates afresh after each.

#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/shapes/qvGraphic.hpp>

#include <cstddef>
#include <vector>

class qvMemoryScene;
class qvShapeList;
struct qvShapeBase;

class qvMS_SimpleIterator : public qvIterator<qvGraphic> {
public:
    // Layer `layer` of the scene, or every layer when it is negative.
    qvMS_SimpleIterator(qvMemoryScene& scene, int layer);

    qvGraphic* get() override { return current_ ? &current_ : nullptr; }
    void next() override;
    bool at_end() const override { return !current_; }

private:
    // Makes the current graphic from the current record, or empties it.
    void make_current();

    qvMemoryScene& scene_;
    qvGraphic current_;
    std::vector<qvShapeList*> lists_;
    std::size_t list_index_ = 0;
    qvIndirectIterator<qvShapeBase> records_;
};
