#pragma once
// qvError: the one exception family of the library.
//
// An error keeps the pointer to its message and never copies or frees the
// text: every message is a string literal (or a text that outlives the
// error). qvErrorFrom<T> differs from qvError only in its type, so a caller
// can catch the errors of one class apart from the rest.
//
// Every raise in the library goes through qvRaise(), which reads the
// process-wide no_throw switch at that moment: off, the error is thrown by
// value; on, qvError::abort reports it on standard error and ends the process.

#include <iosfwd>

class qvError {
public:
    explicit qvError(char const* message) noexcept : message_(message) {}

    virtual operator char const*() const noexcept { return message_; }
    virtual void put(std::ostream& os) const;

    static bool no_throw() noexcept;
    static void no_throw(bool on) noexcept;

    // Writes "Unexpected Orvane error: ", the error's printed form and an end
    // of line to standard error, then aborts. Nothing is unwound.
    [[noreturn]] static void abort(qvError const& error) noexcept;

protected:
    char const* message_;
};

std::ostream& operator<<(std::ostream& os, qvError const& error);

template <class T>
class qvErrorFrom : public qvError {
public:
    using qvError::qvError;
};

// The raise step shared by every raise site of the library.
template <class E>
[[noreturn]] void qvRaise(E const& error) {
    if (qvError::no_throw())
        qvError::abort(error);
    throw error;
}
