#pragma once
// qvQuadTreeNodeSummary: what a query keeps of one quadtree node's records
// so that it need not read every record of every node it passes. The
// records of a node are grouped by place (sorted into vertical slices by
// the middle of their boxes, each slice sorted by height and cut into
// groups of group_size, consecutive groups gathered into bands of
// band_size groups); each group and each band keeps the union of its
// boxes. A record can meet a query area only if its band's and its group's
// unions do, so a query reads the records of the groups that meet its area
// and skips the rest, and a node none of whose groups meets the area is not
// even pinned.
//
// Keeps true:
//  - the summary describes the node's records as they were at the node's
//    `writes()` stamp it holds; the query uses it only while the node is
//    not write-locked and the stamp is unchanged (every write to a node's
//    page happens between a write lock and its release, both of which
//    change the stamp);
//  - every record whose box could meet an area (none of its coordinates
//    NaN) lies in exactly one group; the union contains it, so the union
//    meets every area the record meets (strict overlap is kept by the
//    looser box);
//  - candidates come out in ascending record index: the query yields them
//    in the node's own order;
//  - the summary keeps each record's box, in index order, so a node
//    written without a box changing (a shape connected and let go again)
//    is taken up again by one comparison pass instead of a rebuild, and
//    the candidates are the records whose own box meets the area.

#include <orvane/geometry/qvMathRect.hpp>

#include "scenes/qvRecordArea.hpp"

#include <cstdint>
#include <vector>

class qvQuadTreeNode;

struct qvQuadTreeNodeSummary {
    static constexpr int group_size = 8;
    static constexpr int band_size = 8;

    // The summary of `node`'s records in `page_bytes`, its page pinned by
    // the caller and checked.
    static void build(qvQuadTreeNode& node, unsigned char* page_bytes);
    // Whether the records in `page_bytes` (pinned and checked) still have
    // the boxes this summary was made of; then it takes the node's stamp.
    bool still_holds(qvQuadTreeNode& node, unsigned char* page_bytes);
    // The indices of the records whose box meets `area`, ascending, into
    // `out` (cleared first).
    void candidates(qvRecordArea const& area, std::vector<int>& out) const;

    std::uint64_t writes = 0;
    int records = 0;                         // the node's fill_no when built
    std::vector<qvMathRectOf<float>> bands;  // one union per band of groups
    std::vector<qvMathRectOf<float>> boxes;  // one union per group
    std::vector<int> starts;                 // group g: members[starts[g] .. starts[g + 1])
    std::vector<std::int16_t> members;       // record indices, group by group
    std::vector<qvMathRectOf<float>> record_boxes;  // by record index
};
