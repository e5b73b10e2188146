#pragma once
// qvQuadTreeCellSummary: what a query keeps of the records of one quadtree
// cell's nodes, so that it need not read every record of every node it
// passes. Near the middle of a large scene a query passes many nodes whose
// cell contains the area but none of whose records come near it (a cell
// keeps the records that straddle its centre lines); the cell's summary
// turns all of them away at once.
//
// The records' boxes of every node of the cell are packed into one small
// tree: those that cross the cell's vertical centre line sorted by the
// height of their middle, those that cross only the horizontal one by its
// x, the rest sorted into vertical slices by the middle of their boxes,
// each slice by height; each kind is cut into groups of `fanout`. Each
// group keeps the union of its boxes, and each run of `fanout` unions of
// one level has its union on the level above, up to a level of at most
// `fanout`. A record can meet an area only if its kind's union and every
// union above it do; an area that meets no kind's union (a cell passed
// near a corner, away from its middle lines) costs three tests.
//
// Keeps true:
//  - the summary describes the cell's nodes, in order, as they were at the
//    `writes()` stamps its parts hold; a query uses it only while no node
//    of the cell is write-locked and the nodes and stamps are unchanged (a
//    node write-locked or let go from writing changes its stamp, and the
//    directory drops a cell's summary when it adds or removes a node);
//  - every record whose box could meet an area (none of its coordinates
//    NaN) lies in exactly one group, and every union contains the boxes
//    below it (sides taken as min and max, so that a record whose box is
//    inverted is kept too), so a union meets every area a record under it
//    meets;
//  - a record's place is its node's first place plus its index, so places
//    in ascending order are the records in the order the query yields
//    them: node by node, each in index order;
//  - the summary keeps each record's box, so a node written without a box
//    changing (a shape connected and let go again) is taken up again by
//    one comparison pass instead of a rebuild.

#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include "scenes/qvRecordArea.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class qvPageCache;
class qvQuadTreeNode;

struct qvQuadTreeCellSummary {
    static constexpr int fanout = 8;

    struct Part {
        qvQuadTreeNode const* node = nullptr;
        std::uint64_t writes = 0;   // the node's stamp when its boxes were read
        std::uint32_t first = 0;    // its records' places: first … first + records − 1
        int records = 0;
    };

    // Brings `summary` up to date with the nodes of `cell`, reading the
    // pages of the nodes written since (pinned through `cache` at
    // `priority`, checked when not yet checked); `node_writes` is the
    // directory's count of node writes, which tells at once that nothing
    // changed since the last call. False, and the summary left as it was,
    // while a node of the cell is write-locked: then nothing can be said of
    // the cell.
    static bool refresh(std::unique_ptr<qvQuadTreeCellSummary>& summary, qvQuadTreeDirectory::CellNodes const& cell,
                        std::uint64_t node_writes, qvPageCache& cache, float priority);
    // Whether the summary was found current when the directory's count of
    // node writes stood at `count` (then it still is).
    bool current_at(std::uint64_t count) const noexcept { return node_writes == count; }
    // Whether a record may meet `area`: false tells that none does.
    bool may_meet(qvRecordArea const& area) const noexcept {
        return meets(kinds[0], area) || meets(kinds[1], area) || meets(kinds[2], area);
    }
    // Whether a query over `area` had better read the cell `cell` (its
    // rectangle) whole than ask its summary: when the area covers a
    // thirty-second of the cell or more. A named candidate costs more than
    // a record tested on the walk (its box is tested twice, its place
    // sorted or marked), and the summary itself is built at the first
    // query that asks it; timed on viewports over a million boxes, reading
    // whole was as fast or faster down to that share, and the summary wins
    // where a small area meets a large cell (a spot, a cell's records along
    // its middle lines). False for a NaN area.
    static bool read_whole(qvRecordArea const& area, qvMathRectOf<float> const& cell) noexcept {
        const auto span = [](float lo, float hi) { return static_cast<double>(hi) - static_cast<double>(lo); };
        const double w = span(std::max(area.x1, cell.x1), std::min(area.x2, cell.x2));
        const double h = span(std::max(area.y1, cell.y1), std::min(area.y2, cell.y2));
        const double whole = span(cell.x1, cell.x2) * span(cell.y1, cell.y2);
        return w > 0 && h > 0 && w * h * 32 >= whole;
    }
    // The places of the records whose box meets `area`, ascending, into
    // `out` (cleared first).
    void candidates(qvRecordArea const& area, std::vector<std::uint32_t>& out) const;

    std::uint64_t node_writes = 0;               // the directory's count when last found current
    std::vector<Part> parts;                     // the cell's nodes, in order
    std::array<qvMathRectOf<float>, 3> kinds{};  // the union of each kind (inverted when none)
    std::vector<qvMathRectOf<float>> boxes;      // by place
    std::vector<std::uint32_t> order;            // places of the usable boxes, group by group
    std::vector<std::uint32_t> group_first;      // group g: order[group_first[g] .. group_first[g + 1])
    std::vector<std::vector<qvMathRectOf<float>>> levels;   // [0]: one union per group; [k + 1]: per run of fanout of [k]

private:
    static bool meets(qvMathRectOf<float> const& u, qvRecordArea const& area) noexcept {
        return u.x1 < area.x2 && u.x2 > area.x1 && u.y1 < area.y2 && u.y2 > area.y1;
    }
    // Groups the boxes of the records of `cell` (its rectangle).
    void build(qvMathRectOf<float> const& cell);
    void descend(qvRecordArea const& area, std::size_t level, std::size_t at, std::vector<std::uint32_t>& out) const;
};
