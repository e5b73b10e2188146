#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvUniqueObject.hpp>

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

// An interface no test object offers. Named apart from every library class:
// a second class of a library name would break the one-definition rule.
class qvUnofferedInterface : public virtual qvDynamicInterface {};

}  // namespace

QV_INTERFACE_NAME(qvFlavorPort);
QV_INTERFACE_NAME(qvSceneInterface);
QV_INTERFACE_NAME(qvUnofferedInterface);

namespace {

class Port : public qvFlavorPort {
public:
    int layer() const override { return 3; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* p = qvOfferInterfaces<qvFlavorPort>(this, info))
            return p;
        return qvFlavorPort::query_interface(info);
    }
};

// Adds a scene, and answers for the port through its base.
class ScenePort : public Port, public qvSceneInterface {
public:
    int total_layers() const override { return 7; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* p = qvOfferInterfaces<qvSceneInterface>(this, info))
            return p;
        return Port::query_interface(info);
    }
};

}  // namespace

TEST(qvInterfaceInfo, Record_is_named_after_the_class) {
    EXPECT_STREQ(qvInterfaceInfoNested<qvFlavorPort>::get_name(), "qvFlavorPort");
    EXPECT_STREQ(qvInterfaceInfoNested<qvSceneInterface>::get_name(), "qvSceneInterface");
}

TEST(qvInterfaceInfo, Holders_of_one_name_give_one_identity) {
    qvInterfaceInfo const& ours = qvInterfaceIdentity<qvFlavorPort>();
    // A second module's holder of the same name.
    qvUniqueObject<qvInterfaceInfoNested<qvFlavorPort>> other_module;
    EXPECT_EQ(other_module.get(), &ours);
    EXPECT_EQ(qvLookupRegistry("qvFlavorPort"), &ours);
    EXPECT_FALSE(qvRemoveRegistry("qvFlavorPort"));
    EXPECT_NE(&qvInterfaceIdentity<qvSceneInterface>(), &ours);
}

TEST(qvDynamicInterface, Answers_with_the_adjusted_sub_object) {
    ScenePort object;
    qvDynamicInterface* root = static_cast<qvFlavorPort*>(&object);
    qvSceneInterface* scene = qvQueryInterface<qvSceneInterface>(root);
    ASSERT_EQ(scene, static_cast<qvSceneInterface*>(&object));
    EXPECT_EQ(scene->total_layers(), 7);
}

TEST(qvDynamicInterface, Answers_through_the_base_chain) {
    ScenePort object;
    qvFlavorPort* port = qvQueryInterface<qvFlavorPort>(static_cast<qvSceneInterface*>(&object));
    ASSERT_EQ(port, static_cast<qvFlavorPort*>(&object));
    EXPECT_EQ(port->layer(), 3);
}

TEST(qvDynamicInterface, Lacking_interface_gives_null) {
    ScenePort object;
    Port plain;
    EXPECT_EQ(qvQueryInterface<qvUnofferedInterface>(static_cast<qvFlavorPort*>(&object)), nullptr);
    EXPECT_EQ(qvQueryInterface<qvSceneInterface>(&plain), nullptr);
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(static_cast<Port*>(nullptr)), nullptr);
}
