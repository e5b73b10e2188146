// One selection and one list used for select after select (the list
// cleared each time, 0x10), over a paged and a memory scene of rectangles
// and polylines of many record sizes: each select must list what a new
// selection with a new list lists for the same query, hits and order, also
// past many hits, with the records' bytes untouched; a hit changed through
// the list is written back when the next select lets it go, and the shape
// is then found where it was moved. A selection assigned another one's
// selects as that one does from then on, whatever it kept before.

#include <orvane/interaction/qvPointSelection.hpp>
#include <orvane/interaction/qvRectangleSelection.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolyline.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRectangleDataAccess.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSingleShapeProxyBase.hpp>

#include "qvPagedSceneTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Box = qvMathRectOf<double>;
using Pt = qvCrdOf<double>;
using Bytes = std::vector<unsigned char>;

qvSingleShapeProxyBase& proxy_of(qvGraphic const& g) { return *qvQueryInterface<qvSingleShapeProxyBase>(g.get()); }

Bytes bytes_of(qvShapeBase const& record) {
    auto const* const p = reinterpret_cast<unsigned char const*>(&record);
    return Bytes(p, p + record.size);
}

// A query: a spot with its tolerance, or a box (tolerance below 0).
struct Query {
    Pt spot;
    double tolerance;
    Box box;
};

struct Listed {
    std::vector<long> handles;
    bool found = false;
};

// The handles of a list in order; every member's record must hold the
// bytes it was made with.
std::vector<long> checked_handles(qvGraphicList& list, std::map<long, Bytes> const& made) {
    std::vector<long> out;
    for (qvIndirectIterator<qvGraphic> it = list->enumerate(); it; ++it) {
        qvSingleShapeProxyBase& proxy = proxy_of(*it);
        out.push_back(proxy.shape_handle());
        EXPECT_EQ(bytes_of(*proxy.record()), made.at(out.back())) << "handle " << out.back();
    }
    return out;
}

// Rectangles and polylines of 2 to 40 points over (0, 0, 100, 100): the
// records differ in size, so a kept copy block fits some and not others.
std::map<long, Bytes> fill(qvContainerScene& scene, std::mt19937& rng) {
    std::uniform_real_distribution<double> at(0, 90), size(0.5, 14);
    std::uniform_int_distribution<int> points(2, 40);
    for (int i = 0; i < 150; ++i) {
        const double x = at(rng), y = at(rng);
        if (i % 2 == 0) {
            qvRectangle(scene, Box(x, y, x + size(rng), y + size(rng)));
            continue;
        }
        std::vector<Pt> line(static_cast<std::size_t>(points(rng)));
        for (Pt& p : line)
            p = {x + size(rng), y + size(rng)};
        qvPolyline(scene, static_cast<int>(line.size()), line.data());
    }
    std::map<long, Bytes> made;
    for (int layer = 0; layer < scene.total_layers(); ++layer)
        for (qvIndirectIterator<qvGraphic> it = scene.enumerate(layer); it; ++it)
            made[proxy_of(*it).shape_handle()] = bytes_of(*proxy_of(*it).record());
    return made;
}

std::vector<Query> queries(std::mt19937& rng) {
    std::uniform_real_distribution<double> at(-5, 105), tolerance(0, 12), side(1, 70);
    std::vector<Query> out;
    for (int i = 0; i < 60; ++i) {
        const double x = at(rng), y = at(rng);
        if (i % 3 == 2)
            out.push_back({{x, y}, -1, Box(x - 30, y - 30, x - 30 + side(rng), y - 30 + side(rng))});
        else
            out.push_back({{x, y}, tolerance(rng), Box()});
    }
    // Whole-scene boxes: every shape, well past a few hits.
    out.push_back({{0, 0}, -1, Box(-10, -10, 120, 120)});
    out.push_back({{50, 50}, 80, Box()});
    return out;
}

// `flags` for a spot; a box takes them without 0x20.
template <class Points, class Boxes>
Listed select(Points& points, Boxes& boxes, qvGraphicList& list, Query const& q, unsigned flags,
              std::map<long, Bytes> const& made) {
    Listed out;
    out.found = q.tolerance >= 0 ? points.select(list, q.spot, q.tolerance, flags)
                                 : boxes.select(list, q.box, flags & ~0x20u);
    out.handles = checked_handles(list, made);
    return out;
}

void expect_repeated_selects_list_as_new_ones(qvContainerScene& scene, std::mt19937& rng) {
    const std::map<long, Bytes> made = fill(scene, rng);
    const std::vector<Query> all = queries(rng);
    for (unsigned flags : {0x31u, 0x11u, 0x10u}) {
        std::vector<Listed> kept;
        {
            qvPointSelection points(scene);
            qvRectangleSelection boxes(scene);
            qvGraphicList list;
            for (Query const& q : all)
                kept.push_back(select(points, boxes, list, q, flags, made));
        }
        std::size_t most = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            qvPointSelection points(scene);
            qvRectangleSelection boxes(scene);
            qvGraphicList list;
            const Listed fresh = select(points, boxes, list, all[i], flags, made);
            EXPECT_EQ(kept[i].handles, fresh.handles) << "flags " << flags << " query " << i;
            EXPECT_EQ(kept[i].found, fresh.found) << "flags " << flags << " query " << i;
            most = std::max(most, fresh.handles.size());
        }
        EXPECT_EQ(most, made.size()) << "a box over the whole scene lists every shape";
    }
}

// A hit moved through the list is written when the next select clears the
// list; the shape then answers at its new place only.
void expect_a_changed_hit_written_back(qvContainerScene& scene) {
    qvRectangle(scene, Box(10, 10, 12, 12));
    qvRectangle(scene, Box(60, 60, 61, 62));
    qvPointSelection points(scene);
    qvGraphicList list;
    ASSERT_TRUE(points.select(list, Pt{11, 11}, 0.5, 0x31));
    ASSERT_EQ(list->size(), 1);
    const long moved = proxy_of(*list->enumerate()).shape_handle();
    qvQueryInterface<qvRectangleDataAccess>(list->enumerate()->get())->rectangle(Box(80, 20, 83, 24));
    EXPECT_TRUE(points.select(list, Pt{60.5, 61}, 0.5, 0x31));  // lets the moved one go
    EXPECT_FALSE(points.select(list, Pt{11, 11}, 0.5, 0x31));
    ASSERT_TRUE(points.select(list, Pt{81.5, 22}, 0.5, 0x31));
    EXPECT_EQ(proxy_of(*list->enumerate()).shape_handle(), moved);
    list->remove_all();
    qvRectangle again(scene, moved);
    EXPECT_EQ(again->rectangle(), Box(80, 20, 83, 24));
}

}  // namespace

TEST(qvSelectionRepeat, Repeated_selects_on_a_paged_scene_list_what_new_selections_list) {
    std::mt19937 rng(20261210);
    paged_scene_test::PagedSceneFixture fixture;
    expect_repeated_selects_list_as_new_ones(fixture.created(2), rng);
}

TEST(qvSelectionRepeat, Repeated_selects_on_a_memory_scene_list_what_new_selections_list) {
    std::mt19937 rng(20261211);
    qvMemoryScene scene;
    expect_repeated_selects_list_as_new_ones(scene, rng);
}

TEST(qvSelectionRepeat, A_hit_changed_through_the_list_is_written_back_when_the_next_select_lets_it_go) {
    paged_scene_test::PagedSceneFixture fixture;
    expect_a_changed_hit_written_back(fixture.created(1));
    qvMemoryScene scene;
    expect_a_changed_hit_written_back(scene);
}

TEST(qvSelectionRepeat, An_assigned_selection_selects_as_its_source_whatever_it_kept) {
    qvMemoryScene scene;
    qvRectangle(scene, Box(0, 0, 4, 3));
    qvRectangle(scene, Box(20, 10, 26, 15));
    qvMemoryScene other;
    qvRectangle(other, Box(40, 40, 47, 44));
    qvPointSelection kept(scene), source(other);
    qvGraphicList list;
    ASSERT_TRUE(kept.select(list, Pt{0, 1.5}, 0.5, 0x31));
    kept = source;
    EXPECT_TRUE(kept.select(list, Pt{47, 42}, 0.5, 0x31));
    ASSERT_EQ(list->size(), 1);
    EXPECT_EQ(&list->scene(), static_cast<qvContainerScene*>(&other));
    qvPointSelection copy(kept);
    EXPECT_FALSE(copy.select(list, Pt{0, 1.5}, 0.5, 0x31));
    EXPECT_TRUE(copy.select(list, Pt{43.5, 40}, 0.5, 0x31));
}
