// The same file-local names as b_second.cpp, of other types.
#include "registry.hpp"

#include <string>

namespace {
using Value = int;
Value twice(Value v) { return 2 * v; }
[[maybe_unused]] const bool done = (registered().push_back("a " + std::to_string(twice(21))), true);
}  // namespace

#define UNITY_LOCAL_LIMIT 3
