// The rendering helpers in front of the dump driver: record checks, flavour
// dispatch (by kind and by "attribute_flavor"), view filters, re-targeting,
// forwarding and the interfaces the helpers answer.

#include "qvFileTestSupport.hpp"
#include "qvRecordingDumpUser.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/geometry/qvTranslation.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/views/qvRenderingFilterHelper.hpp>
#include <orvane/views/qvRenderingHelper.hpp>

#include "attributes/qvAttributeFolders.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using qv_file_test::raises;
using Rect = qvMathRectOf<double>;

// A dump driver's flavour port over a 100 x 50 window, with a palette.
struct DumpPort {
    qvRecordingDumpUser user;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    qvStandardPalette palette;
    DumpPort() { port.palette(&palette); }
};

// A rectangle record of an attribute.
qvShape<qvRectangleData> rectangle(long attribute) {
    qvShape<qvRectangleData> r(qvRectangleKind);
    r.size = static_cast<std::int32_t>(sizeof r);
    r.box = qvMathRectOf<float>(1, 2, 30, 40);
    r.attribute_handle = static_cast<std::int32_t>(attribute);
    return r;
}

// A point-set record laid out as an exact polyline (proxy class 13) with a
// negative count: the record check refuses it.
struct alignas(8) NegativeCount {
    qvShapeBase head;
    std::int32_t count = -1;
    std::int32_t offset = 0;
    explicit NegativeCount(long kind) : head(kind) {
        head.size = static_cast<std::int32_t>(sizeof *this);
        head.proxy_class_id = 13;
    }
};

// A flavour record with nothing but its header.
qvShapeBase flavor_record(long kind) {
    qvShapeBase r(kind);
    r.size = static_cast<std::int32_t>(sizeof r);
    return r;
}

// An attribute of the palette whose "attribute_flavor" names `flavor`.
long attribute_with_flavor(qvPalette& palette, std::int32_t flavor) {
    const long handle = palette.alloc(false);
    return palette.property(handle, qvAttributeFolder(qvAttributeFolderId::attribute_flavor), &flavor, false);
}

}  // namespace

TEST(qvRenderingHelper, Malformed_records_raise_and_reach_nothing) {
    DumpPort d;
    qvRenderingHelper helper(d.port, nullptr);
    qvTestFlavorClass five(5);
    const qvShapeBase kind_zero = flavor_record(0);
    EXPECT_TRUE(raises<qvErrorFrom<qvRenderingHelper>>([&] { helper.draw_shape(kind_zero); },
                                                        "Attempt to render a malformed shape"));
    const NegativeCount flavored(5);
    EXPECT_TRUE(raises<qvErrorFrom<qvRenderingHelper>>([&] { helper.draw_shape(flavored.head); },
                                                        "Attempt to render a malformed shape"));
    EXPECT_TRUE(five.kinds.empty());

    // A damaged standard record is skipped, as the drivers skip it.
    const NegativeCount standard(qvExactPolylineKind);
    EXPECT_FALSE(helper.draw_shape(standard.head));
    EXPECT_TRUE(d.user.lines.empty());
}

TEST(qvRenderingHelper, Flavour_records_go_to_their_class_with_the_helper_as_port) {
    DumpPort d;
    qvRenderingHelper helper(d.port, nullptr);
    const qvShapeBase record = flavor_record(5);
    EXPECT_FALSE(helper.draw_shape(record));   // nothing registered under 5

    qvTestFlavorClass five(5, true);
    EXPECT_TRUE(helper.draw_shape(record));
    five.answer = false;
    EXPECT_FALSE(helper.draw_shape(record));
    EXPECT_EQ(five.kinds, (std::vector<long>{5, 5}));
    EXPECT_EQ(five.ports[0], static_cast<qvFlavorPort*>(&helper));
    EXPECT_TRUE(d.user.lines.empty());
}

TEST(qvRenderingHelper, An_attribute_flavour_draws_instead_of_the_target_only_when_it_answers_true) {
    DumpPort d;
    qvRenderingHelper helper(d.port, nullptr);
    const long plain = d.palette.alloc(false);
    const long flavored = attribute_with_flavor(d.palette, 7);

    qvTestFlavorClass seven(7, false);
    EXPECT_TRUE(helper.draw_shape(rectangle(flavored)));
    EXPECT_EQ(seven.kinds, std::vector<long>{qvRectangleKind});
    const std::size_t drawn = d.user.lines.size();
    EXPECT_GT(drawn, 0u);

    seven.answer = true;
    EXPECT_TRUE(helper.draw_shape(rectangle(flavored)));
    EXPECT_EQ(d.user.lines.size(), drawn);

    EXPECT_TRUE(helper.draw_shape(rectangle(plain)));
    EXPECT_EQ(seven.kinds.size(), 2u);
    EXPECT_GT(d.user.lines.size(), drawn);

    // An id without a class falls through; a port without palette skips the
    // look-up (and the dump driver then draws nothing).
    const long unknown = attribute_with_flavor(d.palette, 9);
    EXPECT_TRUE(helper.draw_shape(rectangle(unknown)));
    d.port.palette(nullptr);
    EXPECT_FALSE(helper.draw_shape(rectangle(flavored)));
    EXPECT_EQ(seven.kinds.size(), 2u);
}

TEST(qvRenderingFilterHelper, The_filter_decides_before_anything_else) {
    DumpPort d;
    const qvRenderingFilterHelper accepting(d.port, nullptr);
    EXPECT_EQ(accepting.filter(), qvViewFilter::on());
    EXPECT_EQ(qvRenderingFilterHelper().filter(), qvViewFilter::on());
    qvRenderingFilterHelper helper = accepting;
    EXPECT_TRUE(helper.draw_shape(rectangle(0)));

    helper.retarget(d.port, nullptr, qvViewFilter::off());
    EXPECT_FALSE(helper.draw_shape(rectangle(0)));
    EXPECT_FALSE(helper.draw_shape(flavor_record(0)));   // dropped before the check

    qvScriptedFilter filter;
    filter.shape_answer = [](qvShapeBase const& r) { return r.attribute_handle != 3; };
    helper.retarget(d.port, nullptr, &filter);
    const std::size_t before = d.user.lines.size();
    EXPECT_FALSE(helper.draw_shape(rectangle(3)));
    EXPECT_EQ(d.user.lines.size(), before);
    EXPECT_TRUE(helper.draw_shape(rectangle(0)));
    EXPECT_EQ(filter.log, (std::vector<std::string>{"shape -1", "shape -1"}));

    EXPECT_TRUE(raises<qvAssertionError>([&] { qvRenderingFilterHelper(d.port, nullptr, nullptr); }, "flt"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { helper.retarget(d.port, nullptr, nullptr); }, "flt"));
    EXPECT_EQ(helper.filter(), &filter);
}

TEST(qvRenderingHelper, Retargeting_moves_every_forwarded_operation_to_the_new_port) {
    DumpPort first, second;
    qvRenderingHelper helper;
    EXPECT_TRUE(raises<qvAssertionError>([&] { helper.draw_shape(rectangle(0)); }, "target"));
    EXPECT_TRUE(raises<qvAssertionError>([&] { helper.palette(); }, "target"));

    helper.retarget(first.port, nullptr);
    EXPECT_TRUE(helper.draw_shape(rectangle(0)));
    const std::size_t first_lines = first.user.lines.size();
    helper.retarget(second.port, nullptr);
    EXPECT_TRUE(helper.draw_shape(rectangle(0)));
    EXPECT_EQ(first.user.lines.size(), first_lines);
    EXPECT_FALSE(second.user.lines.empty());

    const qvRestrictedTransformation t(qvTranslation(3, 4));
    helper.transformation(t);
    EXPECT_EQ(second.port.transformation(), t);
    EXPECT_EQ(&helper.transformation(), &second.port.transformation());
    EXPECT_EQ(&helper.inverse_transformation(), &second.port.inverse_transformation());
    helper.device_bbox(Rect(1, 2, 50, 40));
    EXPECT_EQ(second.port.device_bbox(), Rect(1, 2, 50, 40));
    EXPECT_EQ(&helper.device_bbox(), &second.port.device_bbox());
    EXPECT_EQ(&helper.model_bbox(), &second.port.model_bbox());
    helper.scene(nullptr);
    EXPECT_EQ(helper.scene(), second.port.scene());
    qvStandardPalette other;
    helper.palette(&other);
    EXPECT_EQ(second.port.palette(), &other);
    EXPECT_EQ(helper.palette(), &other);
    EXPECT_EQ(&helper.draw(), &second.port.draw());
    EXPECT_EQ(helper.text_metrics(0, "abc", 3), second.port.text_metrics(0, "abc", 3));

    helper.clear_target();
    EXPECT_EQ(helper.target(), nullptr);
    EXPECT_TRUE(raises<qvAssertionError>([&] { helper.scene(); }, "target"));
}

TEST(qvRenderingHelper, Answers_the_two_port_identities_with_itself_and_knows_its_layer) {
    DumpPort d;
    qvTestDataLayer* data = new qvTestDataLayer;
    const qvViewLayer held(static_cast<qvViewLayerObject*>(static_cast<qvViewDataLayerObject*>(data)));
    qvRenderingFilterHelper helper(d.port, data);
    EXPECT_EQ(helper.layer(), static_cast<qvViewDataLayerObject*>(data));
    EXPECT_EQ(qvQueryInterface<qvViewLayerFlavorPort>(&helper), static_cast<qvViewLayerFlavorPort*>(&helper));
    EXPECT_EQ(qvQueryInterface<qvFlavorPort>(&helper), static_cast<qvFlavorPort*>(&helper));
    EXPECT_EQ(qvQueryInterface<qvViewLayerObject>(&helper), nullptr);
    const qvRenderingHelper copy = helper;
    EXPECT_EQ(copy.layer(), helper.layer());
    EXPECT_EQ(copy.target(), &d.port);
}
