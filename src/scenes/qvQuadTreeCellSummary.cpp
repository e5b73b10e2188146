// qvQuadTreeCellSummary (see qvQuadTreeCellSummary.hpp).
//
// Cost model: building sorts the cell's records (at most twice) (once per write of a
// node of the cell that changed a box, when a query next passes the cell);
// asking costs one box test per union of the top level (at most fanout),
// fanout more below each union that meets, and one per record of a group
// that meets. Those that meet are put into place order, sorted when few,
// marked when many.

#include "scenes/qvQuadTreeCellSummary.hpp"

#include <orvane/scenes/qvQuadTreeNode.hpp>

#include "scenes/qvPageLock.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

struct SummaryEntry {
    float cx, cy;
    std::uint32_t place;
};

bool summary_box_usable(qvMathRectOf<float> const& b) {
    return !std::isnan(b.x1) && !std::isnan(b.y1) && !std::isnan(b.x2) && !std::isnan(b.y2);
}

void summary_widen(qvMathRectOf<float>& u, qvMathRectOf<float> const& b) {
    u.x1 = std::min(u.x1, std::min(b.x1, b.x2));
    u.y1 = std::min(u.y1, std::min(b.y1, b.y2));
    u.x2 = std::max(u.x2, std::max(b.x1, b.x2));
    u.y2 = std::max(u.y2, std::max(b.y1, b.y2));
}

// The boxes of a node's records, read from its page.
void read_boxes(qvQuadTreeNode& node, qvPageCache& cache, float priority, std::vector<qvMathRectOf<float>>& out) {
    qvPageLock pin(cache, node.page_number(), false, priority);
    if (!node.checked())
        node.check(pin.bytes());
    for (int i = 0; i < node.fill_no; ++i)
        out.push_back(node.record_in(pin.bytes(), i)->box);
}

}  // namespace

bool qvQuadTreeCellSummary::refresh(std::unique_ptr<qvQuadTreeCellSummary>& summary,
                                    qvQuadTreeDirectory::CellNodes const& cell, std::uint64_t node_writes,
                                    qvPageCache& cache, float priority) {
    if (summary && summary->current_at(node_writes))
        return true;
    const std::size_t n = cell.size();
    bool same_nodes = summary && summary->parts.size() == n;
    bool current = same_nodes;
    for (std::size_t p = 0; p < n; ++p) {
        qvQuadTreeNode const& node = *cell[p];
        if (node.write_locked())
            return false;
        if (same_nodes && summary->parts[p].node != &node)
            same_nodes = current = false;
        else if (current && summary->parts[p].writes != node.writes())
            current = false;
    }
    if (current) {
        summary->node_writes = node_writes;
        return true;
    }

    // Each node written since is read afresh; the boxes of the others are
    // taken over.
    auto made = std::make_unique<qvQuadTreeCellSummary>();
    made->parts.resize(n);
    bool boxes_moved = !same_nodes;
    for (std::size_t p = 0; p < n; ++p) {
        qvQuadTreeNode& node = *cell[p];
        Part& part = made->parts[p];
        part.node = &node;
        part.first = static_cast<std::uint32_t>(made->boxes.size());
        Part const* const kept = same_nodes ? &summary->parts[p] : nullptr;
        if (kept != nullptr && kept->writes == node.writes()) {
            const auto from = summary->boxes.begin() + kept->first;
            made->boxes.insert(made->boxes.end(), from, from + kept->records);
        } else {
            read_boxes(node, cache, priority, made->boxes);
            if (kept != nullptr && !boxes_moved) {
                const std::size_t read = made->boxes.size() - part.first;
                boxes_moved = read != static_cast<std::size_t>(kept->records) ||
                              std::memcmp(made->boxes.data() + part.first, summary->boxes.data() + kept->first,
                                          read * sizeof(qvMathRectOf<float>)) != 0;
            }
        }
        part.records = static_cast<int>(made->boxes.size() - part.first);
        part.writes = node.writes();
    }
    if (!boxes_moved) {
        summary->parts = std::move(made->parts);
        summary->node_writes = node_writes;
        return true;
    }
    made->build(n == 0 ? qvMathRectOf<float>{} : cell[0]->bbox);
    made->node_writes = node_writes;
    summary = std::move(made);
    return true;
}

// Records that cross the cell's vertical centre line lie in a thin upright
// band, those that cross only the horizontal one in a flat band: each band
// is best cut along its length, so that a group covers a short piece of
// it. Only the rest (a leaf cell's records) is cut into slices and tiles.
void qvQuadTreeCellSummary::build(qvMathRectOf<float> const& cell) {
    const float mx = cell.x1 * 0.5f + cell.x2 * 0.5f, my = cell.y1 * 0.5f + cell.y2 * 0.5f;
    // Room taken once: a summary is made at the first query that cuts its
    // cell, where growing the lists step by step was a good part of the cost.
    std::vector<SummaryEntry> upright, flat, rest;
    upright.reserve(boxes.size());
    flat.reserve(boxes.size());
    rest.reserve(boxes.size());
    for (std::size_t q = 0; q < boxes.size(); ++q) {
        qvMathRectOf<float> const& b = boxes[q];
        if (!summary_box_usable(b))
            continue;
        // A box from −inf to +inf has no centre: sorted as if at 0, it
        // still meets every area through its group's union.
        const float cx = b.x1 * 0.5f + b.x2 * 0.5f, cy = b.y1 * 0.5f + b.y2 * 0.5f;
        const SummaryEntry e{std::isfinite(cx) ? cx : 0.0f, std::isfinite(cy) ? cy : 0.0f, static_cast<std::uint32_t>(q)};
        if (std::min(b.x1, b.x2) <= mx && std::max(b.x1, b.x2) >= mx)
            upright.push_back(e);
        else if (std::min(b.y1, b.y2) <= my && std::max(b.y1, b.y2) >= my)
            flat.push_back(e);
        else
            rest.push_back(e);
    }
    const auto by_x = [](SummaryEntry const& a, SummaryEntry const& b) { return a.cx < b.cx; };
    const auto by_y = [](SummaryEntry const& a, SummaryEntry const& b) { return a.cy < b.cy; };
    std::sort(upright.begin(), upright.end(), by_y);
    std::sort(flat.begin(), flat.end(), by_x);
    // Sort-tile: slices by x, groups by y within each slice.
    const std::size_t n = rest.size();
    const std::size_t groups = (n + fanout - 1) / fanout;
    std::size_t slices = 1;
    while (slices * slices < groups)
        ++slices;
    const std::size_t per_slice = ((groups + slices - 1) / slices) * fanout;
    std::sort(rest.begin(), rest.end(), by_x);
    for (std::size_t first = 0; first < n; first += per_slice)
        std::sort(rest.begin() + static_cast<std::ptrdiff_t>(first),
                  rest.begin() + static_cast<std::ptrdiff_t>(std::min(n, first + per_slice)), by_y);

    // Groups never mix the three kinds.
    order.clear();
    order.reserve(boxes.size());
    group_first.clear();
    group_first.reserve(boxes.size() / fanout + 4);
    levels.clear();
    std::vector<qvMathRectOf<float>> level;
    level.reserve(boxes.size() / fanout + 3);
    std::size_t k_index = 0;
    for (std::vector<SummaryEntry> const* kind : {&upright, &flat, &rest}) {
        qvMathRectOf<float>& whole = kinds[k_index++];
        whole.x1 = whole.y1 = std::numeric_limits<float>::infinity();
        whole.x2 = whole.y2 = -std::numeric_limits<float>::infinity();
        for (SummaryEntry const& e : *kind)
            summary_widen(whole, boxes[e.place]);
        for (std::size_t first = 0; first < kind->size(); first += fanout) {
            group_first.push_back(static_cast<std::uint32_t>(order.size()));
            qvMathRectOf<float> u = boxes[(*kind)[first].place];
            for (std::size_t k = first; k < std::min(kind->size(), first + fanout); ++k) {
                summary_widen(u, boxes[(*kind)[k].place]);
                order.push_back((*kind)[k].place);
            }
            level.push_back(u);
        }
    }
    group_first.push_back(static_cast<std::uint32_t>(order.size()));
    if (level.empty())
        return;
    levels.push_back(std::move(level));
    while (levels.back().size() > static_cast<std::size_t>(fanout)) {
        std::vector<qvMathRectOf<float>> const& below = levels.back();
        std::vector<qvMathRectOf<float>> above;
        for (std::size_t first = 0; first < below.size(); first += fanout) {
            qvMathRectOf<float> u = below[first];
            for (std::size_t k = first; k < std::min(below.size(), first + fanout); ++k)
                summary_widen(u, below[k]);
            above.push_back(u);
        }
        levels.push_back(std::move(above));
    }
}

void qvQuadTreeCellSummary::descend(qvRecordArea const& area, std::size_t level, std::size_t at,
                                    std::vector<std::uint32_t>& out) const {
    if (level == 0) {
        for (std::uint32_t k = group_first[at]; k < group_first[at + 1]; ++k)
            if (meets(boxes[order[k]], area))
                out.push_back(order[k]);
        return;
    }
    const std::size_t first = at * fanout;
    std::vector<qvMathRectOf<float>> const& below = levels[level - 1];
    for (std::size_t k = first; k < std::min(below.size(), first + fanout); ++k)
        if (meets(below[k], area))
            descend(area, level - 1, k, out);
}

void qvQuadTreeCellSummary::candidates(qvRecordArea const& area, std::vector<std::uint32_t>& out) const {
    out.clear();
    if (levels.empty() || !may_meet(area))
        return;
    std::vector<qvMathRectOf<float>> const& top = levels.back();
    for (std::size_t k = 0; k < top.size(); ++k)
        if (meets(top[k], area))
            descend(area, levels.size() - 1, k, out);
    // Few records meet a small area: sorting them is cheapest; many (a large
    // area) are put in order by marking them.
    if (out.size() <= 32) {
        std::sort(out.begin(), out.end());
        return;
    }
    std::vector<std::uint64_t> marked((boxes.size() + 63) / 64);
    for (std::uint32_t place : out)
        marked[place / 64] |= std::uint64_t{1} << (place % 64);
    out.clear();
    for (std::size_t w = 0; w < marked.size(); ++w)
        for (std::uint64_t bits = marked[w]; bits != 0; bits &= bits - 1)
            out.push_back(static_cast<std::uint32_t>(w * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
}
