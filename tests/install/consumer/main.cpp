// A program outside the source tree that uses the installed library.
#include <orvane/orvane.hpp>

#include <cstdio>

int main() {
    try {
        qvRaise(qvErrorFrom<qvError>("installed library works"));
    } catch (qvError const& e) {
        std::printf("%s\n", static_cast<char const*>(e));
        return 0;
    }
    return 1;
}
