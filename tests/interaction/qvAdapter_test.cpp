// The adapter registry and qvAdapter: the library's rows and what each
// builds, the look-up's refusals, a target's own interaction, and an
// adapter's life inside qvAdapter's storage.

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
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>
#include <vector>

// A data access that exists only in this test file, and counts the deaths
// of the adapters built over it.
struct InteractionTestCounter {
    virtual ~InteractionTestCounter() = default;
    int destroyed = 0;
};
QV_INTERFACE_NAME(InteractionTestCounter);

namespace {

using palette_test::expect_raises;

static_assert(!std::is_copy_constructible_v<qvAdapter<qvMoveInteraction>>);
static_assert(!std::is_move_constructible_v<qvAdapter<qvMoveInteraction>>);
static_assert(!std::is_copy_assignable_v<qvAdapter<qvScaleInteraction>>);
static_assert(!std::is_move_assignable_v<qvAdapter<qvScaleInteraction>>);

// Registered for a rotation over the counter; it only moves.
struct CountingAdapter : qvAdapterBase, qvMoveInteraction {
    using DataAccess = InteractionTestCounter;
    explicit CountingAdapter(InteractionTestCounter* c) : counter(c) {}
    ~CountingAdapter() override { ++counter->destroyed; }
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvMoveInteraction>(this, info);
    }
    qvMathRectOf<double> bbox() override { return {}; }
    void move(qvCrdOf<double>) override {}
    InteractionTestCounter* counter;
};

void register_counting_row() { static qvAdapterClass<qvRotateInteraction, CountingAdapter> row; }

// Names the counter for every interaction, and offers it unless told not to.
struct CounterTarget : qvInteractionTarget, InteractionTestCounter {
    void* query_interface(qvInterfaceInfo const& info) override {
        return offers ? qvOfferInterfaces<InteractionTestCounter>(this, info) : nullptr;
    }
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const&) const override {
        return &qvInterfaceIdentity<InteractionTestCounter>();
    }
    bool offers = true;
};

// Moves itself, and names a rectangle (which it lacks) for the rest.
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

template <class I>
qvInterfaceInfo const* id() {
    return &qvInterfaceIdentity<I>();
}

}  // namespace

TEST(AdapterRegistry, The_library_rows_come_in_load_order_and_each_builds_an_adapter_for_its_interactions) {
    qvMemoryScene scene;
    const qvCrdOf<double> triangle[] = {{0, 0}, {1, 0}, {1, 1}};
    qvRestrictedImage image(scene);
    image->anchor(qvCrdOf<double>(1, 1));
    const qvGraphic anchored = image, rect = qvRectangle(scene, 0, 0, 1, 1), list = qvGraphicList(),
                    points = qvExactPolygon(scene, 3, triangle),
                    text = qvRestrictedText(scene, {0, 0}, "r", nullptr, nullptr),
                    scaled = qvScaledText(scene, {0, 0}, "s", 2.0, nullptr);
    const auto move = id<qvMoveInteraction>(), scale = id<qvScaleInteraction>(),
               extended = id<qvExtendedScaleInteraction>(), rotate = id<qvRotateInteraction>();
    struct Row {
        qvInterfaceInfo const *interaction, *data_access;
        qvGraphic const& graphic;  // names data_access for interaction
        std::vector<qvInterfaceInfo const*> answers;
    };
    const Row rows[] = {{move, id<qvRectangleDataAccess>(), rect, {move, scale}},
                        {scale, id<qvRectangleDataAccess>(), rect, {move, scale}},
                        {move, id<qvGraphicListDataAccess>(), list, {move, scale}},
                        {scale, id<qvGraphicListDataAccess>(), list, {move, scale}},
                        {rotate, id<qvPointSetDataAccess>(), points, {rotate}},
                        {move, id<qvPointSetDataAccess>(), points, {move, scale}},
                        {scale, id<qvPointSetDataAccess>(), points, {move, scale}},
                        {rotate, id<qvGraphicListDataAccess>(), list, {rotate}},
                        {rotate, id<qvTextDataAccess>(), text, {rotate}},
                        {move, id<qvAnchorDataAccess>(), anchored, {move}},
                        {move, id<qvTextDataAccess>(), text, {move}},
                        {extended, id<qvRestrictedTextDataAccess>(), text, {move, extended}},
                        {extended, id<qvScaledTextDataAccess>(), scaled, {move, extended}}};
    register_counting_row();  // a row of this file's own comes after them
    std::vector<qvAdapterEntry> const& entries = qvAdapterList::holder()->entries();
    ASSERT_GE(entries.size(), 13u);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](qvAdapterEntry const& e) { return e.data_access != id<InteractionTestCounter>(); }),
              13);
    for (std::size_t i = 0; i < 13; ++i) {
        SCOPED_TRACE(i + 1);
        Row const& row = rows[i];
        EXPECT_EQ(entries[i].interaction, row.interaction);
        EXPECT_EQ(entries[i].data_access, row.data_access);
        ASSERT_EQ(row.graphic->query_interaction(*row.interaction), row.data_access);
        alignas(qvAdapterStorageAlign) unsigned char storage[qvAdapterStorageSize];
        qvAdapterBase* const adapter = qvAdapterBase::create(*row.interaction, row.graphic.get(), storage);
        ASSERT_EQ(static_cast<void*>(adapter), static_cast<void*>(storage));
        for (auto info : {move, scale, extended, rotate, id<qvRectangleDataAccess>(), id<qvPointSetDataAccess>()}) {
            const bool answers = std::find(row.answers.begin(), row.answers.end(), info) != row.answers.end();
            EXPECT_EQ(adapter->query_interface(*info) != nullptr, answers);
        }
        adapter->~qvAdapterBase();
    }
}

TEST(AdapterRegistry, Look_ups_match_identities_exactly_and_yield_no_data_access) {
    qvMemoryScene scene;
    const qvRestrictedText text(scene, qvCrdOf<double>(0, 0), "t", nullptr, nullptr);
    EXPECT_EQ(qvAdapter<qvScaleInteraction>(text).get(), nullptr);  // its rows are for the extended scale
    EXPECT_NE(qvAdapter<qvExtendedScaleInteraction>(text).get(), nullptr);
    EXPECT_EQ(qvAdapter<qvRectangleDataAccess>(text).get(), nullptr);
    const qvCrdOf<double> triangle[] = {{0, 0}, {2, 0}, {0, 2}};
    const qvPolygon compact(scene, 3, triangle);
    qvAdapter<qvPointSetDataAccess> points(compact);  // the graphic's own
    EXPECT_EQ(points.get(), static_cast<qvPointSetDataAccess*>(compact.get()));
    EXPECT_EQ(points.adapter(), nullptr);
    EXPECT_EQ(qvAdapter<qvMoveInteraction>(static_cast<qvInteractionTarget*>(nullptr)).get(), nullptr);
    EXPECT_EQ(qvAdapter<qvMoveInteraction>(qvGraphic()).get(), nullptr);
}

TEST(AdapterRegistry, The_data_access_is_checked_before_the_storage) {
    register_counting_row();
    CounterTarget target;
    EXPECT_EQ(qvAdapterBase::create(qvInterfaceIdentity<qvRotateInteraction>(), &target, nullptr), nullptr);
    EXPECT_EQ(qvAdapterBase::create(qvInterfaceIdentity<qvMoveInteraction>(), &target, nullptr), nullptr);  // no row
    target.offers = false;
    expect_raises<qvAssertionError>(
        [&] { qvAdapterBase::create(qvInterfaceIdentity<qvRotateInteraction>(), &target, nullptr); }, "intf");
}

TEST(AdapterRegistry, A_target_s_own_interaction_is_used_without_an_adapter) {
    SelfMoving self;
    qvAdapter<qvMoveInteraction> move(&self);
    EXPECT_EQ(move.get(), static_cast<qvMoveInteraction*>(&self));
    EXPECT_EQ(move.adapter(), nullptr);
    move->move(qvCrdOf<double>(2, 3));
    EXPECT_EQ(self.moved, qvCrdOf<double>(2, 3));
    EXPECT_THROW(qvAdapter<qvScaleInteraction>{&self}, qvAssertionError);  // "intf"
}

TEST(AdapterRegistry, An_adapter_lives_in_the_storage_and_dies_once_with_it) {
    register_counting_row();
    CounterTarget target;
    bool inside = false, answered = true;
    int destroyed_while_held = -1;
    qv_allocation_probe::allocations_left = 0;  // any allocation now fails
    {
        qvAdapter<qvRotateInteraction> rotate(&target);
        answered = rotate.get() != nullptr;  // the counting adapter only moves
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
