// Interface identities (one record per class name, whichever holder made it)
// and query_interface through the base chain, without run-time type checks.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvUniqueObject.hpp>

#include "core/qvInterfaceRecordHolder.hpp"

#include <gtest/gtest.h>

namespace {

class qvFlavorPort : public virtual qvDynamicInterface {
public:
    virtual int layer() const = 0;
};

class qvSceneInterface : public virtual qvDynamicInterface {
public:
    virtual int total_layers() const = 0;
};

// Named apart from every library class: a second class of a library name
// would break the one-definition rule.
class qvUnofferedInterface : public virtual qvDynamicInterface {};
struct Probe;

}  // namespace

QV_INTERFACE_NAME(qvFlavorPort);
QV_INTERFACE_NAME(qvSceneInterface);
QV_INTERFACE_NAME(qvUnofferedInterface);

template <>
struct qvInterfaceName<Probe> {
    static constexpr char const* value = "qvTestProbeInterface";
};

namespace {

class Port : public qvFlavorPort {
public:
    int layer() const override { return 3; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* p = qvOfferInterfaces<qvFlavorPort>(this, info)) return p;
        return qvFlavorPort::query_interface(info);
    }
};

// Adds a scene, and answers for the port through its base.
class ScenePort : public Port, public qvSceneInterface {
public:
    int total_layers() const override { return 7; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* p = qvOfferInterfaces<qvSceneInterface>(this, info)) return p;
        return Port::query_interface(info);
    }
};

constexpr char const* probe_name = "qvTestProbeInterface";
using TypedHolder = qvUniqueObject<qvInterfaceInfoNested<Probe>>;

}  // namespace

TEST(qvInterfaceInfo, Holders_of_one_class_name_give_one_identity) {
    qvInterfaceInfo const& ours = qvInterfaceIdentity<qvFlavorPort>();
    qvUniqueObject<qvInterfaceInfoNested<qvFlavorPort>> other_module;
    EXPECT_EQ(other_module.get(), &ours);
    EXPECT_EQ(qvLookupRegistry("qvFlavorPort"), &ours);
    EXPECT_FALSE(qvRemoveRegistry("qvFlavorPort"));
    EXPECT_NE(&qvInterfaceIdentity<qvSceneInterface>(), &ours);
}

TEST(qvDynamicInterface, Answers_with_the_adjusted_sub_object_through_the_base_chain_or_null) {
    ScenePort object;
    Port plain;
    qvSceneInterface* scene = qvQueryInterface<qvSceneInterface>(static_cast<qvFlavorPort*>(&object));
    ASSERT_EQ(scene, static_cast<qvSceneInterface*>(&object));
    EXPECT_EQ(scene->total_layers(), 7);
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(scene), static_cast<qvFlavorPort*>(&object));
    EXPECT_EQ(qvQueryInterface<qvUnofferedInterface>(scene), nullptr);
    EXPECT_EQ(qvQueryInterface<qvSceneInterface>(&plain), nullptr);
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(static_cast<Port*>(nullptr)), nullptr);
}

// Under the sanitizers a mismatch in size or allocator shows here.
TEST(qvInterfaceRecordHolder, Named_and_typed_holders_share_one_record_and_the_last_release_frees_it) {
    qvInterfaceRecordHolder named(probe_name), second(probe_name);
    named.get_or_create();
    second.get_or_create();
    EXPECT_EQ(second.object, named.object);
    EXPECT_FALSE(second.release());
    {
        TypedHolder typed;
        EXPECT_EQ(typed.get(), named.object);
        EXPECT_FALSE(named.release());
    }   // the typed holder's release is the last
    EXPECT_EQ(qvLookupRegistry(probe_name), nullptr);
    TypedHolder typed;
    ASSERT_NE(typed.get(), nullptr);   // made by type this time
    qvInterfaceRecordHolder third(probe_name);
    third.get_or_create();
    EXPECT_EQ(third.object, typed.object);
    typed.release();
    EXPECT_TRUE(third.release());
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
