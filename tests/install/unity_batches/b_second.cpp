// A macro of the file before must not reach this one.
#include "registry.hpp"

#include <string>

namespace {
using Value = std::string;
Value twice(Value v) { return v + v; }
#ifdef UNITY_LOCAL_LIMIT
[[maybe_unused]] const bool done = (registered().push_back("b leaked"), true);
#else
[[maybe_unused]] const bool done = (registered().push_back("b " + twice("ab")), true);
#endif
}  // namespace
