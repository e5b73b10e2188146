// Owning handles: each handle is released once, by the holder that owns it
// when it is overwritten or destroyed, whichever way ownership moved.

#include <orvane/core/qvAutoHandle.hpp>

#include <gtest/gtest.h>

#include <map>

namespace counted_handles {

// A handle type of the test's own: qvAutoHandle finds its release beside it.
struct Object {
    int id;
};
using Handle = Object*;

std::map<int, int> releases;   // by id
void qvDeleteHandle(Handle handle) noexcept { ++releases[handle->id]; }

}  // namespace counted_handles

using counted_handles::Handle;
using counted_handles::releases;

TEST(qvAutoHandle, Ownership_moves_with_copies_and_each_handle_is_released_once) {
    releases.clear();
    counted_handles::Object first{1}, second{2}, third{3};
    {
        qvAutoHandle<Handle> a(&first);
        qvAutoHandle<Handle> b(a);   // b owns, a only holds
        EXPECT_FALSE(a.owner());
        a = b;                       // same handle: nothing released, a owns again
        EXPECT_TRUE(a.owner());
        EXPECT_FALSE(b.owner());
        b = a;
        qvAutoHandle<Handle> c(&second);
        c = std::move(b);            // c's own handle goes; c now owns the first
        EXPECT_EQ(releases, (std::map<int, int>{{2, 1}}));
        EXPECT_EQ(c.get(), a.get());
        qvAutoHandle<Handle> d(&third);
        EXPECT_EQ(d.release(), &third);   // d keeps the handle, releases nothing
        qvAutoHandle<Handle> none(nullptr);
        none = qvAutoHandle<Handle>(nullptr);
        qvAutoHandle<Handle>& same = a;
        a = same;   // itself: nothing moves
    }
    EXPECT_EQ(releases, (std::map<int, int>{{1, 1}, {2, 1}}));
}
