// What the generic text layer measures with (see qvGenericTextProxy.hpp):
// the font of an attribute, read folder by folder.

#include <orvane/shapes/qvGenericTextProxy.hpp>

#include <orvane/attributes/qvPropertyValue.hpp>

#include "attributes/qvAttributeFolders.hpp"

namespace {

using F = qvAttributeFolderId;

template <class T>
T value_or(qvAttributeFolderInterface& folder, F id, T const& absent) {
    const qvPropertyValue<T> read(folder, qvAttributeFolder(id));
    return read.absent() ? absent : read.value();
}

}  // namespace

qvTextExtent qvGenericTextProxyDetail::measure(char const* text, qvAttributeFolderInterface& folder) {
    const qvFontFamily family = value_or(folder, F::font_family, qvFontFamily{});
    const qvPropertyValue<qvString> name(folder, qvAttributeFolder(F::font_name));
    const qvWrap<float> size = value_or(folder, F::font_size, qvWrap<float>(10.0f));
    const qvFontSlant slant = value_or(folder, F::font_slant, qvFontSlant{});
    const qvFontWeight weight = value_or(folder, F::font_weight, QV_FW_NORMAL);
    return qvTextExtent(text, family, name.absent() ? nullptr : static_cast<char const*>(name.value()), size,
                        slant, weight, QV_FT_DEFAULT);
}
