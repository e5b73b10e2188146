// Handles of the mapping family: conversions through the control
// interface, empty results, and shared lifetimes.

#include <orvane/views/qvMappingControl.hpp>
#include <orvane/views/qvMappingTable.hpp>

#include "views/qvMappingControlImpl.hpp"

#include <gtest/gtest.h>

namespace {

// A control object that does not offer the control interface.
class NotAControl : public qvMappingControlImpl {
public:
    void* query_interface(qvInterfaceInfo const&) override { return nullptr; }
};

TEST(qvMappingHandles, A_control_handle_from_an_object_without_the_control_interface_is_empty) {
    const qvMappingControlBase base(static_cast<qvMappingControlBaseObject*>(new NotAControl));
    EXPECT_FALSE(qvMappingControl(base));
    EXPECT_FALSE(qvMappingControl(base.get()));
    EXPECT_FALSE(qvMappingControl(qvMappingControlBase()));
    EXPECT_FALSE(qvMappingControlBase(qvMappingControl()));
}

TEST(qvMappingHandles, Handles_of_one_control_share_its_count) {
    qvMappingControl first = qvMappingControlObject::create();
    qvMappingControlObject* object = first.get();
    const qvMappingControlBase base = first;
    EXPECT_EQ(base.counter(), first.counter());
    const qvMappingControl again(base);
    EXPECT_EQ(again.get(), object);
    const qvMappingControl from_pointer(base.get());
    EXPECT_EQ(from_pointer.get(), object);
    qvMappingControl copy = first;
    first = qvMappingControl();
    copy->zoom(2);
    EXPECT_EQ(copy->mapping().m0(), 2);

    const qvMappingTable table(true);
    const qvMappingTable shared = table;
    EXPECT_EQ(shared.counter(), table.counter());
    EXPECT_FALSE(qvMappingTable());
    EXPECT_FALSE(qvScroller(qvMappingDimension()));
}

TEST(qvMappingHandles, A_table_lives_while_a_control_uses_it) {
    qvMappingTable table(true);
    qvIWeakPtr<qvMappingTableInterface> watch(table);
    qvMappingControl control = qvMappingControlObject::create();
    control->mapping_table(table);
    table = qvMappingTable();
    EXPECT_NE(watch.get(), nullptr);
    control = qvMappingControl();
    EXPECT_EQ(watch.get(), nullptr);
}

}  // namespace
