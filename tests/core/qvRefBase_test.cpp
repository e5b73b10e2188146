#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <gtest/gtest.h>

#include "qvCountedProbe.hpp"

#include <string>

namespace {

class Counted : public qvRefBase {};

std::string assertion_text(auto&& action) {
    try {
        action();
    } catch (qvAssertionError const& e) {
        return static_cast<char const*>(e);
    }
    return "no assertion";
}

const char* const find_text =
    "_STL::find( weak->c.begin(), weak->c.end(), (qvRefPtrBase*)&wptr ) != weak->c.end()";

}  // namespace

TEST(qvRefBase, A_copied_object_starts_unshared) {
    Counted original;
    original.bump();
    qvIWeakPtr<Counted> watcher(&original);
    Counted copy(original);
    EXPECT_EQ(qvCountOf(copy), 0);
    {
        Counted assigned;
        assigned = original;
        EXPECT_EQ(qvCountOf(assigned), 0);
    }
    // The copies took no watcher with them: destroying them left it alone.
    EXPECT_TRUE(watcher);
    EXPECT_EQ(qvCountOf(original), 1);
    original.dec();
}

TEST(qvRefBase, Dying_record_clears_every_watcher) {
    qvIWeakPtr<Counted> first, second;
    {
        Counted c;
        first = qvIWeakPtr<Counted>(&c);
        second = first;
        EXPECT_EQ(first.get(), &c);
    }
    EXPECT_FALSE(first);
    EXPECT_EQ(first.counter(), nullptr);
    EXPECT_FALSE(first.invasive());
    EXPECT_FALSE(second);
}

TEST(qvRefBase, Detach_without_a_weak_list_raises_weak) {
    Counted c, other;
    qvIWeakPtr<Counted> w(&other);
    EXPECT_EQ(assertion_text([&] { c.detach(w); }), "weak");
}

TEST(qvRefBase, Detach_of_an_unlisted_pointer_raises_the_find_assertion) {
    Counted c, other;
    qvIWeakPtr<Counted> listed(&c);
    qvIWeakPtr<Counted> stranger(&other);
    EXPECT_EQ(assertion_text([&] { c.detach(stranger); }), find_text);
    EXPECT_TRUE(listed);
}

TEST(qvRefBase, Detach_removes_every_entry_of_the_pointer) {
    Counted c;
    qvIWeakPtr<Counted> w(&c);
    c.attach(w);                 // listed twice
    c.detach(w);
    EXPECT_EQ(assertion_text([&] { c.detach(w); }), find_text);
    c.attach(w);                 // listed once again, for w's own destructor
}

TEST(qvRefBaseDeathTest, Destroying_a_counted_record_aborts_with_counter_check) {
    EXPECT_DEATH(
        {
            Counted c;
            c.bump();
        },
        "Unexpected Orvane error: src/core/qvRefBase.cpp \\[[0-9]+\\] -- assertion failed: "
        "counter == 0");
}
