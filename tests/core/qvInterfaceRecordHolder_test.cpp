#include <orvane/core/qvInterfaceInfo.hpp>

#include "core/qvInterfaceRecordHolder.hpp"

#include <gtest/gtest.h>

namespace {

struct Probe;

}  // namespace

template <>
struct qvInterfaceName<Probe> {
    static constexpr char const* value = "qvTestProbeInterface";
};

namespace {

constexpr char const* probe_name = "qvTestProbeInterface";
using TypedHolder = qvUniqueObject<qvInterfaceInfoNested<Probe>>;

}  // namespace

TEST(qvInterfaceRecordHolder, Fill_registers_one_record_per_name) {
    qvInterfaceRecordHolder first(probe_name);
    qvInterfaceRecordHolder second(probe_name);
    first.get_or_create();
    second.get_or_create();
    ASSERT_NE(first.object, nullptr);
    EXPECT_EQ(second.object, first.object);
    EXPECT_EQ(qvLookupRegistry(probe_name), first.object);
    EXPECT_FALSE(qvRemoveRegistry(probe_name));
    EXPECT_FALSE(first.release());
    EXPECT_EQ(first.object, second.object);
    EXPECT_TRUE(second.release());
    EXPECT_EQ(second.object, nullptr);
    EXPECT_EQ(qvLookupRegistry(probe_name), nullptr);
}

// The two holder kinds free each other's records: under the sanitizers a
// mismatch in size or allocator shows here.
TEST(qvInterfaceRecordHolder, Typed_holder_frees_a_record_made_by_name) {
    qvInterfaceRecordHolder named(probe_name);
    named.get_or_create();
    {
        TypedHolder typed;
        EXPECT_EQ(typed.get(), named.object);
        EXPECT_FALSE(named.release());
    }   // the typed holder's release is the last
    EXPECT_EQ(qvLookupRegistry(probe_name), nullptr);
}

TEST(qvInterfaceRecordHolder, Named_holder_frees_a_record_made_by_type) {
    TypedHolder typed;
    qvInterfaceRecordHolder named(probe_name);
    named.get_or_create();
    EXPECT_EQ(named.object, typed.get());
    typed.release();
    EXPECT_TRUE(named.release());
}

TEST(qvInterfaceRecordHolder, Destructor_gives_back_a_use_not_yet_released) {
    qvInterfaceRecordHolder keeper(probe_name);
    keeper.get_or_create();
    {
        qvInterfaceRecordHolder scoped(probe_name);
        scoped.get_or_create();
    }
    EXPECT_TRUE(keeper.release());
}

TEST(qvInterfaceRecordHolderDeathTest, Failed_release_in_the_destructor_aborts) {
    EXPECT_DEATH(
        {
            qvInterfaceRecordHolder holder(probe_name);
            holder.get_or_create();
            qvRemoveRegistry(probe_name);   // the holder's use, taken from under it
        },
        "Unexpected Orvane error: .*assertion failed: p != reg->end\\(\\)");
}
