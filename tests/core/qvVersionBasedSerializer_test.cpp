#include <orvane/core/qvVersionBasedSerializer.hpp>

#include <gtest/gtest.h>

#include <sstream>

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

const Tagged old_form('0'), new_form('N'), replacement('R');

std::string saved_with(qvVersionBasedSerializerBase<Value> const& table, qvVersion const& version) {
    std::stringbuf buffer;
    qvOutputStream os(&buffer, version, false);
    table.save(os, Value{});
    return buffer.str();
}

qvVersionBasedSerializerBase<Value> two_forms() {
    qvVersionBasedSerializerBase<Value> table;
    table.append(qvVersion(0, 0, 0), const_cast<Tagged*>(&old_form));
    table.append(qvVersion(3, 4, 1), const_cast<Tagged*>(&new_form));
    return table;
}

}  // namespace

TEST(qvVersionBasedSerializerBase, Picks_the_greatest_version_not_above_the_streams) {
    const auto table = two_forms();
    EXPECT_EQ(saved_with(table, qvVersion(0)), "0");
    EXPECT_EQ(saved_with(table, qvVersion(3, 4, 0)), "0");
    EXPECT_EQ(saved_with(table, qvVersion(3, 4, 1)), "N");
    EXPECT_EQ(saved_with(table, qvVersion(3, 5, 0)), "N");
    EXPECT_EQ(saved_with(table, qvVersion(4, 0, 0)), "N");
}

TEST(qvVersionBasedSerializerBase, Load_follows_the_version_of_the_input) {
    const auto table = two_forms();
    std::stringbuf buffer;
    {
        qvOutputStream os(&buffer, qvVersion::default_version(), true);
        os.put('z');
    }
    qvInputStream is(&buffer);
    Value value;
    table.load(is, value);
    EXPECT_EQ(value.v, 'z');
}

TEST(qvVersionBasedSerializerBase, Second_append_replaces_and_copies_share_the_serializers) {
    auto table = two_forms();
    const qvVersionBasedSerializerBase<Value> copy(table);
    table.append(qvVersion(3, 4, 1), const_cast<Tagged*>(&replacement));
    EXPECT_EQ(saved_with(table, qvVersion(3, 4, 1)), "R");
    EXPECT_EQ(saved_with(copy, qvVersion(3, 4, 1)), "N");
    qvVersionBasedSerializerBase<Value> assigned;
    assigned = table;
    EXPECT_EQ(saved_with(assigned, qvVersion(9, 0, 0)), "R");
}

TEST(qvVersionBasedSerializerBase, Unknown_version_raises_and_touches_nothing) {
    qvVersionBasedSerializerBase<Value> only_new, empty;
    only_new.append(qvVersion(3, 4, 1), const_cast<Tagged*>(&new_form));
    for (const qvVersion version : {qvVersion(0), qvVersion(static_cast<int>(0x80000000u))}) {
        std::stringbuf buffer("x");
        qvOutputStream os(&buffer, version, false);
        qvInputStream is(&buffer);
        Value value{42};
        try {
            only_new.save(os, value);
            FAIL() << "no raise";
        } catch (qvErrorFrom<qvVersion> const& e) {
            EXPECT_STREQ(e, "Unknown stream version");
        }
        EXPECT_THROW(only_new.load(is, value), qvErrorFrom<qvVersion>);
        EXPECT_EQ(value.v, 42);
        EXPECT_EQ(buffer.str(), "x");
        EXPECT_EQ(is.peek(), 'x');
    }
    EXPECT_THROW(saved_with(empty, qvVersion(3, 4, 1)), qvErrorFrom<qvVersion>);
}
