#pragma once
// qvPS_SimpleIterator: the iterator of qvBasicPagedScene::enumerate: per
// layer asked for, the graphics of its connected records (list order),
// then of its stored ones (quadtree order, also those outside the bounds),
// each made through the scene's proxy site (the live proxy of a record, or
// a new one that connects it).
//
// Keeps true: the current graphic is empty exactly at the end; the scene
// knows every live iterator and ends it at close or destruction, and when
// a layer it has still to walk is deleted (its quadtree goes); like every
// enumeration it is valid only while no shape is added, removed or moved
// (a graphic released unchanged is written back in place and keeps it
// valid). Between two steps it holds no page: the graphic is made from the
// record's handle, and the stored records' walk lets go of its page then,
// so that the steps' edits (write-backs into other layers) can grow a
// mapped file's view.
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/core/qvIterator.hpp>
#include <orvane/shapes/qvGraphic.hpp>

#include <cstddef>
#include <vector>

class qvBasicPagedScene;
class qvQuadTreeQuery;
struct qvShapeBase;

class qvPS_SimpleIterator : public qvIterator<qvGraphic> {
public:
    // Layer `layer` of the scene, or every layer when it is negative.
    qvPS_SimpleIterator(qvBasicPagedScene& scene, int layer);
    qvPS_SimpleIterator(qvPS_SimpleIterator const&) = delete;
    qvPS_SimpleIterator& operator=(qvPS_SimpleIterator const&) = delete;
    ~qvPS_SimpleIterator() override;

    qvGraphic* get() override { return current_ ? &current_ : nullptr; }
    void next() override;
    bool at_end() const override { return !current_; }
    // The scene closes or dies: let go of everything.
    void end() noexcept;
    // Whether the entry is still to be walked, or being walked.
    bool walks(std::size_t entry) const noexcept;

private:
    // Opens the records of the current entry and phase.
    void open_phase();
    // Moves records_ to the next record there is, across phases and layers.
    void settle();
    void make_current();

    qvBasicPagedScene* scene_;
    qvGraphic current_;
    std::vector<std::size_t> entries_;
    std::size_t entry_index_ = 0;
    int phase_ = 0;   // 0: connected records, 1: stored ones
    qvIndirectIterator<qvShapeBase> records_;
    qvQuadTreeQuery* stored_ = nullptr;   // records_'s walk in phase 1, borrowed
};
