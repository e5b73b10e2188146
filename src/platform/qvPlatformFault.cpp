// Failure seams of the POSIX layer: one armed (errno, count) pair per call.

#include "platform/qvPlatformFault.hpp"

#include <cerrno>

namespace orvane::platform {

namespace {
struct Armed {
    int error_number = 0;
    int times = 0;
};
Armed armed[static_cast<int>(Call::count_)];   // zero-initialised before any static runs
void (*observing)(Call, long long) noexcept = nullptr;
}  // namespace

void observe_calls(void (*observer)(Call call, long long position) noexcept) noexcept { observing = observer; }

void fail_next(Call call, int error_number, int times) noexcept {
    armed[static_cast<int>(call)] = Armed{error_number, times};
}

void clear_failures() noexcept {
    for (Armed& a : armed) a = Armed{};
}

bool injected_failure(Call call, long long position) noexcept {
    if (observing != nullptr) observing(call, position);
    Armed& a = armed[static_cast<int>(call)];
    if (a.times <= 0) return false;
    --a.times;
    errno = a.error_number;
    return true;
}

}  // namespace orvane::platform
