// qvQuadTreeDirectory: cells on the paths to the nodes' cells, and the
// depth-first walk that the four iterators share.
//
// Descending from (x, y, z) towards a key (kx, ky, kz) below it: with
// d = kz − z, the key lies on the x+ side when kx ≥ x × 2^d and on the y+
// side when ky ≥ y × 2^d; the child taken is 2 × (x+) + (y+). For a key
// that names a cell this always arrives at the key's own cell.
//
// The same descent in cell numbers: a cell of level z is column
// f = (x + 2^z − 1) / 2 of 2^z, and its child on the x+ side is column
// 2f + 1, so the cell of level l above key is column f_key >> (kz − l).
// Two keys share their cells down to the deepest level at which both
// columns and both rows agree, which one xor of their level-15 numbers
// tells.

#include <orvane/scenes/qvQuadTreeDirectory.hpp>

#include <orvane/core/qvAssertionError.hpp>

#include "scenes/qvQuadTreeCellSummary.hpp"

#include <algorithm>
#include <bit>

namespace {

struct Step {
    int child;
    int x, y;
};

Step toward(int x, int y, int z, qvQuadTreeHandleData const& key) noexcept {
    const int d = key.z - z;
    const bool right = static_cast<long long>(key.x) >= static_cast<long long>(x) * (1LL << d);
    const bool up = static_cast<long long>(key.y) >= static_cast<long long>(y) * (1LL << d);
    return {2 * int{right} + int{up}, 2 * x + (right ? 1 : -1), 2 * y + (up ? 1 : -1)};
}

qvQuadTreeHandleData handle_of(qvQuadTreeNode const& node) noexcept { return {node.x, node.y, node.z}; }

// Column (or row) of handle coordinate v at level z, and back.
int column_of(int v, int z) noexcept { return (v + (1 << z) - 1) / 2; }
int coordinate_of(int column, int z) noexcept { return 2 * column + 1 - (1 << z); }

// The place in a table of level l of key's cell of that level (key.z at
// least l): column, then row.
std::size_t slot_of(qvQuadTreeHandleData const& key, int l) noexcept {
    const int d = key.z - l;
    return static_cast<std::size_t>(column_of(key.x, key.z) >> d) << l | static_cast<std::size_t>(column_of(key.y, key.z) >> d);
}

// The deepest level whose cell lies on the paths of both a and b.
int shared_level(qvQuadTreeHandleData const& a, qvQuadTreeHandleData const& b) noexcept {
    const auto deep = [](int v, int z) { return static_cast<unsigned>(column_of(v, z)) << (15 - z); };
    const unsigned apart = (deep(a.x, a.z) ^ deep(b.x, b.z)) | (deep(a.y, a.z) ^ deep(b.y, b.z));
    const int level = std::min<int>(a.z, b.z);
    return apart == 0 ? level : std::min(level, 14 - (static_cast<int>(std::bit_width(apart)) - 1));
}

}  // namespace

qvQuadTreeDirectory::Cell::Cell() noexcept = default;
qvQuadTreeDirectory::Cell::~Cell() = default;

// --- nodes -------------------------------------------------------------------

void qvQuadTreeDirectory::add(qvQuadTreeNode* node) {
    std::unique_ptr<qvQuadTreeNode> owned(node);
    const qvQuadTreeHandleData key = handle_of(*node);
    QV_ASSERT_TEXT(qvIsQuadTreeCell(key), "c.x == key.x && c.y == key.y");
    // Room for an entry per cell this may make, so that no link fails.
    const std::size_t wanted = std::max<std::size_t>(links_.size(), 1) + static_cast<std::size_t>(key.z) + 1;
    QV_ASSERT_TEXT(wanted <= std::numeric_limits<std::uint32_t>::max(), "links_.size() < UINT32_MAX");
    if (links_.capacity() < wanted) links_.reserve(std::max(wanted, 2 * links_.capacity()));
    if (links_.empty()) links_.emplace_back();
    if (key.z >= express_level && express_.empty()) {
        // Both tables or neither: serving reads served_ whenever express_ is there.
        std::vector<std::uint32_t> served(std::size_t{1} << (2 * express_level), 0);
        express_.assign(std::size_t{1} << (2 * express_level), 0);
        served_.swap(served);
        if (root_) serve_existing(*root_, 0, 0, 0);
    }
    if (!root_) {
        root_ = std::make_unique<Cell>();
        root_->link = make_link(root_.get(), 0);
    }
    Cell* cell = root_.get();
    std::array<Cell*, 16> on_path{};
    on_path[0] = cell;
    int x = 0, y = 0;
    for (int z = 0; z < key.z; ++z) {
        const Step step = toward(x, y, z, key);
        auto& child = cell->children[static_cast<std::size_t>(step.child)];
        if (!child) {
            child = std::make_unique<Cell>();
            child->link = make_link(child.get(), z + 1);
            links_[cell->link].child[static_cast<std::size_t>(step.child)] = child->link;
            if (z + 1 == express_level) express_[slot_of(key, express_level)] = child->link;
            cell->present = static_cast<std::uint8_t>(cell->present | 1u << step.child);
        }
        cell = child.get();
        on_path[static_cast<std::size_t>(z) + 1] = cell;
        x = step.x;
        y = step.y;
    }
    QV_ASSERT_TEXT(x == key.x && y == key.y, "c.x == key.x && c.y == key.y");
    cell->nodes.push_back(std::move(owned));
    cell->summary.reset();
    node->count_writes_in(&node_writes_);
    ++count_;
    // Nothing can fail from here on.
    if (!links_[cell->link].has_nodes && key.z <= express_level && !served_.empty())
        serve_below(*cell, key.x, key.y, key.z);
    links_[cell->link].has_nodes = true;
    refresh_open(*cell);
    for (int z = 0; z <= key.z; ++z) widen(on_path[static_cast<std::size_t>(z)]->reach, node->bbox);
}

void qvQuadTreeDirectory::remove(qvQuadTreeNode* node) {
    QV_ASSERT_TEXT(node != nullptr && root_ && qvIsQuadTreeCell(handle_of(*node)), "node");
    const qvQuadTreeHandleData key = handle_of(*node);
    std::array<std::unique_ptr<Cell>*, 16> path{};
    std::unique_ptr<Cell>* link = &root_;
    path[0] = link;
    int x = 0, y = 0;
    for (int z = 0; z < key.z; ++z) {
        const Step step = toward(x, y, z, key);
        link = &(*link)->children[static_cast<std::size_t>(step.child)];
        QV_ASSERT_TEXT(*link, "node");
        path[static_cast<std::size_t>(z) + 1] = link;
        x = step.x;
        y = step.y;
    }
    QV_ASSERT_TEXT(x == key.x && y == key.y, "c.x == p->x && c.y == p->y");
    auto& nodes = (*link)->nodes;
    const auto found = std::find_if(nodes.begin(), nodes.end(), [&](auto const& held) { return held.get() == node; });
    QV_ASSERT_TEXT(found != nodes.end(), "i != node->data.end()");
    if (free_links_.capacity() < free_links_.size() + 16) free_links_.reserve(2 * free_links_.size() + 16);
    nodes.erase(found);
    links_[(*link)->link].has_nodes = !nodes.empty();
    if (nodes.empty() && key.z <= express_level && !served_.empty()) {
        // What the cell served passes to the deepest cell above with nodes.
        std::uint32_t above = 0;
        for (int z = key.z - 1; z >= 0 && above == 0; --z)
            if (Cell const& at = **path[static_cast<std::size_t>(z)]; !at.nodes.empty()) above = at.link;
        const Region r = region_of(key.x, key.y, key.z);
        const std::uint32_t gone = (*link)->link;
        for (std::size_t c = r.column; c < r.column + r.side; ++c)
            for (std::size_t w = r.row; w < r.row + r.side; ++w)
                if (std::uint32_t& place = served_[c << express_level | w]; place == gone) place = above;
    }
    // What the quadtree remembered of the cell may name the node.
    (*link)->open = 0;
    refresh_open(**link);
    (*link)->handles.reset();
    (*link)->summary.reset();
    for (auto& other : nodes) other->set_indexed(false);
    --count_;
    path_depth_ = -1;
    int z = key.z;
    for (; z >= 0; --z) {
        std::unique_ptr<Cell>& at = *path[static_cast<std::size_t>(z)];
        const bool empty = at->nodes.empty() &&
                           std::none_of(at->children.begin(), at->children.end(), [](auto const& c) { return c != nullptr; });
        if (!empty) break;
        if (z > 0) {
            Cell& parent = **path[static_cast<std::size_t>(z) - 1];
            links_[parent.link].child[static_cast<std::size_t>(path[static_cast<std::size_t>(z)] - parent.children.data())] = 0;
        }
        if (z == express_level) express_[slot_of(key, express_level)] = 0;
        links_[at->link] = Link{};
        free_links_.push_back(at->link);
        at.reset();
    }
    for (; z >= 0; --z) {
        Cell& at = **path[static_cast<std::size_t>(z)];
        at.reach = reach_of(at);
        at.present = 0;
        for (std::size_t c = 0; c < 4; ++c)
            if (at.children[c]) at.present = static_cast<std::uint8_t>(at.present | 1u << c);
    }
}

qvQuadTreeDirectory::Region qvQuadTreeDirectory::region_of(int x, int y, int z) noexcept {
    const int d = express_level - z;
    return {static_cast<std::size_t>(column_of(x, z)) << d, static_cast<std::size_t>(column_of(y, z)) << d,
            std::size_t{1} << d};
}

void qvQuadTreeDirectory::serve_below(Cell const& cell, int x, int y, int z) noexcept {
    const Region r = region_of(x, y, z);
    for (std::size_t c = r.column; c < r.column + r.side; ++c)
        for (std::size_t w = r.row; w < r.row + r.side; ++w)
            if (std::uint32_t& place = served_[c << express_level | w]; place == 0 || links_[place].z < z)
                place = cell.link;
}

void qvQuadTreeDirectory::serve_existing(Cell const& cell, int x, int y, int z) noexcept {
    if (z > express_level) return;
    if (!cell.nodes.empty()) serve_below(cell, x, y, z);
    for (int c = 0; c < 4; ++c)
        if (Cell const* const child = cell.children[static_cast<std::size_t>(c)].get())
            serve_existing(*child, 2 * x + (c & 2 ? 1 : -1), 2 * y + (c & 1 ? 1 : -1), z + 1);
}

std::uint32_t qvQuadTreeDirectory::make_link(Cell* cell, int z) noexcept {
    Link fresh;
    fresh.cell = cell;
    fresh.z = static_cast<std::int8_t>(z);
    if (!free_links_.empty()) {
        const std::uint32_t at = free_links_.back();
        free_links_.pop_back();
        links_[at] = fresh;
        return at;
    }
    links_.push_back(fresh);
    return static_cast<std::uint32_t>(links_.size() - 1);
}

void qvQuadTreeDirectory::widen(qvRectOf<float>& reach, qvRectOf<float> const& box) noexcept {
    // A NaN side is left out: a box with one meets no query either.
    reach.x1 = std::min(reach.x1, box.x1);
    reach.y1 = std::min(reach.y1, box.y1);
    reach.x2 = std::max(reach.x2, box.x2);
    reach.y2 = std::max(reach.y2, box.y2);
}

qvRectOf<float> qvQuadTreeDirectory::reach_of(Cell const& cell) noexcept {
    qvRectOf<float> reach{inf, inf, -inf, -inf};
    for (auto const& node : cell.nodes) widen(reach, node->bbox);
    for (auto const& child : cell.children)
        if (child) widen(reach, child->reach);
    return reach;
}

// --- the cell that takes new records ------------------------------------------

int qvQuadTreeDirectory::walk_to(qvQuadTreeHandleData const& key) const {
    QV_ASSERT_TEXT(qvIsQuadTreeCell(key), "c.x == key.x && c.y == key.y");
    if (!root_) return -1;
    int z = 0;
    if (path_depth_ < 0)
        path_[0] = root_->link;
    else
        z = std::min(shared_level(key, path_key_), path_depth_);
    std::uint32_t at = path_[static_cast<std::size_t>(z)];
    const int d = key.z - z;
    int x = coordinate_of(column_of(key.x, key.z) >> d, z);
    int y = coordinate_of(column_of(key.y, key.z) >> d, z);
    for (; z < key.z; ++z) {
        const Step step = toward(x, y, z, key);
        const std::uint32_t child = links_[at].child[static_cast<std::size_t>(step.child)];
        if (child == 0) break;
        at = child;
        path_[static_cast<std::size_t>(z) + 1] = at;
        x = step.x;
        y = step.y;
    }
    path_key_ = key;
    path_depth_ = z;
    return z;
}

qvQuadTreeDirectory::CellNodes qvQuadTreeDirectory::serving(qvQuadTreeHandleData const& key) const {
    const std::uint32_t entry = serving_entry(key);
    return entry != 0 ? CellNodes(links_[entry].cell) : CellNodes();
}

qvQuadTreeNode* qvQuadTreeDirectory::open_node(qvQuadTreeHandleData const& key) const {
    return links_.empty() ? nullptr : links_[serving_entry(key)].open_node;
}

void qvQuadTreeDirectory::set_open(CellNodes const& cell, std::size_t open) noexcept {
    cell.cell_->open = open;
    refresh_open(*cell.cell_);
}

void qvQuadTreeDirectory::refresh_open(Cell const& cell) noexcept {
    links_[cell.link].open_node = cell.open < cell.nodes.size() ? cell.nodes[cell.open].get() : nullptr;
}

std::uint32_t qvQuadTreeDirectory::serving_entry(qvQuadTreeHandleData const& key) const {
    QV_ASSERT_TEXT(qvIsQuadTreeCell(key), "c.x == key.x && c.y == key.y");
    if (key.z > express_level && !express_.empty()) {
        if (std::uint32_t at = express_[slot_of(key, express_level)]; at != 0) {
            const int d = key.z - express_level;
            int x = coordinate_of(column_of(key.x, key.z) >> d, express_level);
            int y = coordinate_of(column_of(key.y, key.z) >> d, express_level);
            std::uint32_t deepest = links_[at].has_nodes ? at : 0;
            for (int z = express_level; z < key.z; ++z) {
                const Step step = toward(x, y, z, key);
                at = links_[at].child[static_cast<std::size_t>(step.child)];
                if (at == 0) break;
                if (links_[at].has_nodes) deepest = at;
                x = step.x;
                y = step.y;
            }
            if (deepest != 0) return deepest;
        }
        return served_[slot_of(key, express_level)];
    }
    for (int z = walk_to(key); z >= 0; --z)
        if (const std::uint32_t at = path_[static_cast<std::size_t>(z)]; links_[at].has_nodes) return at;
    return 0;
}

int qvQuadTreeDirectory::path(qvQuadTreeHandleData const& key, std::array<CellNodes, 16>& cells) const {
    int found = 0;
    for (int z = walk_to(key); z >= 0; --z)
        if (Link const& l = links_[path_[static_cast<std::size_t>(z)]]; l.has_nodes)
            cells[static_cast<std::size_t>(found++)] = CellNodes(l.cell);
    return found;
}

qvQuadTreeDirectory::CellNodes::HandleIndex& qvQuadTreeDirectory::CellNodes::make_handles() const {
    if (!cell_->handles) cell_->handles = std::make_unique<HandleIndex>();
    return *cell_->handles;
}

void qvQuadTreeDirectory::reopen(qvQuadTreeNode const& node) {
    Cell* const cell = serving({node.x, node.y, node.z}).cell_;
    if (cell == nullptr) return;
    for (std::size_t i = 0; i < cell->open && i < cell->nodes.size(); ++i)
        if (cell->nodes[i].get() == &node) {
            cell->open = i;
            refresh_open(*cell);
            return;
        }
}

void qvQuadTreeDirectory::forget(qvQuadTreeNode const& node, std::int32_t handle) {
    Cell* const cell = serving({node.x, node.y, node.z}).cell_;
    if (cell == nullptr || !cell->handles) return;
    const auto entry = cell->handles->find(handle);
    if (entry != cell->handles->end() && entry->second == &node) cell->handles->erase(entry);
}

// --- the walk ----------------------------------------------------------------

void qvQuadTreeDirectory::IteratorBase::push(Cell* cell, int x, int y, int z, int next_child) noexcept {
    frames_[static_cast<std::size_t>(depth_++)] = Frame{cell,
                                                        0,
                                                        static_cast<std::int16_t>(x),
                                                        static_cast<std::int16_t>(y),
                                                        static_cast<std::int16_t>(z),
                                                        static_cast<std::int8_t>(next_child),
                                                        true};
}

qvQuadTreeNode* qvQuadTreeDirectory::IteratorBase::get() {
    if (depth_ == 0) return nullptr;
    Frame const& f = top();
    return f.position < f.cell->nodes.size() ? f.cell->nodes[f.position].get() : nullptr;
}

// Pre-order: a cell's nodes, then its children 0 … 3 with their subtrees.
// A child made while the walk stands on its parent is visited when its
// place has not been passed yet.
template <class Admit>
bool qvQuadTreeDirectory::IteratorBase::step(Admit const& admit) {
    while (depth_ > 0) {
        Frame& f = top();
        const std::size_t n = f.cell->nodes.size();
        if (f.position < n) {
            if (f.first_visit)
                f.first_visit = false;
            else
                ++f.position;
            if (f.position < n) return true;
        }
        // The children the walk does not enter are passed here, without a
        // turn of the walk each (admitting runs no code that adds cells).
        const unsigned present = f.cell->present;
        Cell* entered = nullptr;
        int x = 0, y = 0;
        for (int c = f.next_child; c < 4 && (present >> c) != 0;) {
            c += std::countr_zero(present >> c);
            f.next_child = static_cast<std::int8_t>(c + 1);
            Cell* const child = f.cell->children[static_cast<std::size_t>(c)].get();
            x = 2 * f.x + (c < 2 ? -1 : 1);
            y = 2 * f.y + ((c & 1) != 0 ? 1 : -1);
            if (admit(*child, x, y, f.z + 1)) {
                entered = child;
                break;
            }
            ++c;
        }
        if (entered == nullptr)
            pop();
        else
            push(entered, x, y, f.z + 1, 0);
    }
    return false;
}

bool qvQuadTreeDirectory::IteratorBase::step() {
    return step([](Cell const&, int, int, int) { return true; });
}

void qvQuadTreeDirectory::IteratorBase::next() { step(); }

qvQuadTreeDirectory::EnumerateIterator::EnumerateIterator(qvQuadTreeDirectory const& directory) {
    if (directory.root_) {
        push(directory.root_.get(), 0, 0, 0, 0);
        step();
    }
}

// --- query -------------------------------------------------------------------

qvQuadTreeDirectory::QueryIterator::QueryIterator(qvQuadTreeDirectory const& directory,
                                                  qvMathRectOf<double> const& r)
    : x1_(static_cast<float>(r.x1)), y1_(static_cast<float>(r.y1)), x2_(static_cast<float>(r.x2)),
      y2_(static_cast<float>(r.y2)) {
    if (directory.root_) {
        push(directory.root_.get(), 0, 0, 0, 0);
        if (step_in()) settle();
    }
}

void qvQuadTreeDirectory::QueryIterator::next() {
    if (step_in()) settle();
}

void qvQuadTreeDirectory::QueryIterator::pass_cell() {
    Frame& f = top();
    f.position = f.cell->nodes.size();
    if (step_in()) settle();
}

// A subtree whose reach the rectangle does not meet holds no node that
// meets it.
bool qvQuadTreeDirectory::QueryIterator::step_in() {
    return step([this](Cell const& child, int, int, int) { return meets(child.reach); });
}

// Every node of a cell has the cell's rectangle: one that misses drops
// the cell's frame, its other nodes and its subtree with it.
void qvQuadTreeDirectory::QueryIterator::settle() {
    while (depth_ > 0) {
        if (meets(get()->bbox)) return;
        pop();
        if (!step_in()) return;
    }
}

// --- find --------------------------------------------------------------------

qvQuadTreeDirectory::FindIterator::FindIterator(qvQuadTreeDirectory const& directory,
                                                qvQuadTreeHandleData const& key) {
    QV_ASSERT_TEXT(qvIsQuadTreeCell(key), "c.x == key.x && c.y == key.y");
    if (!directory.root_) return;
    Cell* cell = directory.root_.get();
    int x = 0, y = 0, z = 0;
    push(cell, 0, 0, 0, 4);
    for (; z < key.z; ++z) {
        const Step s = toward(x, y, z, key);
        cell = cell->children[static_cast<std::size_t>(s.child)].get();
        if (cell == nullptr) break;
        x = s.x;
        y = s.y;
        push(cell, x, y, z + 1, 4);
    }
    QV_ASSERT_TEXT(z < key.z || (x == key.x && y == key.y), "c.x == key.x && c.y == key.y");
    step();
}

// --- children ----------------------------------------------------------------

qvQuadTreeDirectory::ChildIterator::ChildIterator(qvQuadTreeDirectory const& directory, int z, int x1, int y1,
                                                  int x2, int y2)
    : z_(z), x1_(x1), y1_(y1), x2_(x2), y2_(y2) {
    if (directory.root_) {
        push(directory.root_.get(), 0, 0, 0, z == 0 ? 4 : 0);
        if (step_in()) settle();
    }
}

void qvQuadTreeDirectory::ChildIterator::next() {
    if (step_in()) settle();
}

bool qvQuadTreeDirectory::ChildIterator::step_in() {
    return step([this](Cell const&, int x, int y, int z) { return covers(x, y, z); });
}

// A cell of level cz covers, at level z_, the x from (x − 1) × 2^d + 1 to
// (x + 1) × 2^d − 1 with d = z_ − cz (just x when d is 0), likewise y.
bool qvQuadTreeDirectory::ChildIterator::covers(int x, int y, int z) const noexcept {
    if (z > z_) return false;
    const long long span = 1LL << (z_ - z);
    const long long lo_x = (x - 1LL) * span + 1, hi_x = (x + 1LL) * span - 1;
    const long long lo_y = (y - 1LL) * span + 1, hi_y = (y + 1LL) * span - 1;
    return hi_x >= x1_ && lo_x <= x2_ && hi_y >= y1_ && lo_y <= y2_;
}

// Nodes above level z_ are passed a cell at a time; the walk never
// reaches below it.
void qvQuadTreeDirectory::ChildIterator::settle() {
    while (depth_ > 0) {
        Frame& f = top();
        if (f.z == z_ && f.x >= x1_ && f.x <= x2_ && f.y >= y1_ && f.y <= y2_) return;
        f.position = f.cell->nodes.size();
        if (!step_in()) return;
    }
}
