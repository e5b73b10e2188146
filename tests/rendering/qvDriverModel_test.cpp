// The driver model's discovery by query_interface, the state savers and
// flavour classes, on small test drivers and the dump driver's port.

#include <orvane/attributes/qvColorMap.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDriverAttributeCache.hpp>
#include <orvane/rendering/qvDriverBitmapVBuf.hpp>
#include <orvane/rendering/qvDriverColorMap.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvFlavorClass.hpp>
#include <orvane/rendering/qvFlavorPortBrushOrigin.hpp>
#include <orvane/rendering/qvFlavorPortMergeClip.hpp>
#include <orvane/rendering/qvFlavorPortPalette.hpp>
#include <orvane/rendering/qvFlavorPortScene.hpp>
#include <orvane/rendering/qvFlavorPortSetClip.hpp>
#include <orvane/rendering/qvFlavorPortTransformation.hpp>
#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/rendering/qvVBufOffset.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "qvDriverTestDoubles.hpp"
#include "qvRecordingDumpUser.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class OffsetBuffer : public qvStubVBuf, public qvVBufOffset {
public:
    explicit OffsetBuffer(qvDriverObject& d) : qvStubVBuf(d) {}
    void* query_interface(qvInterfaceInfo const& info) override { return qvOfferInterfaces<qvVBufOffset>(this, info); }
    long width() const override { return 1; }
    long height() const override { return 1; }
    unsigned info() const override { return qvVBufInfoPlacementOffset; }
    void x_offset(long v) override { x_ = v; }
    long x_offset() override { return x_; }
    void y_offset(long v) override { y_ = v; }
    long y_offset() override { return y_; }

private:
    long x_ = 0, y_ = 0;
};

class CachingDriver : public qvStubDriver, public qvDriverAttributeCache, public qvDriverColorMap {
public:
    void* query_interface(qvInterfaceInfo const& info) override {
        return qvOfferInterfaces<qvDriverAttributeCache, qvDriverColorMap>(this, info);
    }
    int available() const override { return 1; }
    unsigned info(int) const override { return qvVBufInfoNoMemoryBuffer; }
    qvISafePtr<qvVBufObject> new_master_vbuf() override { return qvISafePtr<qvVBufObject>(new OffsetBuffer(*this)); }
    void drop(qvPalette*, long handle) override { dropped = handle; }
    void drop_all(qvPalette*) override {}
    void colors(qvColorMap const& map) override {
        ++color_calls;
        last_count = map.size();
    }
    long dropped = 0;
    int color_calls = 0;
    int last_count = -1;
};

}  // namespace

TEST(qvDriverModel, Optional_interfaces_are_found_by_query_and_absent_ones_are_null) {
    qvISafePtr<qvDriverObject> driver(new CachingDriver);
    auto* cache = qvQueryInterface<qvDriverAttributeCache>(driver.get());
    ASSERT_NE(cache, nullptr);
    cache->drop(nullptr, 7);
    EXPECT_EQ(static_cast<CachingDriver*>(driver.get())->dropped, 7);
    EXPECT_EQ(qvQueryInterface<qvDriverBitmapVBuf>(driver.get()), nullptr);
    EXPECT_EQ(driver->query_interface(qvInterfaceIdentity<qvDumpDriverObject>()), nullptr);

    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    auto* offset = qvQueryInterface<qvVBufOffset>(buffer.get());
    ASSERT_NE(offset, nullptr);
    offset->x_offset(12);
    EXPECT_EQ(offset->x_offset(), 12);
    EXPECT_EQ(qvQueryInterface<qvVBufInvalidate>(buffer.get()), nullptr);
    EXPECT_EQ(&buffer->driver(), driver.get());
}

TEST(qvDriverModel, Load_colors_hands_the_map_over_once_and_answers_one) {
    CachingDriver* raw = new CachingDriver;
    qvISafePtr<qvDriverObject> driver(raw);
    qvColorMap map(3);
    EXPECT_EQ(qvQueryInterface<qvDriverColorMap>(driver.get())->load_colors(map), 1);
    EXPECT_EQ(raw->color_calls, 1);
    EXPECT_EQ(raw->last_count, 3);
}

// ---------------------------------------------------------------------------
// Savers, on the dump driver's port (a real draw object and flavour port)

namespace {

struct Port {
    qvRecordingDumpUser user;
    qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);
    qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
};

using Rect = qvMathRectOf<double>;

}  // namespace

TEST(qvFlavorPortSavers, Nested_merged_clips_narrow_and_unwind_in_order) {
    Port p;
    {
        qvFlavorPortMergeClip outer(p.port, qvRegion(Rect(10, 10, 60, 40)));
        EXPECT_TRUE(p.draw->clip() == Rect(10, 10, 60, 40));
        {
            qvFlavorPortMergeClip inner(p.port, qvRegion(Rect(50, 0, 90, 20)));
            EXPECT_TRUE(p.draw->clip() == Rect(50, 10, 60, 20));
            EXPECT_TRUE(inner.new_clip() == Rect(50, 10, 60, 20));
            EXPECT_TRUE(inner.old_clip() == Rect(10, 10, 60, 40));
        }
        EXPECT_TRUE(p.draw->clip() == Rect(10, 10, 60, 40));
    }
    EXPECT_TRUE(p.draw->clip() == Rect(0, 0, 100, 50));
    EXPECT_EQ(p.draw->clip_box(), Rect(0, 0, 100, 50));
}

TEST(qvFlavorPortSavers, Each_saver_restores_when_an_exception_leaves_the_scope) {
    Port p;
    qvStandardPalette palette;
    p.port.palette(&palette);
    const qvRestrictedTransformation t(2, 3, 4, 5);
    try {
        qvFlavorPortSetClip clip(p.port, qvRegion(Rect(1, 1, 2, 2)));
        qvFlavorPortMergeClip merge(p.port, qvRegion(Rect(0, 0, 5, 5)));
        qvFlavorPortBrushOrigin origin(p.port, {7, 8});
        qvFlavorPortPalette no_palette(p.port, nullptr);
        qvFlavorPortScene scene(p.port, nullptr);
        qvFlavorPortTransformation transformation(p.port, t);
        EXPECT_EQ(p.port.palette(), nullptr);
        EXPECT_EQ(p.draw->brush_origin(), (qvCrdOf<double>{7, 8}));
        EXPECT_EQ(p.port.transformation(), t);
        EXPECT_TRUE(clip.current_clip() == Rect(1, 1, 2, 2));
        throw std::runtime_error("leave");
    } catch (std::runtime_error const&) {
    }
    EXPECT_EQ(p.port.palette(), &palette);
    EXPECT_EQ(p.draw->brush_origin(), (qvCrdOf<double>{0, 0}));
    EXPECT_TRUE(p.port.transformation().is_identity());
    EXPECT_TRUE(p.draw->clip() == Rect(0, 0, 100, 50));
}

TEST(qvFlavorPortSavers, A_copy_restores_the_same_old_value_again) {
    Port p;
    qvStandardPalette first, second;
    p.port.palette(&first);
    {
        qvFlavorPortPalette saver(p.port, &second);
        {
            qvFlavorPortPalette copy(saver);
            EXPECT_EQ(copy.old_palette(), &first);
            p.port.palette(nullptr);
        }
        EXPECT_EQ(p.port.palette(), &first);
        p.port.palette(&second);
    }
    EXPECT_EQ(p.port.palette(), &first);
}

// ---------------------------------------------------------------------------
// Flavour classes

namespace {

class CountingRenderer : public qvFlavorRenderer {
public:
    bool render(qvFlavorPort&, qvShapeBase const&) override { return ++calls, true; }
    int calls = 0;
};

class TestFlavor : public qvFlavorClass {
public:
    explicit TestFlavor(long id) : qvFlavorClass(id) {}
    TestFlavor(TestFlavor const&) = default;
    TestFlavor& operator=(TestFlavor const&) = default;
    qvFlavorRenderer& renderer() override { return drawer; }
    CountingRenderer drawer;
};

}  // namespace

TEST(qvFlavorClass, The_first_class_of_an_id_owns_its_registration) {
    auto first = std::make_unique<TestFlavor>(5);
    EXPECT_TRUE(first->registered());
    {
        TestFlavor second(5);
        EXPECT_FALSE(second.registered());
        EXPECT_TRUE(second == *first);
    }
    EXPECT_EQ(qvFlavorClass::find(5), first.get());
    {
        TestFlavor copy(*first);
        EXPECT_FALSE(copy.registered());
        EXPECT_EQ(copy.handle(), 5);
    }
    EXPECT_EQ(qvFlavorClass::find(5), first.get());
    {
        TestFlavor other(6);
        other = *first;   // gives up id 6, takes 5 unregistered
        EXPECT_EQ(qvFlavorClass::find(6), nullptr);
        EXPECT_EQ(other.handle(), 5);
    }
    EXPECT_EQ(qvFlavorClass::find(5), first.get());
    first.reset();
    EXPECT_EQ(qvFlavorClass::find(5), nullptr);
}

TEST(qvFlavorClass, Dispatch_draws_through_the_registered_renderer_only) {
    Port p;
    qvShapeBase record(42);
    TestFlavor flavor(42);
    EXPECT_TRUE(qvFlavorClass::dispatch(42, p.port, record));
    EXPECT_EQ(flavor.drawer.calls, 1);
    EXPECT_FALSE(qvFlavorClass::dispatch(43, p.port, record));
    EXPECT_EQ(flavor.drawer.calls, 1);
    EXPECT_TRUE(p.user.lines.empty());
}
