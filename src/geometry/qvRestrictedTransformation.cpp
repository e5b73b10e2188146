// The shared identity of restricted transformations.

#include <orvane/geometry/qvRestrictedTransformation.hpp>

qvRestrictedTransformation const& qvRestrictedTransformation::identity() noexcept {
    static const qvRestrictedTransformation the_identity;
    return the_identity;
}
