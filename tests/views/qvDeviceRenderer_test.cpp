// The device renderer's handle and factories: conversions to and from the
// wider renderer handles, what each creating form sets up, like renderers,
// and the identities the object answers.

#include "qvRasterDriver.hpp"
#include "qvViewTestDoubles.hpp"

#include <orvane/rendering/qvVBufInvalidate.hpp>
#include <orvane/views/qvDeviceRenderer.hpp>
#include <orvane/views/qvViewCreator.hpp>

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

int renderer_count(qvRefBase const& counted) {
    const int n = counted.bump() - 1;
    counted.dec();
    return n;
}

qvISafePtr<qvRasterDriver> renderer_test_driver() {
    qvRasterSettings settings;
    settings.window_width = 40;
    settings.window_height = 30;
    return qvRasterDriver::create(settings);
}

}  // namespace

TEST(qvDeviceRendererHandle, Base_and_back_keeps_the_counter_and_foreign_renderers_give_empty_handles) {
    const qvDeviceRenderer renderer(qvAsDriverHandle(renderer_test_driver()));
    ASSERT_TRUE(renderer);
    qvRefBase const& counted = *renderer.get();
    EXPECT_EQ(renderer_count(counted), 1);
    {
        const qvBaseRenderer base = renderer;
        const qvRenderer like = renderer;
        const qvDeviceRenderer back(base);
        const qvDeviceRenderer from_like(like);
        const qvDeviceRenderer from_pointer(static_cast<qvBaseRendererObject*>(base.get()));
        EXPECT_EQ(renderer_count(counted), 6);
        EXPECT_EQ(back.counter(), renderer.counter());
        EXPECT_EQ(from_like.get(), renderer.get());
        EXPECT_EQ(from_pointer.get(), renderer.get());
        qvDeviceRenderer self = back;
        self = renderer;   // the same counter: nothing counted
        EXPECT_EQ(renderer_count(counted), 7);
    }
    EXPECT_EQ(renderer_count(counted), 1);

    auto* foreign = new qvRecordingRenderer;
    const qvBaseRenderer other(static_cast<qvBaseRendererObject*>(foreign));
    EXPECT_FALSE(qvDeviceRenderer(other));
    EXPECT_FALSE(qvDeviceRenderer(static_cast<qvBaseRendererObject*>(foreign)));
    EXPECT_EQ(renderer_count(*foreign), 1);
    EXPECT_FALSE(qvDeviceRenderer(static_cast<qvBaseRendererObject*>(nullptr)));
}

TEST(qvDeviceRendererHandle, The_object_answers_the_three_renderer_identities_only) {
    const qvDeviceRenderer renderer(qvAsDriverHandle(renderer_test_driver()));
    qvBaseRendererObject* const object = renderer.get();
    EXPECT_NE(qvQueryInterface<qvBaseRendererObject>(object), nullptr);
    EXPECT_NE(qvQueryInterface<qvRendererObject>(object), nullptr);
    EXPECT_EQ(qvQueryInterface<qvDeviceRendererObject>(object), renderer.get());
    EXPECT_EQ(qvQueryInterface<qvVBufInvalidate>(object), nullptr);
    EXPECT_EQ(qvQueryInterface<qvViewManagerObject>(object), nullptr);
}

TEST(qvDeviceRendererHandle, A_driver_renderer_owns_its_window_and_a_buffer_renderer_borrows_one) {
    const qvISafePtr<qvRasterDriver> driver = renderer_test_driver();
    const qvViewManager view = qvViewCreator::create();
    const qvDeviceRenderer owner(qvAsDriverHandle(driver), view);
    EXPECT_EQ(owner->driver().get(), static_cast<qvDriverObject*>(driver.get()));
    EXPECT_EQ(owner->view_manager(), view.get());
    EXPECT_EQ(view->renderer().get(), owner.get());
    EXPECT_EQ(owner->width(), 40);
    EXPECT_EQ(owner->height(), 30);
    driver->clear_log();
    owner->update();   // an owned window is asked for again
    EXPECT_EQ(driver->log(), Log{"new_master_vbuf"});

    driver->clear_log();
    const qvISafePtr<qvVBufObject> window = driver->new_master_vbuf();
    const qvDeviceRenderer borrower(window);
    borrower->update();
    EXPECT_EQ(driver->log(), Log{"new_master_vbuf"});   // the test's own
    EXPECT_EQ(borrower->vbuf().get(), window.get());
    EXPECT_EQ(borrower->driver().get(), static_cast<qvDriverObject*>(driver.get()));
    EXPECT_EQ(borrower->view_manager(), nullptr);
    const qvDeviceRenderer borrower_with_view(window, view);
    EXPECT_EQ(view->renderer().get(), borrower_with_view.get());

    borrower->vbuf(qvISafePtr<qvVBufObject>());
    EXPECT_FALSE(borrower->driver());
    EXPECT_EQ(borrower->width(), 0);
    EXPECT_FALSE(borrower->redraw(qvGridOf({qvMathRectOf<double>(0, 0, 10, 10)}), false));
}

TEST(qvDeviceRendererHandle, Like_renderers_take_the_origin_but_never_the_flags) {
    const qvISafePtr<qvRasterDriver> driver = renderer_test_driver();
    const qvDeviceRenderer renderer(qvAsDriverHandle(driver));
    renderer->origin({3, 4});
    renderer->backing_store(true);
    renderer->double_buffered(true);
    renderer->render_backing_store(true);
    const qvDeviceRenderer on_driver(renderer->like(qvAsDriverHandle(driver)));
    const qvDeviceRenderer on_window(renderer->like(driver->new_master_vbuf()));
    for (qvDeviceRenderer const& made : {on_driver, on_window}) {
        ASSERT_TRUE(made);
        EXPECT_NE(made.get(), renderer.get());
        EXPECT_EQ(made->origin(), (qvCrdOf<double>{3, 4}));
        EXPECT_FALSE(made->backing_store());
        EXPECT_FALSE(made->double_buffered());
        EXPECT_FALSE(made->render_backing_store());
        EXPECT_EQ(made->view_manager(), nullptr);
    }
}
