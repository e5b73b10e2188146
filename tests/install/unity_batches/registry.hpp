#pragma once
// What each file registers at start-up, as GoogleTest's TEST does.
#include <string>
#include <vector>

inline std::vector<std::string>& registered() {
    static std::vector<std::string> names;
    return names;
}
