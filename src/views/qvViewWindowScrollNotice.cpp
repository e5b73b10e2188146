// The scroll notice: one pointer per thread (see the header).

#include "views/qvViewWindowScrollNotice.hpp"

namespace {

thread_local qvBaseRendererObject const* window_scroll_notice_current = nullptr;

}  // namespace

qvViewWindowScrollNotice::qvViewWindowScrollNotice(qvBaseRendererObject const* renderer) noexcept
    : previous_(window_scroll_notice_current) {
    window_scroll_notice_current = renderer;
}

qvViewWindowScrollNotice::~qvViewWindowScrollNotice() { window_scroll_notice_current = previous_; }

bool qvViewWindowScrollNotice::moving(qvBaseRendererObject const* renderer) noexcept {
    return renderer != nullptr && window_scroll_notice_current == renderer;
}
