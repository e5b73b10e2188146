// List regions against a linked-list model of their order rules: random
// sequences of adds, differences, intersections, unions with list and grid
// regions and moves give the same rectangles in the same order. The model
// is the rules taken literally (push to the front, splice what a walk keeps
// to the front); the region stores its list in an array, back to front.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvTranslation.hpp>

#include <gtest/gtest.h>

#include <list>
#include <random>

#include "qvRegionTestSupport.hpp"

namespace {

using Model = std::list<qvTestRect>;

bool model_contains(qvTestRect const& o, qvTestRect const& i) {
    return o.x1 <= i.x1 && o.x2 >= i.x2 && o.y1 <= i.y1 && o.y2 >= i.y2;
}

void model_add(Model& m, qvTestRect const& r) {
    if (qvTestIsVoid(r)) return;
    int looked = 0;
    for (auto it = m.begin(); it != m.end() && looked < 3; ++it, ++looked)
        if (model_contains(*it, r)) return;
    m.push_front(r);
}

void model_subtract(Model& m, qvTestRect const& b) {
    if (qvTestIsVoid(b)) return;
    Model out;
    for (qvTestRect const& a : m) {
        if (!qvRectsOverlap(a, b)) {
            out.push_front(a);
            continue;
        }
        const qvTestRect c = a * b;
        if (c.y2 != a.y2) out.push_front(qvTestRect(a.x1, c.y2, a.x2, a.y2));
        if (c.y1 != a.y1) out.push_front(qvTestRect(a.x1, a.y1, a.x2, c.y1));
        if (c.x1 != a.x1) out.push_front(qvTestRect(a.x1, a.y1, c.x1, a.y2));
        if (c.x2 != a.x2) out.push_front(qvTestRect(c.x2, a.y1, a.x2, a.y2));
    }
    m.swap(out);
}

void model_intersect(Model& m, qvTestRect const& b) {
    Model out;
    for (qvTestRect const& a : m)
        if (qvRectsOverlap(a, b)) out.push_front(a * b);
    m.swap(out);
}

// Rectangles on a 0..12 lattice, some of them lines or points.
qvTestRect random_rect(std::mt19937& rng) {
    std::uniform_int_distribution<int> at(0, 12), side(0, 6);
    const double x = at(rng), y = at(rng);
    return qvTestRect(x, y, x + side(rng), y + side(rng));
}

Model as_model(qvListRegion const& region) {
    const qvTestRects rects = qvRectsOf(region);
    return Model(rects.begin(), rects.end());
}

}  // namespace

TEST(qvListRegionProperty, Every_operation_keeps_the_order_the_linked_list_rules_give) {
    std::mt19937 rng(20261207);  // fixed seed: failures reproduce
    std::uniform_int_distribution<int> pick(0, 8), few(2, 5);
    for (int round = 0; round < 300; ++round) {
        qvListRegion region;
        Model model;
        for (int step = 0; step < 25; ++step) {
            const int op = pick(rng);
            const qvTestRect r = random_rect(rng);
            if (op <= 2) {
                region.add(r);
                model_add(model, r);
            } else if (op == 3) {
                region -= r;
                model_subtract(model, r);
            } else if (op == 4) {
                region *= r;
                model_intersect(model, r);
            } else {
                qvListRegion other;
                for (int n = few(rng); n > 0; --n) other.add(random_rect(rng));
                const Model theirs = as_model(other);
                if (op == 5) {  // a list in front, reversed
                    region += other;
                    if (model.empty())
                        model = theirs;
                    else if (theirs.size() < 2)
                        for (qvTestRect const& t : theirs) model_add(model, t);
                    else
                        for (qvTestRect const& t : theirs) model.push_front(t);
                } else if (op == 6) {  // a foreign region appended in its order
                    const qvGridRegion grid(other);
                    const qvTestRects cells = qvRectsOf(grid);
                    region += grid;
                    if (cells.size() == 1 && !model.empty())
                        model_add(model, cells.front());
                    else
                        model.insert(model.end(), cells.begin(), cells.end());
                } else if (op == 7) {
                    region -= other;
                    for (qvTestRect const& b : theirs) model_subtract(model, b);
                } else {
                    region.translate(qvTranslation(1.5, -2));
                    for (qvTestRect& m : model) m = qvTestRect(m.x1 + 1.5, m.y1 - 2, m.x2 + 1.5, m.y2 - 2);
                }
            }
            ASSERT_EQ(as_model(region), model) << "round " << round << " step " << step << " op " << op;
        }
    }
}
