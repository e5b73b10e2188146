// qvGradientImplementation: the ordered stop list and the common settings.

#include "attributes/qvGradientImplementation.hpp"

#include <orvane/core/qvAssertionError.hpp>

#include <cstddef>

qvGradientImplementation::qvGradientImplementation() { stops_.reserve(2); }

qvGradientImplementation::~qvGradientImplementation() = default;

// ---------------------------------------------------------------------------
// Stops

int qvGradientImplementation::stop_count() const { return static_cast<int>(stops_.size()); }

void qvGradientImplementation::check_index(int index) const {
    QV_ASSERT_TEXT(index >= 0 && index < stop_count(),
                   "( index >= 0 ) && ( index < (int)_stops.size() )");
}

void qvGradientImplementation::add_stop(double position, qvRgbColor color) {
    std::size_t at = stops_.size();
    while (at > 0 && stops_[at - 1].position > position)
        --at;
    stops_.insert(stops_.begin() + static_cast<std::ptrdiff_t>(at), Stop{position, color});
}

void qvGradientImplementation::remove_stop(int index) {
    check_index(index);
    stops_.erase(stops_.begin() + index);
}

qvRgbColor qvGradientImplementation::stop_color(int index) const {
    check_index(index);
    return stops_[static_cast<std::size_t>(index)].color;
}

double qvGradientImplementation::stop_position(int index) const {
    check_index(index);
    return stops_[static_cast<std::size_t>(index)].position;
}

void qvGradientImplementation::replace_first_color(qvRgbColor color) {
    if (!stops_.empty() && stops_.front().position == 0.0)
        stops_.erase(stops_.begin());
    add_stop(0.0, color);
}

void qvGradientImplementation::replace_last_color(qvRgbColor color) {
    if (!stops_.empty() && stops_.back().position == 1.0)
        stops_.pop_back();
    add_stop(1.0, color);
}

void qvGradientImplementation::add_end_stops(qvRgbColor first, qvRgbColor last) {
    add_stop(0.0, first);
    add_stop(1.0, last);
}

// ---------------------------------------------------------------------------
// Interfaces

void* qvGradientImplementation::query_interface(qvInterfaceInfo const& info) {
    return qvOfferInterfaces<qvGradientDataAccess>(this, info);
}
