// A get-or-create from a static initialiser that runs before the holder's
// own definition: the holder is constant-initialised, so the object made
// on demand stays in it, and its release at exit is clean.

#include <orvane/core/qvUniqueObject.hpp>

#include <gtest/gtest.h>

namespace {

struct Early {
    static char const* get_name() { return "Early object"; }
};

extern qvUniqueObject<Early> early_holder;
Early* const made_early = early_holder.get();
constinit qvUniqueObject<Early> early_holder;

}  // namespace

TEST(qvUniqueObjectStartup, Holder_filled_before_its_definition_keeps_its_object) {
    ASSERT_NE(made_early, nullptr);
    EXPECT_EQ(early_holder.object, made_early);
    EXPECT_EQ(early_holder.get(), made_early);
    EXPECT_EQ(qvLookupRegistry("Early object"), made_early);
    EXPECT_FALSE(qvRemoveRegistry("Early object"));
}
