// The no_throw switch and the abort path of the library's errors.

#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>

#include <cstdlib>
#include <iostream>

namespace {
bool no_throw_switch = false;   // constant-initialised: valid before any static runs
}

bool qvError::no_throw() noexcept { return no_throw_switch; }

void qvError::no_throw(bool on) noexcept { no_throw_switch = on; }

void qvError::put(std::ostream& os) const { os << message_; }

void qvError::abort(qvError const& error) noexcept {
    try {
        std::cerr << "Unexpected Orvane error: ";
        error.put(std::cerr);
        std::cerr << std::endl;
    } catch (...) {
        // The process ends either way; a failing stream must not stop that.
    }
    std::abort();
}

std::ostream& operator<<(std::ostream& os, qvError const& error) {
    error.put(os);
    return os;
}

void qvAssertionError::put(std::ostream& os) const {
    os << file_ << " [" << line_ << "] -- assertion failed: " << message_;
}

void qvRaiseAssertion(char const* expression, char const* file, int line) {
    qvRaise(qvAssertionError(expression, file, line));
}
