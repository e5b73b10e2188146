// The rendering helper checks the class bound to "attribute_flavor" only
// when the binding changes; a folder bound anew, to a wrong class and back,
// must still be caught and then work again.

#include "qvRecordingDumpUser.hpp"

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPropertyValue.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/rendering/qvDrawObject.hpp>
#include <orvane/rendering/qvDumpDriverObject.hpp>
#include <orvane/rendering/qvVBufObject.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/views/qvRenderingHelper.hpp>

#include "attributes/qvAttributeClassCache.hpp"
#include "attributes/qvAttributeFolders.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Puts the folder's binding back however the test leaves.
class FolderBinding {
public:
    explicit FolderBinding(qvFolder& folder) : folder_(folder), saved_(folder.type()) {}
    FolderBinding(FolderBinding const&) = delete;
    FolderBinding& operator=(FolderBinding const&) = delete;
    ~FolderBinding() { folder_.type(saved_); }

private:
    qvFolder& folder_;
    qvPropertyClass* saved_;
};

TEST(qvRenderingHelper, A_flavour_folder_bound_anew_to_a_wrong_class_is_refused_and_bound_back_works) {
    qvRecordingDumpUser user;
    const qvISafePtr<qvDumpDriverObject> driver = qvDumpDriverObject::create(&user, 0, 0, 100, 50);
    const qvISafePtr<qvVBufObject> buffer = driver->new_master_vbuf();
    const qvISafePtr<qvDrawObject> draw = buffer->new_draw();
    qvFlavorPort& port = *qvQueryInterface<qvFlavorPort>(draw.get());
    qvStandardPalette palette;
    port.palette(&palette);
    qvRenderingHelper helper(port, nullptr);

    qvShape<qvRectangleData> record(qvRectangleKind);
    record.size = static_cast<std::int32_t>(sizeof record);
    record.box = qvMathRectOf<float>(1, 2, 30, 40);
    record.attribute_handle = static_cast<std::int32_t>(palette.alloc(false));

    qvFolder& folder = qvAttributeFolder(qvAttributeFolderId::attribute_flavor);
    const FolderBinding restore(folder);
    EXPECT_TRUE(helper.draw_shape(record));   // checked and remembered

    folder.type(&qvAttributeClass(qvAttributeClassId::line_width));
    try {
        helper.draw_shape(record);
        ADD_FAILURE() << "a wrong class was accepted";
    } catch (qvError const& e) {
        EXPECT_EQ(std::string(static_cast<char const*>(e)), "Wrong type specified to access attribute property");
    }
    folder.type(nullptr);
    EXPECT_THROW(helper.draw_shape(record), qvError);

    folder.type(&qvAttributeClass(qvAttributeClassId::reference));
    EXPECT_TRUE(helper.draw_shape(record));
}

}  // namespace
