#pragma once
// qvAssertionError: a failed internal consistency check. Its message is the
// text of the failed expression; it prints as
//   <file> [<line>] -- assertion failed: <expression>
// The file is the source path relative to the repository.

#include <orvane/core/qvError.hpp>

class qvAssertionError : public qvError {
public:
    qvAssertionError(char const* expression, char const* file, int line) noexcept
        : qvError(expression), file_(file), line_(line) {}

    void put(std::ostream& os) const override;

    char const* file() const noexcept { return file_; }
    int line() const noexcept { return line_; }

private:
    char const* file_;
    int line_;
};

[[noreturn]] void qvRaiseAssertion(char const* expression, char const* file, int line);

// QV_ASSERT(cond) reports the condition as written; QV_ASSERT_TEXT reports a
// fixed expression text, for checks whose wording is part of the interface.
#define QV_ASSERT_TEXT(cond, text)                              \
    do {                                                        \
        if (!(cond)) qvRaiseAssertion((text), __FILE__, __LINE__); \
    } while (false)
#define QV_ASSERT(cond) QV_ASSERT_TEXT(cond, #cond)
