// The mapping table: filtered queries, duplicate entries and their
// removal, copies, and entries that outlive their layers.

#include "qvMappingControlTestSupport.hpp"

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/views/qvMappingControlFilter.hpp>
#include <orvane/views/qvMappingControlLayerFilter.hpp>
#include <orvane/views/qvMappingTable.hpp>

#include "views/qvMappingTableImplementation.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Two distinct control identities; the table never dereferences them.
char first_control;
char second_control;

std::vector<qvMappingTableItem> found(qvMappingTable const& table, qvTableQueryFilter<qvMappingTableItem> const& f) {
    std::vector<qvMappingTableItem> out;
    for (qvIndirectIterator<qvMappingTableItem> it = table->query(f); it; ++it) out.push_back(*it);
    return out;
}

struct qvMappingTableTest : ::testing::Test {
    std::vector<std::string> log;
    qvMemoryScene scene;
    qvViewLayer a = qvLoggedSceneLayer::make("a", log, &scene);
    qvViewLayer b = qvLoggedSceneLayer::make("b", log, &scene);
    qvMappingTable table{true};
};

TEST_F(qvMappingTableTest, A_query_on_an_empty_table_is_at_its_end_at_once) {
    const qvMappingControlFilter filter(&first_control);
    const qvIndirectIterator<qvMappingTableItem> it = table->query(filter);
    EXPECT_FALSE(it);
    EXPECT_THROW((void)*qvIndirectIterator<qvMappingTableItem>(), qvAssertionError);
}

TEST_F(qvMappingTableTest, A_query_at_its_end_stays_there_when_advanced_again) {
    table->add(qvMappingTableItem(&first_control, a, 3, {}));
    table->add(qvMappingTableItem(&second_control, a, 3, {}));
    const qvMappingControlFilter filter(&first_control);
    qvIndirectIterator<qvMappingTableItem> it = table->query(filter);
    ASSERT_TRUE(it);
    ++it;
    EXPECT_FALSE(it);
    ++it;
    EXPECT_FALSE(it);
    EXPECT_EQ(it.operator->(), nullptr);
}

TEST_F(qvMappingTableTest, Controls_sharing_a_table_see_only_their_own_entries_in_order) {
    table->add(qvMappingTableItem(&first_control, a, 3, {1, 0}));
    table->add(qvMappingTableItem(&second_control, a, 1, {2, 0}));
    table->add(qvMappingTableItem(&first_control, b, 2, {3, 0}));
    const auto mine = found(table, qvMappingControlFilter(&first_control));
    ASSERT_EQ(mine.size(), 2u);
    EXPECT_EQ(mine[0].offset.x, 1);
    EXPECT_EQ(mine[1].offset.x, 3);
    const auto theirs = found(table, qvMappingControlFilter(&second_control));
    ASSERT_EQ(theirs.size(), 1u);
    EXPECT_EQ(theirs[0].link_type, 1);

    const qvIWeakPtr<qvViewLayerObject> watched(b);
    const auto of_b = found(table, qvMappingControlLayerFilter(&first_control, watched));
    ASSERT_EQ(of_b.size(), 1u);
    EXPECT_EQ(of_b[0].link_type, 2);
    EXPECT_TRUE(found(table, qvMappingControlLayerFilter(&second_control, watched)).empty());
}

TEST_F(qvMappingTableTest, Remove_erases_every_equal_entry_and_only_exactly_equal_ones) {
    const qvMappingTableItem item(&first_control, a, 3, {0.1, 5});
    table->add(item);
    table->add(item);
    table->add(qvMappingTableItem(&first_control, b, 3, {0.1, 5}));
    EXPECT_EQ(found(table, qvMappingControlFilter(&first_control)).size(), 3u);

    // An offset one bit away is another entry.
    table->remove(qvMappingTableItem(&first_control, a, 3, {std::nextafter(0.1, 1.0), 5}));
    EXPECT_EQ(found(table, qvMappingControlFilter(&first_control)).size(), 3u);
    table->remove(qvMappingTableItem(&second_control, a, 3, {0.1, 5}));
    table->remove(qvMappingTableItem(&first_control, a, 1, {0.1, 5}));
    EXPECT_EQ(found(table, qvMappingControlFilter(&first_control)).size(), 3u);

    table->remove(item);
    const auto left = found(table, qvMappingControlFilter(&first_control));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(left[0].same_layer(b));
}

TEST_F(qvMappingTableTest, An_entry_with_a_NaN_offset_equals_itself_and_can_be_removed) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const qvMappingTableItem item(&first_control, a, 3, {nan, 5});
    EXPECT_TRUE(item == item);
    EXPECT_FALSE(item == qvMappingTableItem(&first_control, a, 3, {0, 5}));
    table->add(item);
    table->remove(item);
    EXPECT_FALSE(table->query(qvMappingControlFilter(&first_control)));
}

TEST_F(qvMappingTableTest, Removing_through_an_entry_of_the_table_itself_erases_all_its_equals) {
    table->add(qvMappingTableItem(&first_control, a, 3, {}));
    table->add(qvMappingTableItem(&first_control, a, 3, {}));
    const qvMappingControlFilter filter(&first_control);
    qvMappingTableItem& first = *table->query(filter);
    table->remove(first);
    EXPECT_FALSE(table->query(filter));
}

TEST_F(qvMappingTableTest, A_copied_table_is_independent_and_assignment_reuses_its_entries) {
    table->add(qvMappingTableItem(&first_control, a, 3, {1, 1}));
    auto& source = static_cast<qvMappingTableImplementation&>(*table);
    qvMappingTable copy(new qvMappingTableImplementation(source));
    copy->add(qvMappingTableItem(&first_control, b, 3, {2, 2}));
    EXPECT_EQ(found(table, qvMappingControlFilter(&first_control)).size(), 1u);
    EXPECT_EQ(found(copy, qvMappingControlFilter(&first_control)).size(), 2u);

    // Longer target: the surplus goes; shorter: the rest is appended.
    auto& target = static_cast<qvMappingTableImplementation&>(*copy);
    target = source;
    EXPECT_EQ(target.size(), 1u);
    source.add(qvMappingTableItem(&second_control, b, 1, {}));
    source.add(qvMappingTableItem(&second_control, a, 2, {}));
    target = source;
    const auto theirs = found(copy, qvMappingControlFilter(&second_control));
    ASSERT_EQ(theirs.size(), 2u);
    EXPECT_TRUE(theirs[1].same_layer(a));
    // Changing an entry in place through the source leaves the copy alone.
    qvMappingControlFilter mine(&first_control);
    table->query(mine)->link_type = 1;
    EXPECT_EQ(copy->query(mine)->link_type, 3);
}

TEST_F(qvMappingTableTest, An_entry_whose_layer_died_stays_with_an_empty_layer) {
    table->add(qvMappingTableItem(&first_control, a, 3, {}));
    a = qvViewLayer();
    const qvMappingControlFilter filter(&first_control);
    const qvIndirectIterator<qvMappingTableItem> it = table->query(filter);
    ASSERT_TRUE(it);
    EXPECT_EQ(it->layer.get(), nullptr);
    // An empty layer handle never names it.
    const qvIWeakPtr<qvViewLayerObject> none;
    EXPECT_FALSE(table->query(qvMappingControlLayerFilter(&first_control, none)));
}

}  // namespace
