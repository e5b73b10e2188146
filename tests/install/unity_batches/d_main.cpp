// Its own main(): alone. Prints what the other files registered.
#include "registry.hpp"

#include <algorithm>
#include <iostream>

int main() {
    std::vector<std::string> names = registered();
    std::sort(names.begin(), names.end());
    for (std::string const& name : names) std::cout << name << ';';
    std::cout << '\n';
}
