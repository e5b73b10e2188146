// The shared identity of one restricted-transformation axis.

#include <orvane/geometry/qvRTComponent.hpp>

qvRTComponent const& qvRTComponent::identity() noexcept {
    static const qvRTComponent the_identity;
    return the_identity;
}
