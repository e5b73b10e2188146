// A graphic list cleared and refilled again and again (a selection's list,
// whose emptied nodes it keeps): members, order and size as a plain model
// says after every step, remove_all letting its proxies go front to back,
// and nothing kept alive by a kept node.

#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvProxyClass.hpp>
#include <orvane/shapes/qvRectangleData.hpp>

#include "qvShapeTestSupport.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using KeptRect = shape_test::TestShapeProxy<qvRectangleData, 112>;
QV_INTERFACE_NAME(KeptRect);

namespace {

using shape_test::RecordingScene;

using shape_test::members;

class GraphicListSpares : public ::testing::Test {
protected:
    GraphicListSpares() {
        for (int i = 0; i < 24; ++i) {
            qvShapeBase* const record = qvNewShapeRecord(48);
            record->proxy_class_id = 112;
            handles.push_back(scene.adopt(record));
        }
    }
    qvGenericProxyClass<KeptRect> kind;
    RecordingScene scene;
    std::vector<long> handles;
};

}  // namespace

TEST_F(GraphicListSpares, Remove_all_lets_the_members_go_front_to_back_and_keeps_none_alive) {
    qvGraphicList list;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::string> expected;
        for (int i = 0; i < 12; ++i) {
            const long h = handles[static_cast<std::size_t>((i * 7 + round) % 24)];
            list->add(scene.instantiate(h));
            expected.push_back("disconnect " + std::to_string(h));
        }
        scene.take_log();
        const int deaths = shape_test::proxy_deaths;
        list->remove_all();
        EXPECT_EQ(shape_test::proxy_deaths, deaths + 12) << round;
        EXPECT_EQ(scene.take_log(), expected) << round;
        EXPECT_EQ(scene.entries(), 0u) << round;
        EXPECT_EQ(list->size(), 0) << round;
        EXPECT_FALSE(list->enumerate()) << round;
    }
}

TEST_F(GraphicListSpares, A_random_run_of_adds_removes_and_clears_keeps_the_members_a_model_keeps) {
    qvGraphicList list;
    std::vector<qvGraphic> model;
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> op(0, 9), pick(0, 23);
    for (int step = 0; step < 3000; ++step) {
        const int o = op(rng);
        if (o < 6) {
            const qvGraphic g = scene.instantiate(handles[static_cast<std::size_t>(pick(rng))]);
            list->add(g);
            model.push_back(g);
        } else if (o < 9 && !model.empty()) {
            const std::size_t at = static_cast<std::size_t>(pick(rng)) % model.size();
            qvIndirectIterator<qvGraphic> it = list->enumerate();
            for (std::size_t i = 0; i < at; ++i)
                ++it;
            list->remove(it);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
        } else if (o == 9) {
            list->remove_all();
            model.clear();
        }
        std::vector<qvGraphicInterface*> expected;
        for (qvGraphic const& g : model)
            expected.push_back(g.get());
        ASSERT_EQ(members(list), expected) << "step " << step;
        ASSERT_EQ(list->size(), static_cast<int>(model.size())) << "step " << step;
    }
    model.clear();
    list->remove_all();
    EXPECT_EQ(scene.entries(), 0u) << "a kept node holds no proxy";
}
