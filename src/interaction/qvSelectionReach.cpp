// qvSelectionReach (see qvSelectionReach.hpp).
//
// Cost model: the first answer for a palette walks its attributes once and
// bakes their pen and marker cookies (which the hit tests then find in the
// cache); later answers cost one test unless the palette announced changes,
// and then one re-read per changed attribute, or the scene announced an
// edit, and then one hash probe per attribute handle. Only losing the
// widest attribute walks the table of wide attributes again.

#include "interaction/qvSelectionReach.hpp"

#include <orvane/attributes/qvCookieAccess.hpp>
#include <orvane/attributes/qvPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/interaction/qvSelectorCookie.hpp>
#include <orvane/shapes/qvScene.hpp>

#include <algorithm>
#include <limits>

namespace {

// More changes than this between two answers rebuild the table at once:
// the notes would cost more than the walk.
constexpr std::size_t reach_changes_kept = 4096;

// A line hits within half its width, a marker within its diameter. A NaN
// reaches nothing; an endless one is held to the largest float, beyond
// which no record box lies.
double reach_of(double line_width, int diameter) noexcept {
    double reach = std::max(0.0, static_cast<double>(diameter));
    const double half = line_width * 0.5;
    if (half > reach)
        reach = half;
    return std::min(reach, static_cast<double>(std::numeric_limits<float>::max()));
}

double reach_of_attribute(qvPalette& palette, long handle) {
    try {
        const qvSafePtr<qvSelectorPenCookie> pen = qvCookieAccess<qvSelectorPenCookie>(palette, handle).cookie;
        const qvSafePtr<qvSelectorMarkerCookie> marker =
            qvCookieAccess<qvSelectorMarkerCookie>(palette, handle).cookie;
        return reach_of(pen->line_width, marker->diameter);
    } catch (qvError const&) {
        return qvSelectionReach::plain();
    }
}

}  // namespace

qvSelectionReach::~qvSelectionReach() {
    edits_.disconnect_all();
    disconnect_all();
}

double qvSelectionReach::plain() noexcept {
    static const double reach = reach_of(qvSelectorPenCookie{}.line_width, qvSelectorMarkerCookie{}.diameter);
    return reach;
}

double qvSelectionReach::widest(qvScene* scene) {
    if (scene != scene_ || (scene != nullptr && &scene->palette() != palette_))
        listen(scene);
    if (palette_ == nullptr)
        return plain();
    if (stale_) {
        rebuild();
        return widest_;
    }
    if (!changed_.empty()) {
        std::vector<long> changed;
        changed.swap(changed_);  // a bake may announce again
        for (long handle : changed)
            refresh(handle);
    }
    if (walk_)
        walk();
    return widest_;
}

void qvSelectionReach::listen(qvScene* scene) {
    edits_.disconnect_all();
    disconnect_all();
    forget();
    scene_ = scene;
    if (scene_ == nullptr)
        return;
    palette_ = &scene_->palette();
    edits_.connect(scene_->rect_sender());
    connect(palette_->publisher());
}

void qvSelectionReach::forget() noexcept {
    scene_ = nullptr;
    palette_ = nullptr;
    stale_ = true;
    walk_ = false;
    changed_.clear();
    known_.clear();
    wide_.clear();
}

void qvSelectionReach::rebuild() {
    stale_ = false;
    walk_ = false;
    edits_.ordered(true);
    changed_.clear();
    known_.clear();
    wide_.clear();
    const double floor = plain();
    for (qvIndirectIterator<qvWrap<long>> it = palette_->enumerate(); it; ++it) {
        const long handle = *it;
        known_.insert(handle);
        const double reach = reach_of_attribute(*palette_, handle);
        if (reach > floor)
            wide_[handle] = reach;
    }
    recount();
}

// Handles met before were read then or announced since (a released handle
// leaves the known set when its release is announced, so a number used
// again is read afresh).
void qvSelectionReach::walk() {
    walk_ = false;
    edits_.ordered(true);
    std::vector<long> fresh;
    for (qvIndirectIterator<qvWrap<long>> it = palette_->enumerate(); it; ++it)
        if (known_.insert(*it).second)
            fresh.push_back(*it);
    for (long handle : fresh)
        refresh(handle);
}

void qvSelectionReach::refresh(long handle) {
    const double reach = reach_of_attribute(*palette_, handle);
    const auto kept = wide_.find(handle);
    const double before = kept != wide_.end() ? kept->second : plain();
    if (reach > plain())
        wide_[handle] = reach;
    else if (kept != wide_.end())
        wide_.erase(kept);
    if (reach >= widest_)
        widest_ = reach;
    else if (before >= widest_)
        recount();
}

void qvSelectionReach::recount() noexcept {
    widest_ = plain();
    for (auto const& [handle, reach] : wide_)
        widest_ = std::max(widest_, reach);
}

void qvSelectionReach::invalidate() { stale_ = true; }

void qvSelectionReach::invalidate(long const& handle, int) {
    if (stale_)
        return;
    known_.erase(handle);
    if (changed_.size() >= reach_changes_kept) {
        stale_ = true;
        changed_.clear();
        return;
    }
    changed_.push_back(handle);
}

void qvSelectionReach::partner_destroyed(qvSenderBase*) {
    edits_.disconnect_all();
    forget();
}
