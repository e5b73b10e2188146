// qvQuadTreeNodeSummary (see qvQuadTreeNodeSummary.hpp).
//
// Cost model: building sorts a node's records twice (at most 327, once per
// write of the node that a query then passes); asking costs one box test
// per band (at most 6), one per group of a band that meets and one per
// record of a group that meets; those that meet are put into index order
// (sorted when few, marked when many).

#include "scenes/qvQuadTreeNodeSummary.hpp"

#include <orvane/scenes/qvQuadTreeNode.hpp>

#include <algorithm>
#include <bitset>
#include <cmath>
#include <cstring>

namespace {

struct SummaryEntry {
    float cx, cy;
    std::int16_t index;
};

bool summary_box_usable(qvMathRectOf<float> const& b) {
    return !std::isnan(b.x1) && !std::isnan(b.y1) && !std::isnan(b.x2) && !std::isnan(b.y2);
}

}  // namespace

void qvQuadTreeNodeSummary::build(qvQuadTreeNode& node, unsigned char* page_bytes) {
    auto made = std::make_unique<qvQuadTreeNodeSummary>();
    made->writes = node.writes();
    std::vector<SummaryEntry> entries;
    std::vector<qvMathRectOf<float>>& record_boxes = made->record_boxes;
    record_boxes.resize(static_cast<std::size_t>(node.fill_no));
    entries.reserve(static_cast<std::size_t>(node.fill_no));
    for (int i = 0; i < node.fill_no; ++i) {
        qvMathRectOf<float> const& b = node.record_in(page_bytes, i)->box;
        record_boxes[static_cast<std::size_t>(i)] = b;
        if (summary_box_usable(b)) {
            // A box from −inf to +inf has no centre: sorted as if at 0, it
            // still meets every area through its group's box.
            const float cx = b.x1 * 0.5f + b.x2 * 0.5f, cy = b.y1 * 0.5f + b.y2 * 0.5f;
            entries.push_back({std::isfinite(cx) ? cx : 0.0f, std::isfinite(cy) ? cy : 0.0f,
                               static_cast<std::int16_t>(i)});
        }
    }

    // Sort-tile: slices by x, groups by y within each slice.
    const std::size_t n = entries.size();
    const std::size_t groups = (n + group_size - 1) / group_size;
    std::size_t slices = 1;
    while (slices * slices < groups)
        ++slices;
    const std::size_t per_slice = slices == 0 ? n : ((groups + slices - 1) / slices) * group_size;
    std::sort(entries.begin(), entries.end(), [](SummaryEntry const& a, SummaryEntry const& b) { return a.cx < b.cx; });
    for (std::size_t first = 0; first < n; first += per_slice) {
        const auto begin = entries.begin() + static_cast<std::ptrdiff_t>(first);
        const auto end = entries.begin() + static_cast<std::ptrdiff_t>(std::min(n, first + per_slice));
        std::sort(begin, end, [](SummaryEntry const& a, SummaryEntry const& b) { return a.cy < b.cy; });
    }

    made->members.reserve(n);
    for (std::size_t first = 0; first < n; first += group_size) {
        const std::size_t last = std::min(n, first + group_size);
        made->starts.push_back(static_cast<int>(made->members.size()));
        qvMathRectOf<float> u = record_boxes[static_cast<std::size_t>(entries[first].index)];
        for (std::size_t k = first; k < last; ++k) {
            qvMathRectOf<float> const& b = record_boxes[static_cast<std::size_t>(entries[k].index)];
            u.x1 = std::min(u.x1, std::min(b.x1, b.x2));
            u.y1 = std::min(u.y1, std::min(b.y1, b.y2));
            u.x2 = std::max(u.x2, std::max(b.x1, b.x2));
            u.y2 = std::max(u.y2, std::max(b.y1, b.y2));
            made->members.push_back(entries[k].index);
        }
        made->boxes.push_back(u);
    }
    made->starts.push_back(static_cast<int>(made->members.size()));
    for (std::size_t g = 0; g < made->boxes.size(); g += band_size) {
        qvMathRectOf<float> u = made->boxes[g];
        for (std::size_t k = g; k < std::min(made->boxes.size(), g + band_size); ++k) {
            u.x1 = std::min(u.x1, made->boxes[k].x1);
            u.y1 = std::min(u.y1, made->boxes[k].y1);
            u.x2 = std::max(u.x2, made->boxes[k].x2);
            u.y2 = std::max(u.y2, made->boxes[k].y2);
        }
        made->bands.push_back(u);
    }
    made->records = node.fill_no;
    node.summary() = std::move(made);
}

namespace {

bool summary_meets(qvMathRectOf<float> const& u, qvRecordArea const& area) {
    return u.x1 < area.x2 && u.x2 > area.x1 && u.y1 < area.y2 && u.y2 > area.y1;
}

}  // namespace

bool qvQuadTreeNodeSummary::still_holds(qvQuadTreeNode& node, unsigned char* page_bytes) {
    if (node.fill_no != records)
        return false;
    for (int i = 0; i < records; ++i) {
        qvMathRectOf<float> const& b = node.record_in(page_bytes, i)->box;
        qvMathRectOf<float> const& kept = record_boxes[static_cast<std::size_t>(i)];
        if (std::memcmp(&b, &kept, sizeof b) != 0)
            return false;
    }
    writes = node.writes();
    return true;
}

void qvQuadTreeNodeSummary::candidates(qvRecordArea const& area, std::vector<int>& out) const {
    out.clear();
    for (std::size_t b = 0; b < bands.size(); ++b) {
        if (!summary_meets(bands[b], area))
            continue;
        const std::size_t last = std::min(boxes.size(), (b + 1) * band_size);
        for (std::size_t g = b * band_size; g < last; ++g) {
            if (!summary_meets(boxes[g], area))
                continue;
            for (int k = starts[g]; k < starts[g + 1]; ++k) {
                const int index = members[static_cast<std::size_t>(k)];
                if (summary_meets(record_boxes[static_cast<std::size_t>(index)], area))
                    out.push_back(index);
            }
        }
    }
    // Few records meet a small area: sorting them is cheapest; many (a large
    // area) are put in order by marking them.
    if (out.size() <= 32) {
        std::sort(out.begin(), out.end());
        return;
    }
    std::bitset<qvQuadTreeNode::slot_count> marked;
    for (int index : out)
        marked.set(static_cast<std::size_t>(index));
    out.clear();
    for (int i = 0; i < records; ++i)
        if (marked.test(static_cast<std::size_t>(i)))
            out.push_back(i);
}
