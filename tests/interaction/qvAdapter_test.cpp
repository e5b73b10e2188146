// The adapter registry and qvAdapter: the rows the library registers at
// load and what each builds, the look-up's refusals, a target's own
// interaction, and an adapter's life inside qvAdapter's storage.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/interaction/qvAdapterClass.hpp>
#include <orvane/interaction/qvAdapterList.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvExactPolygon.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedImage.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>
#include <orvane/shapes/qvScaledText.hpp>

#include "qvAllocationProbe.hpp"

#include <gtest/gtest.h>

#include <array>
#include <type_traits>
#include <vector>

// A data access and an adapter over it that exist only in this test file.
struct InteractionTestCounter {
    virtual ~InteractionTestCounter() = default;
    int destroyed = 0;
};
QV_INTERFACE_NAME(InteractionTestCounter);

namespace {

static_assert(!std::is_copy_constructible_v<qvAdapter<qvMoveInteraction>>);
static_assert(!std::is_move_constructible_v<qvAdapter<qvMoveInteraction>>);
static_assert(!std::is_copy_assignable_v<qvAdapter<qvScaleInteraction>>);
static_assert(!std::is_move_assignable_v<qvAdapter<qvScaleInteraction>>);

struct CountingAdapter : qvAdapterBase, qvMoveInteraction {
    using DataAccess = InteractionTestCounter;
    explicit CountingAdapter(InteractionTestCounter* counter) : counter_(counter) {}
    ~CountingAdapter() override { ++counter_->destroyed; }
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvMoveInteraction>(this, info);
    }
    qvMathRectOf<double> bbox() override { return {0, 0, 1, 1}; }
    void move(qvCrdOf<double>) override {}
    InteractionTestCounter* counter_;
};

qvAdapterClass<qvRotateInteraction, CountingAdapter>& counting_row() {
    static qvAdapterClass<qvRotateInteraction, CountingAdapter> row;
    return row;
}

// Offers the counter; names it for a rotation (the counting row is keyed
// on rotation) unless told to name another data access.
struct CounterTarget : qvInteractionTarget, InteractionTestCounter {
    void* query_interface(qvInterfaceInfo const& info) override {
        return offers ? qvOfferInterfaces<InteractionTestCounter>(this, info) : nullptr;
    }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override {
        return &interaction == &qvInterfaceIdentity<qvRotateInteraction>() ? &qvInterfaceIdentity<InteractionTestCounter>()
                                                                         : nullptr;
    }
    bool offers = true;
};

// A graphic's interfaces under a chosen answer to query_interaction.
struct RenamingTarget : qvInteractionTarget {
    RenamingTarget(qvGraphic g, qvInterfaceInfo const& names) : graphic(std::move(g)), data_access(&names) {}
    void* query_interface(qvInterfaceInfo const& info) override { return graphic->query_interface(info); }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const&) const override { return data_access; }
    qvGraphic graphic;
    qvInterfaceInfo const* data_access;
};

// A graphic that moves itself.
struct SelfMoving : qvInteractionTarget, qvMoveInteraction {
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvMoveInteraction>(this, info);
    }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const&) const override {
        return &qvInterfaceIdentity<qvRectangleDataAccess>();
    }
    qvMathRectOf<double> bbox() override { return {}; }
    void move(qvCrdOf<double> d) override { moved = moved + d; }
    qvCrdOf<double> moved;
};

qvInterfaceInfo const& move_id() { return qvInterfaceIdentity<qvMoveInteraction>(); }
qvInterfaceInfo const& scale_id() { return qvInterfaceIdentity<qvScaleInteraction>(); }
qvInterfaceInfo const& extended_id() { return qvInterfaceIdentity<qvExtendedScaleInteraction>(); }
qvInterfaceInfo const& rotate_id() { return qvInterfaceIdentity<qvRotateInteraction>(); }

struct Row {
    qvInterfaceInfo const* interaction;
    qvInterfaceInfo const* data_access;
    std::vector<qvInterfaceInfo const*> answers;
};

class AdapterRegistry : public ::testing::Test {
protected:
    // The library's rows in load order, with the interactions each adapter answers.
    std::vector<Row> rows() {
        auto rect = &qvInterfaceIdentity<qvRectangleDataAccess>(), list = &qvInterfaceIdentity<qvGraphicListDataAccess>(),
             points = &qvInterfaceIdentity<qvPointSetDataAccess>(), text = &qvInterfaceIdentity<qvTextDataAccess>(),
             anchor = &qvInterfaceIdentity<qvAnchorDataAccess>();
        return {{&move_id(), rect, {&move_id(), &scale_id()}},
                {&scale_id(), rect, {&move_id(), &scale_id()}},
                {&move_id(), list, {&move_id(), &scale_id()}},
                {&scale_id(), list, {&move_id(), &scale_id()}},
                {&rotate_id(), points, {&rotate_id()}},
                {&move_id(), points, {&move_id(), &scale_id()}},
                {&scale_id(), points, {&move_id(), &scale_id()}},
                {&rotate_id(), list, {&rotate_id()}},
                {&rotate_id(), text, {&rotate_id()}},
                {&move_id(), anchor, {&move_id()}},
                {&move_id(), text, {&move_id()}},
                {&extended_id(), &qvInterfaceIdentity<qvRestrictedTextDataAccess>(), {&move_id(), &extended_id()}},
                {&extended_id(), &qvInterfaceIdentity<qvScaledTextDataAccess>(), {&move_id(), &extended_id()}}};
    }

    // A graphic that offers `data_access`.
    qvGraphic offering(qvInterfaceInfo const* data_access) {
        const qvCrdOf<double> square[] = {{0, 0}, {1, 0}, {1, 1}};
        if (data_access == &qvInterfaceIdentity<qvRectangleDataAccess>()) return qvRectangle(scene, 0, 0, 1, 1);
        if (data_access == &qvInterfaceIdentity<qvPointSetDataAccess>()) return qvExactPolygon(scene, 3, square);
        if (data_access == &qvInterfaceIdentity<qvGraphicListDataAccess>()) return qvGraphicList();
        if (data_access == &qvInterfaceIdentity<qvScaledTextDataAccess>())
            return qvScaledText(scene, qvCrdOf<double>(0, 0), "s", 2.0, nullptr);
        if (data_access == &qvInterfaceIdentity<qvAnchorDataAccess>()) {
            qvRestrictedImage image(scene);
            image->anchor(qvCrdOf<double>(1, 1));
            return image;
        }
        return qvRestrictedText(scene, qvCrdOf<double>(0, 0), "r", nullptr, nullptr);
    }

    qvMemoryScene scene;
};

}  // namespace

TEST_F(AdapterRegistry, The_library_registers_its_thirteen_rows_in_load_order) {
    counting_row();   // a row of this file's own comes after them
    std::vector<qvAdapterEntry> const& entries = qvAdapterList::holder()->entries();
    const std::vector<Row> expected = rows();
    ASSERT_GE(entries.size(), expected.size());
    std::size_t library_rows = 0;
    for (qvAdapterEntry const& entry : entries)
        library_rows += entry.data_access != &qvInterfaceIdentity<InteractionTestCounter>();
    EXPECT_EQ(library_rows, 13u);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(entries[i].interaction, expected[i].interaction);
        EXPECT_EQ(entries[i].data_access, expected[i].data_access);
        EXPECT_NE(entries[i].adapter_class, nullptr);
    }
}

TEST_F(AdapterRegistry, Each_row_builds_an_adapter_answering_exactly_its_interactions) {
    const std::array<qvInterfaceInfo const*, 6> asked = {&move_id(), &scale_id(), &extended_id(), &rotate_id(),
                                                         &qvInterfaceIdentity<qvRectangleDataAccess>(),
                                                         &qvInterfaceIdentity<qvPointSetDataAccess>()};
    int number = 0;
    for (Row const& row : rows()) {
        SCOPED_TRACE(++number);
        RenamingTarget target(offering(row.data_access), *row.data_access);
        alignas(qvAdapterStorageAlign) unsigned char storage[qvAdapterStorageSize];
        qvAdapterBase* const adapter = qvAdapterBase::create(*row.interaction, &target, storage);
        ASSERT_EQ(static_cast<void*>(adapter), static_cast<void*>(storage));
        for (qvInterfaceInfo const* info : asked) {
            const bool answers = std::find(row.answers.begin(), row.answers.end(), info) != row.answers.end();
            EXPECT_EQ(adapter->query_interface(*info) != nullptr, answers);
        }
        adapter->~qvAdapterBase();
    }
}

TEST_F(AdapterRegistry, Look_ups_follow_the_graphic_s_own_answer_and_match_identities_exactly) {
    qvGraphicList list;
    list->add(qvRectangle(scene, 0, 0, 4, 2));
    qvAdapter<qvScaleInteraction> group(list);
    ASSERT_NE(group.get(), nullptr);
    ASSERT_NE(group.adapter(), nullptr);
    EXPECT_EQ(group->bbox(), qvMathRectOf<double>(0, 0, 4, 2));

    const qvRestrictedText text(scene, qvCrdOf<double>(0, 0), "t", nullptr, nullptr);
    EXPECT_EQ(qvAdapter<qvScaleInteraction>(text).get(), nullptr);   // only the extended rows are the text's
    qvAdapter<qvExtendedScaleInteraction> extended(text);
    ASSERT_NE(extended.get(), nullptr);
    EXPECT_NE(extended.adapter()->query_interface(move_id()), nullptr);

    // No row yields a data access: only the graphic's own is found.
    const qvCrdOf<double> triangle[] = {{0, 0}, {2, 0}, {0, 2}};
    const qvPolygon compact(scene, 3, triangle);
    qvAdapter<qvPointSetDataAccess> points(compact);
    EXPECT_EQ(points.get(), static_cast<qvPointSetDataAccess*>(compact.get()));
    EXPECT_EQ(points.adapter(), nullptr);
    EXPECT_EQ(qvAdapter<qvRectangleDataAccess>(text).get(), nullptr);

    EXPECT_EQ(qvAdapter<qvMoveInteraction>(static_cast<qvInteractionTarget*>(nullptr)).get(), nullptr);
    EXPECT_EQ(qvAdapter<qvMoveInteraction>(qvGraphic()).get(), nullptr);
    EXPECT_EQ(qvAdapterBase::create(rotate_id(), nullptr, nullptr), nullptr);
    // A rectangle names its rectangle for a rotation too, but no row joins them.
    EXPECT_EQ(qvAdapter<qvRotateInteraction>(qvRectangle(scene, 0, 0, 1, 1)).get(), nullptr);
}

TEST_F(AdapterRegistry, The_data_access_is_checked_before_the_storage) {
    counting_row();
    CounterTarget target;
    EXPECT_EQ(qvAdapterBase::create(rotate_id(), &target, nullptr), nullptr);
    EXPECT_EQ(qvAdapterBase::create(move_id(), &target, nullptr), nullptr);   // named for rotation only
    target.offers = false;
    try {
        qvAdapterBase::create(rotate_id(), &target, nullptr);
        ADD_FAILURE() << "a target without its named data access was accepted";
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), "intf");
    }
}

TEST_F(AdapterRegistry, A_target_s_own_interaction_is_used_without_an_adapter) {
    SelfMoving self;
    qvAdapter<qvMoveInteraction> move(&self);
    EXPECT_EQ(move.get(), static_cast<qvMoveInteraction*>(&self));
    EXPECT_EQ(move.adapter(), nullptr);
    move->move(qvCrdOf<double>(2, 3));
    EXPECT_EQ(self.moved, qvCrdOf<double>(2, 3));
    // It names a rectangle for a scale, which it does not offer.
    EXPECT_THROW(qvAdapter<qvScaleInteraction>{&self}, qvAssertionError);
}

TEST_F(AdapterRegistry, An_adapter_lives_in_the_storage_and_dies_once_with_it) {
    counting_row();
    CounterTarget target;
    bool inside = false, answered = true;
    int destroyed_while_held = -1;
    qv_allocation_probe::allocations_left = 0;   // any allocation now fails
    {
        qvAdapter<qvRotateInteraction> rotate(&target);
        answered = rotate.get() != nullptr;   // the counting adapter only moves
        auto* const at = reinterpret_cast<unsigned char*>(rotate.adapter());
        inside = at >= reinterpret_cast<unsigned char*>(&rotate) && at < reinterpret_cast<unsigned char*>(&rotate + 1);
        destroyed_while_held = target.destroyed;
    }
    qv_allocation_probe::allocations_left = -1;
    EXPECT_FALSE(answered);
    EXPECT_TRUE(inside);
    EXPECT_EQ(destroyed_while_held, 0);
    EXPECT_EQ(target.destroyed, 1);
}
