// Measuring texts and the process-wide text-metric settings (see
// qvTextExtent.hpp).

#include <orvane/shapes/qvTextExtent.hpp>

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/shapes/qvTextExtentClass.hpp>
#include <orvane/shapes/qvTextExtentInterface.hpp>

namespace {

constinit long current_number = QV_TM_ILLEGAL;
constinit qvFontSizeMode size_mode = QV_FSM_NONE;

// The measuring interface of the current provider (the default provider
// when none is registered under the current number), or null: one registry
// look-up.
qvTextExtentInterface* current_interface() {
    qvTextExtentClass* provider = qvTextExtentClass::find(current_number);
    if (provider == nullptr)
        provider = qvTextExtentClass::get_default_extent();
    return provider != nullptr ? provider->extent_interface() : nullptr;
}

}  // namespace

qvTextExtent::qvTextExtent(char const* text, qvFontFamily family, char const* name, qvWrap<float> size,
                           qvFontSlant slant, qvFontWeight weight, qvFontTechnology technology) {
    QV_ASSERT_TEXT(text != nullptr, "text");
    if (qvTextExtentInterface* const measuring = current_interface())
        *this = measuring->text_extent(text, family, name, size, slant, weight, technology);
}

long qvTextExtent::current_metric() noexcept { return current_number; }

void qvTextExtent::current_metric(long number) {
    if (qvTextExtentClass::find(number) != nullptr)
        current_number = number;
}

qvFontSizeMode qvTextExtent::font_size_mode() noexcept { return size_mode; }

void qvTextExtent::font_size_mode(qvFontSizeMode requested) {
    if (qvTextExtentInterface* const measuring = current_interface())
        size_mode = measuring->font_size_mode(requested);
}
