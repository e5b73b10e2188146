// The quadtree against a brute-force list: seeded creates, removes, masks
// and queries over boxes of every sort (degenerate, inverted, straddling,
// partly and wholly outside), with a roomy cache and with a cache of two
// pages that evicts at every step; and a query that stays valid while the
// node it stands on is examined and changed in place.

#include <orvane/scenes/qvQTree.hpp>

#include "qvFileTestSupport.hpp"
#include "qvQuadTreeTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

using namespace qv_quadtree_test;

namespace {

const qvMathRectOf<double> base(0.0, 0.0, 1024.0, 1024.0);

struct Stored {
    qvHandleRecord h;
    qvRectOf<float> box;
    int size;
    int masks = 0;
};

bool overlaps(qvRectOf<float> const& b, qvRectOf<float> const& q) {
    return b.x1 < q.x2 && q.x1 < b.x2 && b.y1 < q.y2 && q.y1 < b.y2;
}

// The rule of create: a box is refused when it neither overlaps the base's
// interior nor lies in it.
bool refused(qvRectOf<float> const& b) {
    const bool inside = b.x1 >= 0 && b.y1 >= 0 && b.x2 <= 1024 && b.y2 <= 1024;
    const bool overlap = b.x1 < 1024 && 0 < b.x2 && b.y1 < 1024 && 0 < b.y2;
    return !inside && !overlap;
}

// Coordinates on a 1/16 grid: every cell computation over this base is
// exact, so the list and the tree must agree to the last record.
class Model {
public:
    Model(std::size_t cache_pages, unsigned seed) : device_(cache_pages), tree_(&device_, base), rng_(seed) {}

    float coordinate(int lo, int hi) { return std::uniform_int_distribution<int>(lo * 16, hi * 16)(rng_) / 16.0f; }

    qvRectOf<float> some_box() {
        const int kind = std::uniform_int_distribution<int>(0, 9)(rng_);
        const float x = coordinate(-64, 1088), y = coordinate(-64, 1088);
        const float span = kind < 6 ? coordinate(0, 8) : coordinate(0, 300);
        const float w = std::uniform_int_distribution<int>(0, 3)(rng_) == 0 ? 0.0f : span;
        const float h = std::uniform_int_distribution<int>(0, 3)(rng_) == 0 ? 0.0f : coordinate(0, 8);
        switch (kind) {
        case 0: return {x, y, x, y};                         // a point
        case 1: return {x + w, y + h, x, y};                 // inverted
        case 2: return {504, y, 520, y + h};                 // across the centre line
        case 3: return {x, 512, x + w, 512};                 // a line on it
        default: return {x, y, x + w, y + h};
        }
    }

    void create() {
        const qvRectOf<float> box = some_box();
        const int size = std::uniform_int_distribution<int>(40, 600)(rng_);
        const std::int32_t handle = next_++;
        auto bytes = record(size, box.x1, box.y1, box.x2, box.y2, handle, static_cast<unsigned char>(handle));
        if (refused(box)) {
            EXPECT_TRUE(qv_file_test::raises<qvErrorFrom<qvQuadTree>>([&] { store(tree_, bytes); },
                                                                      "The shape is outside limits of the scene"));
            return;
        }
        stored_[handle] = Stored{store(tree_, bytes), box, size};
    }

    void remove() {
        if (stored_.empty()) return;
        auto it = pick();
        qvQuadTree::RecordLock lock;
        tree_.modify(it->second.h, lock);
        ASSERT_EQ(lock.record->shape_handle, it->first);
        tree_.remove(lock);
        stored_.erase(it);
    }

    void mask() {
        if (stored_.empty()) return;
        auto it = pick();
        tree_.mask(it->second.h);
        ++it->second.masks;
    }

    // Examines a record and checks its bytes; the lookup drops one mask.
    void examine(Stored& s) {
        qvQuadTree::RecordLock lock;
        tree_.examine(s.h, lock);
        ASSERT_EQ(lock.record->size, s.size);
        ASSERT_EQ(lock.record->shape_handle, s.h.handle);
        const auto expected = record(s.size, s.box.x1, s.box.y1, s.box.x2, s.box.y2, s.h.handle,
                                     static_cast<unsigned char>(s.h.handle));
        ASSERT_EQ(std::memcmp(lock.record, expected.data(), expected.size()), 0) << "handle " << s.h.handle;
        tree_.release(lock);
        if (s.masks > 0) --s.masks;
    }

    void query() {
        float x1 = coordinate(0, 1024), x2 = coordinate(0, 1024), y1 = coordinate(0, 1024), y2 = coordinate(0, 1024);
        if (x1 > x2) std::swap(x1, x2);
        if (y1 > y2) std::swap(y1, y2);
        if (std::uniform_int_distribution<int>(0, 1)(rng_) == 0) {   // mostly small areas
            x2 = std::min(x2, x1 + 40);
            y2 = std::min(y2, y1 + 40);
        }
        check_query({x1, y1, x2, y2});
    }

    void check_query(qvRectOf<float> const& q) {
        std::vector<std::int32_t> expected, got;
        for (auto const& [handle, s] : stored_)
            if (s.masks == 0 && overlaps(s.box, q)) expected.push_back(handle);
        for (auto it = tree_.query(qvMathRectOf<double>(qvRectOf<double>(q)), false); it; ++it)
            got.push_back(it->shape_handle);
        std::sort(got.begin(), got.end());
        ASSERT_EQ(got, expected) << "query (" << q.x1 << ", " << q.y1 << ", " << q.x2 << ", " << q.y2 << ")";
    }

    void run(int creates, int removes, int queries) {
        const int steps = creates + removes;
        std::uniform_int_distribution<int> step(0, steps - 1);
        int made = 0, removed = 0;
        while (made < creates || removed < removes) {
            const bool make = removed >= removes || (made < creates && step(rng_) < creates);
            if (make) {
                create();
                ++made;
            } else {
                remove();
                ++removed;
            }
            if (std::uniform_int_distribution<int>(0, 99)(rng_) == 0) mask();
            if (std::uniform_int_distribution<int>(0, steps - 1)(rng_) < queries) query();
            if (::testing::Test::HasFatalFailure()) return;
        }
        ASSERT_EQ(tree_.size(), static_cast<int>(stored_.size()));
        check_query({0, 0, 1024, 1024});
        for (auto& [handle, s] : stored_) {
            qvHandleRecord fresh;
            fresh.handle = handle;
            qvShapeBase header;
            header.box = qvMathRectOf<float>(s.box);
            tree_.store_handle(&header, fresh);
            ASSERT_EQ(fresh.quadtree, s.h.quadtree);
            while (s.masks > 0) examine(s);
            examine(s);
        }
        check_query({0, 0, 1024, 1024});
        EXPECT_NO_THROW(device_.release()) << "a page stayed locked";
    }

    qvQTree& tree() { return tree_; }

private:
    std::map<std::int32_t, Stored>::iterator pick() {
        auto it = stored_.lower_bound(std::uniform_int_distribution<std::int32_t>(1, next_)(rng_));
        return it == stored_.end() ? stored_.begin() : it;
    }

    MemoryDevice device_;
    qvQTree tree_;
    std::mt19937 rng_;
    std::int32_t next_ = 1;
    std::map<std::int32_t, Stored> stored_;
};

}  // namespace

TEST(qvQuadTreeProperty, Queries_and_lookups_agree_with_a_list) {
    Model model(4096, 20240632);
    model.run(20000, 5000, 1500);
}

TEST(qvQuadTreeProperty, The_same_over_a_cache_of_two_pages) {
    Model model(2, 32);
    model.run(20000, 5000, 200);
}

// A query pins its node: examining and changing records of that node in
// place, and reading other nodes so that a two-page cache evicts, leaves
// the query's records where they were until its end.
TEST(qvQuadTreeQueryPin, Examine_and_modify_of_the_current_node_keep_the_query_valid) {
    MemoryDevice device(2);
    qvQTree tree(&device, base);
    std::vector<qvHandleRecord> handles;
    for (int k = 1; k <= 400; ++k) {
        const float x = static_cast<float>((k * 37) % 1000), y = static_cast<float>((k * 91) % 1000);
        handles.push_back(store(tree, record(200, x, y, x + 4, y + 4, k)));
    }
    std::vector<std::int32_t> expected = handles_of(tree, base);
    ASSERT_EQ(expected.size(), 400u);
    std::vector<std::int32_t> got;
    int step = 0;
    for (auto it = tree.query(base, false); it; ++it) {
        const std::int32_t current = it->shape_handle;
        got.push_back(current);
        qvHandleRecord const& h = handles[static_cast<std::size_t>(current - 1)];
        qvQuadTree::RecordLock lock;
        tree.examine(h, lock);
        tree.release(lock);
        tree.modify(h, lock);
        lock.record->user_handle = current;   // in place
        tree.update(lock);
        qvHandleRecord const& far = handles[static_cast<std::size_t>((step++ * 131) % 400)];
        tree.examine(far, lock);
        tree.release(lock);
        ASSERT_EQ(it->shape_handle, current);
    }
    EXPECT_EQ(got, expected);
    for (auto it = tree.query(base, false); it; ++it) EXPECT_EQ(it->user_handle, it->shape_handle);
}
