#pragma once
// qvRaisedText: the message a call raises as a qvError, or "no error" when
// it raises none, so that a test compares the library's fixed sentence and
// a call that should have been refused shows up as such.

#include <orvane/core/qvError.hpp>

#include <string>

template <class Call>
std::string qvRaisedText(Call&& call) {
    try {
        call();
    } catch (qvError const& e) {
        return static_cast<char const*>(e);
    }
    return "no error";
}
