// Graphic lists: members of one scene, what add and remove refuse and
// leave unchanged, lists inside lists (and the cycle refused), attribute
// fan-out to the members, identities, and members whose scene is gone.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvEllipse.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "qvPaletteTestSupport.hpp"
#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using palette_test::expect_raises;
using ListError = qvErrorFrom<qvGraphicListObject>;

char const* const other_scene = "All of the objects in the graphic list must belong to the same scene";
char const* const empty_list = "Cannot insert an empty graphic list into a graphic list";
char const* const bad_iterator = "Invalid iterator used to remove an item from graphics list";
char const* const cycle = "A graphic list cannot contain itself";

void expect_assertion(auto&& f, char const* expression) {
    try {
        f();
        ADD_FAILURE() << "no assertion, expected " << expression;
    } catch (qvAssertionError const& error) {
        EXPECT_STREQ(static_cast<char const*>(error), expression);
    }
}

using shape_test::members;

class GraphicList : public ::testing::Test {
protected:
    qvGraphic rectangle(double x = 0) { return qvRectangle(a, x, 0, x + 1, 1); }

    qvMemoryScene a;
    qvMemoryScene b;
    qvFolder width{"pen/color_device/line_width", nullptr};
};

}  // namespace

TEST_F(GraphicList, A_new_list_is_empty_and_answers_the_empty_fan_out) {
    qvGraphicList list;
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), 0);
    EXPECT_EQ(list->property(width), nullptr);
    EXPECT_EQ(list->attribute_handle(), 0);
    EXPECT_EQ(list->attribute_palette(), nullptr);
    EXPECT_TRUE(list->connect_attribute("x"));
    EXPECT_STREQ(list->attribute_name()(), "");
    EXPECT_FALSE(list->enumerate());
    expect_assertion([&] { list->scene(); }, "_scene");
    qvFolder classless("test/graphic_list/no_class", nullptr);
    expect_assertion([&] { list->property(classless); }, "f.type()");
}

TEST_F(GraphicList, Members_are_of_one_scene_and_a_refused_add_changes_nothing) {
    qvGraphicList list;
    const qvGraphic r = rectangle();
    list->add(r);
    expect_raises<ListError>([&] { list->add(qvEllipse(b, qvCrdOf<double>(0, 0), 1.0)); }, other_scene);
    EXPECT_EQ(list->size(), 1);
    EXPECT_EQ(&list->scene(), &a);
    expect_raises<ListError>([&] { list->add(qvGraphic()); },
                             "Cannot insert an empty graphic into a graphic list");
    expect_raises<ListError>([&] { list->add(qvGraphicList()); }, empty_list);
    EXPECT_EQ(list->size(), 1);

    // A graphic twice is two entries; remove takes only the one it is given.
    list->add(r);
    EXPECT_EQ(list->size(), 2);
    list->remove(list->enumerate());
    EXPECT_EQ(list->size(), 1);
    EXPECT_EQ(members(list), std::vector<qvGraphicInterface*>{r.get()});
    list->remove(list->enumerate());
    EXPECT_EQ(list->size(), 0);
    expect_assertion([&] { list->scene(); }, "_scene");   // the scene is unset again
    list->add(qvEllipse(b, qvCrdOf<double>(0, 0), 1.0));
    EXPECT_EQ(&list->scene(), &b);
}

TEST_F(GraphicList, Remove_accepts_only_an_iterator_of_this_list_on_an_entry) {
    qvGraphicList list, other;
    expect_raises<ListError>([&] { list->remove(list->enumerate()); }, bad_iterator);
    list->add(rectangle());
    other->add(rectangle());
    expect_raises<ListError>([&] { list->remove(other->enumerate()); }, bad_iterator);
    qvIndirectIterator<qvGraphic> at_end = list->enumerate();
    ++at_end;
    expect_raises<ListError>([&] { list->remove(at_end); }, bad_iterator);
    expect_assertion([&] { list->remove(qvIndirectIterator<qvGraphic>()); }, "_object.get()");
    EXPECT_EQ(list->size(), 1);

    list->add(rectangle(5));
    list->add(rectangle(9));
    std::vector<qvGraphicInterface*> before = members(list);
    qvIndirectIterator<qvGraphic> it = list->enumerate();
    ++it;
    list->remove(it);
    EXPECT_EQ(members(list), (std::vector<qvGraphicInterface*>{before[0], before[2]}));
}

TEST_F(GraphicList, Adding_a_list_adds_its_members_in_order_up_to_a_refused_one) {
    qvGraphicList target, empty;
    target->add(*empty.get());   // nothing, and no error
    EXPECT_EQ(target->size(), 0);

    // Another list's members of scene a, a, b, a: the first two arrive.
    struct Members : qvGraphicListDataAccess {
        std::vector<qvGraphic> items;
        void add(qvGraphicListDataAccess const&) override {}
        void add(qvGraphic const& g) override { items.push_back(g); }
        void remove(qvIndirectIterator<qvGraphic>) override {}
        void remove_all() override {}
        qvIndirectIterator<qvGraphic> enumerate() override {
            return qvIndirectIterator<qvGraphic>(new shape_test::GraphicIterator(items));
        }
        int size() const override { return static_cast<int>(items.size()); }
    } source;
    source.add(rectangle(3));
    source.add(rectangle(4));
    source.add(qvEllipse(b, qvCrdOf<double>(0, 0), 1.0));
    source.add(rectangle(5));
    target->add(rectangle(0));
    expect_raises<ListError>([&] { target->add(source); }, other_scene);
    const std::vector<qvGraphicInterface*> m = members(target);
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[1], source.items[0].get());
    EXPECT_EQ(m[2], source.items[1].get());
}

TEST_F(GraphicList, A_list_never_holds_itself_and_adding_its_own_members_doubles_them) {
    qvGraphicList outer, inner;
    inner->add(rectangle());
    outer->add(inner);
    expect_raises<ListError>([&] { outer->add(outer); }, cycle);
    expect_raises<ListError>([&] { inner->add(outer); }, cycle);
    EXPECT_EQ(outer->size(), 1);
    EXPECT_EQ(inner->size(), 1);

    qvGraphicList list;
    list->add(rectangle(1));
    list->add(rectangle(2));
    list->add(rectangle(3));
    list->add(*list.get());
    EXPECT_EQ(list->size(), 6);
    const std::vector<qvGraphicInterface*> m = members(list);
    EXPECT_EQ(std::vector<qvGraphicInterface*>(m.begin(), m.begin() + 3),
              std::vector<qvGraphicInterface*>(m.begin() + 3, m.end()));

    const qvGraphic as_graphic = outer;
    EXPECT_EQ(qvGraphicList(as_graphic).get(), outer.get());
    EXPECT_FALSE(qvGraphicList(rectangle()));
}

TEST_F(GraphicList, Attribute_changes_fan_out_to_every_member_of_nested_lists) {
    qvGraphicList outer, inner;
    qvRectangle r1(a, 0, 0, 1, 1), r2(a, 2, 2, 3, 3), r3(a, 4, 4, 5, 5);
    inner->add(r2);
    inner->add(r3);
    outer->add(r1);
    outer->add(inner);
    outer->line_width(2.5);
    for (qvRectangle* r : {&r1, &r2, &r3})
        EXPECT_EQ(static_cast<double>((*r)->line_width()), 2.5);
    EXPECT_EQ(static_cast<double>(outer->line_width()), 2.5);
    EXPECT_EQ(outer->attribute_handle(), r1->attribute_handle());   // equal values merge into one attribute
    EXPECT_NE(outer->attribute_handle(), 0);
    EXPECT_EQ(outer->attribute_palette(), &a.palette());

    // A third member of its own attribute with a different width: no common
    // value and no common handle.
    r3->disconnect_attribute();
    r3->line_width(4.0);
    EXPECT_NE(r3->attribute_handle(), r1->attribute_handle());
    EXPECT_EQ(inner->property(width), nullptr);
    EXPECT_EQ(inner->attribute_handle(), 0);
    r3->connect_attribute(*r1);

    // A member without a width changes nothing.
    qvRectangle plain(a, 6, 6, 7, 7);
    outer->add(plain);
    ASSERT_NE(outer->property(width), nullptr);
    EXPECT_EQ(*static_cast<double const*>(outer->property(width)), 2.5);
    EXPECT_EQ(outer->attribute_handle(), r1->attribute_handle());

    outer->disconnect_attribute();
    EXPECT_EQ(r1->attribute_handle(), 0);
    EXPECT_EQ(outer->attribute_handle(), 0);
    EXPECT_EQ(outer->property(width), nullptr);
}

TEST_F(GraphicList, Destroy_and_interactions_reach_the_members) {
    qvGraphicList list;
    qvRectangle r1(a, 0, 0, 1, 1), r2(a, 2, 2, 3, 3);
    list->add(r1);
    list->add(r2);
    EXPECT_EQ(a.size(0), 2);
    list->destroy_shape();
    EXPECT_EQ(list->size(), 2);
    EXPECT_EQ(r1->record(), nullptr);
    EXPECT_EQ(r2->record(), nullptr);
    EXPECT_EQ(a.size(0), 0);

    EXPECT_TRUE(shape_test::interactions_are_offered(*list));
    for (qvInterfaceInfo const* i : {&qvInterfaceIdentity<qvMoveInteraction>(),
                                     &qvInterfaceIdentity<qvRotateInteraction>(),
                                     &qvInterfaceIdentity<qvGraphicInterface>()})
        EXPECT_EQ(list->query_interaction(*i), &qvInterfaceIdentity<qvGraphicListDataAccess>());
    EXPECT_EQ(qvQueryInterface<qvGraphicListObject>(list.get()), list.get());
    EXPECT_EQ(qvQueryInterface<qvSingleShapeProxyBase>(list.get()), nullptr);
}

TEST(GraphicListLifetime, Members_whose_scene_is_gone_are_released_cleanly) {
    qvGraphicList list;
    {
        auto scene = std::make_unique<qvMemoryScene>();
        list->add(qvRectangle(*scene, 0, 0, 1, 1));
        list->add(qvEllipse(*scene, qvCrdOf<double>(0, 0), 1.0));
    }
    EXPECT_EQ(list->size(), 2);
    list->remove_all();
    EXPECT_EQ(list->size(), 0);
}
