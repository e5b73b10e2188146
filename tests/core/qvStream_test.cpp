// Versions, binary streams and serializer tables: the 26-byte header and its
// probe, exact-size fields, and buffer ownership (each deleted once).

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersionBasedSerializer.hpp>

#include "core/qvStreamFields.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "qvFileTestSupport.hpp"
#include "qvStreamTestBuffers.hpp"

using qv_file_test::raises;
using stream_test::bytes;
using stream_test::CountedStringBuf;
using stream_test::LimitedBuf;

namespace {

const std::string signature = bytes("A9 4F 52 56 41 4E 45 20 42 49 4E 41 52 59 20 53 54 52 45 41 4D 00");

orvane::auto_ptr<std::streambuf> counted(int* deletions, std::string const& text = {}) {
    return orvane::auto_ptr<std::streambuf>(new CountedStringBuf(deletions, text));
}

std::string rest_of(qvInputStream& is) {
    std::string out;
    for (int c = is.get(); c != -1; c = is.get()) out += static_cast<char>(c);
    return out;
}

int version_of(qvInputStream const& is) { return is.version().version_value(); }

}  // namespace

TEST(qvVersion, Packs_with_minor_and_build_masked_and_compares_signed) {
    EXPECT_EQ(qvVersion(1, 0x1FF, 0x12345).version_value(), 0x01FF2345);
    EXPECT_TRUE(qvVersion(0x81, 0, 0) < qvVersion(1, 0, 0));
}

TEST(qvOutputStream, Writes_the_header_on_connect_unless_version_0_or_switched_off) {
    std::stringbuf buffer, zero, off;
    qvOutputStream os;
    os.connect_streambuf(&buffer);
    EXPECT_EQ(buffer.str(), signature + bytes("01 00 04 03"));
    qvOutputStream(&zero, qvVersion(0), true);
    qvOutputStream(&off, qvVersion::default_version(), false);
    EXPECT_EQ(zero.str() + off.str(), "");
}

TEST(qvOutputStream, Refused_header_or_payload_bytes_raise_and_an_owned_buffer_is_deleted_once) {
    int deleted = 0;
    EXPECT_TRUE(raises<qvErrorFrom<std::streambuf*>>(
        [&] { qvOutputStream(orvane::auto_ptr<std::streambuf>(new LimitedBuf(10, &deleted)), qvVersion(3, 4, 1), true); },
        "Invalid streambuf"));
    EXPECT_EQ(deleted, 1);
    LimitedBuf buffer(3);
    qvOutputStream os(&buffer, qvVersion(), false);
    os.putn("abc", 3);
    EXPECT_THROW(os.put('d'), qvErrorFrom<std::streambuf*>);
    EXPECT_EQ(buffer.written(), "abc");
}

TEST(qvInputStream, Probe_gives_the_headers_version_and_gives_anything_else_back_whole) {
    std::stringbuf headed(signature + bytes("01 00 04 03") + "xyz");
    qvInputStream is(&headed);
    EXPECT_EQ(version_of(is), 0x03040001);
    EXPECT_EQ(rest_of(is), "xyz");
    std::stringbuf plain("abc");
    is.connect_streambuf(&plain);   // reconnecting resets the version
    EXPECT_EQ(version_of(is), 0);
    EXPECT_EQ(rest_of(is), "abc");

    std::string almost = signature;   // 22 bytes probed, all given back
    almost.back() = '!';
    std::stringbuf almost_buffer(almost + "tail");
    stream_test::NonSeekableBuf cannot_seek("abc");   // as page streams
    qvInputStream from_almost(&almost_buffer), from_cannot_seek(&cannot_seek);
    EXPECT_EQ(rest_of(from_almost), almost + "tail");
    EXPECT_EQ(rest_of(from_cannot_seek), "abc");
    std::stringbuf cut_header(signature + bytes("01 00 04"));
    qvInputStream cut(&cut_header);
    EXPECT_EQ(version_of(cut), 0);
    EXPECT_FALSE(cut);
}

TEST(qvInputStream, Skip_moves_relative_and_an_unconnected_stream_reads_nothing) {
    std::stringbuf buffer("abcdef");
    qvInputStream is(&buffer), unconnected;
    EXPECT_EQ(is.skip(2), 2);
    EXPECT_EQ(is.peek(), 'c');
    EXPECT_EQ(is.skip(-1), 1);   // the new position
    char out[8] = {};
    EXPECT_EQ(is.getn(out, 8), 5);
    EXPECT_STREQ(out, "bcdef");
    EXPECT_EQ(unconnected.get() + unconnected.getn(out, 2), -2);
}

TEST(qvStreamFields, Short_reads_raise_incomplete_data_and_long_fields_are_int32) {
    std::stringbuf short_buffer(bytes("01 02 03")), buffer;
    qvInputStream short_input(&short_buffer);
    EXPECT_TRUE(raises<qvErrorFrom<qvInputStream>>([&] { qvReadInt32(short_input); }, "Incomplete data on input"));
    qvOutputStream os(&buffer, qvVersion(), false);
    qvWriteInt32(os, -2);
    EXPECT_THROW(qvWriteInt32(os, 0x80000000L), qvErrorFrom<long>);
    EXPECT_EQ(buffer.str(), bytes("FE FF FF FF"));
}

TEST(qvStream, A_copy_of_an_owning_stream_becomes_the_owner_and_assignment_swaps_buffers) {
    int first = 0, second = 0;
    auto source = std::make_unique<qvOutputStream>(counted(&first), qvVersion(), false);
    {
        qvOutputStream copy(*source);
        EXPECT_EQ(copy.rdbuf(), source->rdbuf());
        source.reset();
        copy.put('x');   // the copy still writes to the live buffer
        EXPECT_EQ(first, 0);
    }
    EXPECT_EQ(first, 1);
    {
        qvInputStream target(counted(&first)), source(counted(&second, "abc"));
        target = source;
        EXPECT_EQ(first, 2);
        EXPECT_EQ(target.get(), 'a');
        qvInputStream const& same = source;
        source = same;
        EXPECT_EQ(second, 0);
    }
    EXPECT_EQ(second, 1);
}

TEST(qvStream, Disconnect_deletes_an_owned_buffer_once_and_returns_a_borrowed_one) {
    int owned = 0, borrowed = 0;
    CountedStringBuf other(&borrowed, "xyz");
    {
        qvInputStream is(counted(&owned, "abc"));
        is.connect_streambuf(&other);
        EXPECT_EQ(is.get(), 'x');
        EXPECT_EQ(is.disconnect_streambuf(), &other);   // and deletes the owned one
        EXPECT_EQ(owned, 1);
        is.connect_streambuf(orvane::auto_ptr<std::streambuf>());   // a null holder is ignored
        EXPECT_FALSE(is.is_open());
        qvInputStream owner(counted(&owned)), copy(owner);   // copy owns; owner borrows
        EXPECT_NE(owner.disconnect_streambuf(), nullptr);
        EXPECT_EQ(copy.disconnect_streambuf(), nullptr);
        EXPECT_EQ(copy.disconnect_streambuf(), nullptr);
    }
    EXPECT_EQ(owned, 2);
    EXPECT_EQ(borrowed, 0);
}

namespace {

struct Value {
    int v = 0;
};

// Writes and reads its own tag byte, so the bytes show which serializer ran.
class Tagged : public qvVersionBasedSerializer<Value> {
public:
    explicit Tagged(char tag) : tag_(tag) {}
    void save(qvOutputStream& os, Value const&) const override { os.put(tag_); }
    void load(qvInputStream& is, Value& value) const override { value.v = is.get(); }

private:
    char tag_;
};

Tagged old_form('0'), new_form('N'), replacement('R');
using Table = qvVersionBasedSerializerBase<Value>;

std::string saved_with(Table const& table, qvVersion const& version) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, version, false);
    table.save(os, Value{});
    return buffer.str();
}

}  // namespace

TEST(qvVersionBasedSerializerBase, Picks_the_greatest_version_not_above_the_streams) {
    Table table;
    table.append(qvVersion(0, 0, 0), &old_form);
    table.append(qvVersion(3, 4, 1), &new_form);
    const struct { qvVersion version; char const* tag; } rows[] = {
        {qvVersion(3, 4, 0), "0"}, {qvVersion(3, 4, 1), "N"}, {qvVersion(4, 0, 0), "N"}};
    for (auto const& row : rows) EXPECT_EQ(saved_with(table, row.version), row.tag) << row.version.version_value();
    std::stringbuf buffer;
    qvOutputStream(&buffer, qvVersion::default_version(), true).put('z');
    qvInputStream is(&buffer);
    Value value;
    table.load(is, value);   // the input's own version, 3.4.1
    EXPECT_EQ(value.v, 'z');

    const Table copy(table);
    table.append(qvVersion(3, 4, 1), &replacement);   // replaces
    EXPECT_EQ(saved_with(table, qvVersion(3, 4, 1)) + saved_with(copy, qvVersion(3, 4, 1)), "RN");
}

TEST(qvVersionBasedSerializerBase, Unknown_version_raises_and_touches_nothing) {
    Table only_new;
    only_new.append(qvVersion(3, 4, 1), &new_form);
    std::stringbuf buffer("x");
    qvOutputStream os(&buffer, qvVersion(static_cast<int>(0x80000000u)), false);
    qvInputStream is(&buffer);
    Value value{42};
    EXPECT_TRUE(raises<qvErrorFrom<qvVersion>>([&] { only_new.save(os, value); }, "Unknown stream version"));
    EXPECT_THROW(only_new.load(is, value), qvErrorFrom<qvVersion>);
    EXPECT_EQ(value.v, 42);
    EXPECT_EQ(buffer.str(), "x");
}
