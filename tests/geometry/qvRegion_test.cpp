// Region handles: one grid region owned per handle, never shared or
// replaced; operations forwarded to it.

#include <orvane/geometry/qvGridRegion.hpp>
#include <orvane/geometry/qvListRegion.hpp>
#include <orvane/geometry/qvRegion.hpp>

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "qvRegionTestSupport.hpp"

namespace {

using Rects = std::vector<qvTestRect>;

const qvTestRect empty_box = qvTestRect::make_empty();

qvRegion l_shape() {
    qvRegion region;
    region += qvTestRect(0, 0, 10, 5);
    region += qvTestRect(0, 5, 5, 10);
    return region;
}

bool holds_grid_region(qvBaseRegion& region) {
    return region.query_interface(qvGridRegionIdentity()) != nullptr;
}

}  // namespace

// An implicit conversion to a pointer would let `delete handle` compile.
static_assert(!std::is_convertible_v<qvRegion&, qvBaseRegion*>);
static_assert(std::is_constructible_v<qvBaseRegion*, qvRegion&>);

TEST(qvRegion, Each_constructor_makes_a_grid_region) {
    qvRegion none;
    qvRegion rect(qvTestRect(0, 0, 10, 10));
    qvRegion point(qvCrdOf<double>(3, 4));
    qvRegion from_list(qvListRegion(qvTestRect(1, 1, 2, 2)));
    for (qvRegion* h : {&none, &rect, &point, &from_list}) {
        EXPECT_EQ(h->query_interface(qvGridRegionIdentity()), &h->object());
        EXPECT_EQ(static_cast<qvBaseRegion*>(*h), &h->object());
    }
    EXPECT_TRUE(rect == qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(point.empty());
    EXPECT_EQ(point.bbox(), empty_box);
    EXPECT_TRUE(from_list == qvTestRect(1, 1, 2, 2));
}

TEST(qvRegion, Static_create_makes_grid_regions_the_caller_owns) {
    const std::unique_ptr<qvBaseRegion> made[] = {
        std::unique_ptr<qvBaseRegion>(qvRegion::static_create()),
        std::unique_ptr<qvBaseRegion>(qvRegion::static_create(qvTestRect(0, 0, 1, 1))),
        std::unique_ptr<qvBaseRegion>(qvRegion::static_create(qvCrdOf<double>(3, 4))),
        std::unique_ptr<qvBaseRegion>(qvRegion::static_create(l_shape()))};
    for (auto const& region : made) EXPECT_TRUE(holds_grid_region(*region));
    EXPECT_TRUE(*made[1] == qvTestRect(0, 0, 1, 1));
    EXPECT_TRUE(made[2]->empty());
    EXPECT_TRUE(*made[3] == l_shape());
}

TEST(qvRegion, A_handle_made_from_a_list_region_answers_only_as_a_grid_region) {
    qvListRegion list;
    list.add({0, 0, 10, 5});
    list.add({0, 5, 5, 10});
    qvRegion handle(list);
    EXPECT_EQ(handle.query_interface(qvGridRegionIdentity()), &handle.object());
    EXPECT_EQ(handle.query_interface(qvListRegionIdentity()), nullptr);
    EXPECT_EQ(handle.query_interface(qvRectRegionIdentity()), nullptr);
    EXPECT_TRUE(handle == list);
    EXPECT_EQ(qvRectsOf(handle), (Rects{{0, 0, 10, 5}, {0, 5, 5, 10}}));
}

TEST(qvRegion, Changing_a_copy_leaves_the_original_unchanged) {
    const qvRegion original = l_shape();
    qvRegion copy(original);
    EXPECT_NE(&copy.object(), &original.object());
    copy -= qvTestRect(0, 0, 10, 10);
    EXPECT_TRUE(copy.empty());
    EXPECT_TRUE(original == l_shape());

    qvRegion assigned;
    assigned = original;
    assigned += qvTestRect(20, 20, 30, 30);
    EXPECT_TRUE(original == l_shape());
}

TEST(qvRegion, The_implementation_keeps_its_address_across_assignment_and_move) {
    qvRegion handle;
    qvBaseRegion* const impl = &handle.object();
    handle = l_shape();                       // move assignment
    EXPECT_EQ(&handle.object(), impl);
    EXPECT_TRUE(handle == l_shape());
    const qvRegion other(qvTestRect(1, 1, 2, 2));
    handle = other;                           // copy assignment
    EXPECT_EQ(&handle.object(), impl);
    handle = qvTestRect(3, 3, 4, 4);
    handle = static_cast<qvBaseRegion const&>(other);
    EXPECT_EQ(&handle.object(), impl);

    qvBaseRegion* const source_impl = &handle.object();
    qvRegion moved(std::move(handle));
    EXPECT_TRUE(moved == qvTestRect(1, 1, 2, 2));
    EXPECT_NE(&moved.object(), source_impl);
    EXPECT_EQ(&handle.object(), source_impl);  // the source keeps its own, emptied
    EXPECT_TRUE(handle.empty());
    handle += qvTestRect(0, 0, 1, 1);         // and stays usable
    EXPECT_TRUE(handle == qvTestRect(0, 0, 1, 1));
}

TEST(qvRegion, Assignment_returns_the_handle_and_other_operations_the_implementation) {
    qvRegion handle;
    EXPECT_EQ(&(handle = l_shape()), &handle);
    EXPECT_EQ(&(handle = qvTestRect(0, 0, 1, 1)), &handle);
    EXPECT_EQ(&(handle = qvCrdOf<double>(0, 0)), &handle);
    EXPECT_EQ(&(handle = static_cast<qvBaseRegion const&>(qvListRegion())), &handle);
    EXPECT_EQ(&(handle += qvTestRect(0, 0, 1, 1)), &handle.object());
    EXPECT_EQ(&handle.translate(qvRestrictedTransformation()), &handle.object());
    const std::unique_ptr<qvBaseRegion> copy(handle.clone()), made(handle.create());
    EXPECT_TRUE(holds_grid_region(*copy));
    EXPECT_TRUE(holds_grid_region(*made));
    EXPECT_TRUE(*copy == qvTestRect(0, 0, 1, 1));
    EXPECT_TRUE(made->empty());
}

TEST(qvRegion, Operations_with_itself_keep_or_empty_the_region) {
    qvRegion handle = l_shape();
    handle += handle;
    EXPECT_TRUE(handle == l_shape());
    handle *= handle;
    EXPECT_TRUE(handle == l_shape());
    handle = static_cast<qvRegion const&>(handle);
    EXPECT_TRUE(handle == l_shape());
    handle = static_cast<qvBaseRegion const&>(handle);
    EXPECT_TRUE(handle == l_shape());
    handle = std::move(static_cast<qvRegion&>(handle));
    EXPECT_TRUE(handle == l_shape());
    // The implementation handed its own handle.
    handle.object() += handle;
    handle.object() *= handle;
    EXPECT_TRUE(handle == l_shape());
    qvBaseRegion const& self = handle;  // spelled `handle -= handle`, clang warns
    handle -= self;
    EXPECT_TRUE(handle.empty());
    EXPECT_EQ(handle.bbox(), empty_box);
}

TEST(qvRegion, Forwards_queries_and_comparisons) {
    const qvRegion handle = l_shape();
    EXPECT_FALSE(handle.simple());
    EXPECT_EQ(handle.bbox(), qvTestRect(0, 0, 10, 10));
    EXPECT_EQ(qvTextOf(handle), "{region (0,0,10,10):\n\t(0,0,10,5)\n\t(0,5,5,10)\n}");
    EXPECT_TRUE(handle > qvTestRect(0, 0, 5, 10));
    EXPECT_FALSE(handle > qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(handle < qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(handle != qvTestRect(0, 0, 10, 10));
    const qvRegion square(qvTestRect(0, 0, 10, 10));
    EXPECT_TRUE(handle < square);
    EXPECT_TRUE(square > handle);
    EXPECT_TRUE(handle != square);
    EXPECT_FALSE(handle == square);
}

TEST(qvRegion, A_new_handle_reports_what_a_new_grid_region_reports) {
    qvRegion handle;
    EXPECT_TRUE(handle.empty());
    EXPECT_FALSE(handle.simple());
    EXPECT_FALSE(qvRegion(handle).simple());
    handle.erase();
    EXPECT_TRUE(handle.simple());
}
