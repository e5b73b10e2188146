// Buffer ownership of the binary streams, with buffers that count their
// deletion: every buffer is deleted exactly once, by its one owner.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <gtest/gtest.h>

#include "qvStreamTestBuffers.hpp"

using stream_test::CountedStringBuf;

namespace {
orvane::auto_ptr<std::streambuf> counted(int* deletions, std::string const& text = {}) {
    return orvane::auto_ptr<std::streambuf>(new CountedStringBuf(deletions, text));
}
}  // namespace

TEST(qvStream, Copy_of_an_owning_stream_becomes_the_owner) {
    int deleted = 0;
    auto source = std::make_unique<qvOutputStream>(counted(&deleted), qvVersion(), false);
    std::streambuf* const buffer = source->rdbuf();
    {
        qvOutputStream copy(*source);
        EXPECT_EQ(copy.rdbuf(), buffer);
        source.reset();
        EXPECT_EQ(deleted, 0);
        copy.put('x');   // the copy still writes to the live buffer
    }
    EXPECT_EQ(deleted, 1);
}

TEST(qvStream, Assignment_deletes_the_targets_buffer_and_takes_the_sources) {
    int first = 0, second = 0;
    {
        qvInputStream target(counted(&first));
        qvInputStream source(counted(&second, "abc"));
        target = source;
        EXPECT_EQ(first, 1);
        EXPECT_EQ(target.get(), 'a');
        qvInputStream const& same = source;
        source = same;
        EXPECT_EQ(second, 0);
    }
    EXPECT_EQ(second, 1);
}

TEST(qvStream, Disconnecting_an_owning_stream_deletes_once_and_returns_null) {
    int deleted = 0;
    qvInputStream is(counted(&deleted));
    EXPECT_EQ(is.disconnect_streambuf(), nullptr);
    EXPECT_EQ(deleted, 1);
    EXPECT_FALSE(is.is_open());
    EXPECT_EQ(is.disconnect_streambuf(), nullptr);
    EXPECT_EQ(deleted, 1);
}

TEST(qvStream, Disconnecting_a_borrowing_stream_returns_its_buffer) {
    int deleted = 0;
    CountedStringBuf buffer(&deleted);
    {
        qvInputStream owner(counted(&deleted));
        qvInputStream copy(owner);   // copy owns; owner borrows
        EXPECT_NE(owner.disconnect_streambuf(), nullptr);
        qvInputStream borrowing(&buffer);
        EXPECT_EQ(borrowing.disconnect_streambuf(), &buffer);
        EXPECT_EQ(deleted, 0);
    }
    EXPECT_EQ(deleted, 1);
}

TEST(qvStream, Borrowed_buffer_leaves_the_owned_one_owned) {
    int owned = 0, borrowed = 0;
    CountedStringBuf other(&borrowed, "xyz");
    {
        qvInputStream is(counted(&owned, "abc"));
        is.connect_streambuf(&other);
        EXPECT_EQ(is.get(), 'x');
        EXPECT_EQ(is.disconnect_streambuf(), &other);   // the owned one is deleted all the same
        EXPECT_EQ(owned, 1);
        is.connect_streambuf(orvane::auto_ptr<std::streambuf>());   // a null holder is ignored
        EXPECT_FALSE(is.is_open());
    }
    EXPECT_EQ(owned, 1);
    EXPECT_EQ(borrowed, 0);
}
