// A header included under a condition: this file goes alone.
#include "registry.hpp"

#if defined(__cplusplus)
#include <string>
#endif

namespace {
[[maybe_unused]] const bool done = (registered().push_back(std::string("c alone")), true);
}  // namespace
