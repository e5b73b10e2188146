// The directory of named roots on page 1: entry bytes, the 511-entry table,
// name matching and lengths, removal, the list of every root, read-only
// refusal and bad pages.

#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageFileDirectory.hpp"

#include "qvFileTestSupport.hpp"
#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace qv_page_test;
using qv_file_test::raises;

namespace {

using E = qvErrorFrom<qvPageFileDirectory>;

class qvPageFileDirectoryTest : public ::testing::Test {
protected:
    qv_file_test::ScratchDir dir;
    const std::string f = dir / "scene.pages";

    std::unique_ptr<qvPageFile> open(bool create = false, bool read_only = false, int cache = 0) {
        return std::make_unique<qvPageFile>(f.c_str(), cache, create, read_only);
    }
    // The directory page as stored, once the device has released.
    std::string directory_bytes(qvPageFile& device) {
        device.release();
        return page_of(f, 1);
    }
    static std::string name_field(std::string const& page, int entry) { return page.substr(8 + 32 * entry + 8, 24); }
};

std::string padded(std::string name) {
    name.resize(24, '\0');
    return name;
}

}  // namespace

TEST_F(qvPageFileDirectoryTest, A_new_file_has_no_entries) {
    auto device = open(true);
    EXPECT_EQ(device->find_root("$Layout"), 0);
    EXPECT_EQ(device->find_root(""), 0);
    EXPECT_EQ(device->remove_root("$Layout"), 0);
    EXPECT_EQ(hex(directory_bytes(*device).substr(0, 8)), "01 00 CE FA 00 00 00 00");
}

TEST_F(qvPageFileDirectoryTest, An_entry_is_its_root_page_a_reserved_word_and_the_padded_name) {
    auto device = open(true);
    device->create_root("$Layout", 7);
    device->create_root("$UserData", 0x01020304);
    EXPECT_EQ(device->find_root("$UserData"), 0x01020304);
    const std::string page = directory_bytes(*device);
    EXPECT_EQ(word_at(page, 4), 2u);
    EXPECT_EQ(hex(page.substr(8, 8)), "07 00 00 00 00 00 00 00");
    EXPECT_EQ(name_field(page, 0), padded("$Layout"));
    EXPECT_EQ(hex(page.substr(40, 4)), "04 03 02 01");
    EXPECT_EQ(name_field(page, 1), padded("$UserData"));
    EXPECT_EQ(page.substr(72), std::string(qvPageBytes - 72, '\0'));
}

TEST_F(qvPageFileDirectoryTest, Holds_511_entries_and_refuses_the_512th_unchanged) {
    auto device = open(true);
    for (int i = 0; i < 511; ++i) device->create_root(("n" + std::to_string(i)).c_str(), 100 + i);
    device->flush();
    const std::string before = page_of(f, 1);
    EXPECT_TRUE(raises<E>([&] { device->create_root("one more", 5); }, "Maximum number of directory entries exceeded"));
    EXPECT_EQ(device->find_root("n510"), 610);
    EXPECT_EQ(device->find_root("one more"), 0);
    const std::string after = directory_bytes(*device);
    EXPECT_EQ(after, before);
    EXPECT_EQ(word_at(after, 4), 511u);
    EXPECT_EQ(after.substr(16360), std::string(24, '\0'));
}

TEST_F(qvPageFileDirectoryTest, Of_equal_names_the_earlier_is_found_and_removed_first) {
    auto device = open(true);
    device->create_root("twin", 10);
    device->create_root("twin", 20);
    EXPECT_EQ(device->find_root("twin"), 10);
    EXPECT_EQ(device->remove_root("twin"), 10);
    EXPECT_EQ(device->find_root("twin"), 20);
    EXPECT_EQ(device->remove_root("twin"), 20);
    EXPECT_EQ(device->remove_root("twin"), 0);
}

TEST_F(qvPageFileDirectoryTest, Removal_keeps_the_order_and_zeroes_the_vacated_entry) {
    auto device = open(true);
    device->create_root("a", 11);
    device->create_root("b", 12);
    device->create_root("c", 13);
    EXPECT_EQ(device->remove_root("a"), 11);
    EXPECT_EQ(device->find_root("b"), 12);
    EXPECT_EQ(device->find_root("c"), 13);
    std::string page = directory_bytes(*device);
    EXPECT_EQ(word_at(page, 4), 2u);
    EXPECT_EQ(name_field(page, 0), padded("b"));
    EXPECT_EQ(name_field(page, 1), padded("c"));
    EXPECT_EQ(page.substr(8 + 64, 32), std::string(32, '\0'));
    EXPECT_EQ(device->remove_root("c"), 13);
    page = directory_bytes(*device);
    EXPECT_EQ(word_at(page, 4), 1u);
    EXPECT_EQ(page.substr(8 + 32), std::string(qvPageBytes - 40, '\0'));
}

// Sorted whatever the order of the entries, a root named twice listed
// twice, a removed one gone.
TEST_F(qvPageFileDirectoryTest, Root_pages_lists_the_root_of_every_entry_in_ascending_order) {
    auto device = open(true);
    EXPECT_TRUE(device->root_pages().empty());
    device->create_root("c", 13);
    device->create_root("a", 11);
    device->create_root("twin", 12);
    device->create_root("twin", 11);
    device->create_root("z", 2);
    EXPECT_EQ(device->root_pages(), (std::vector<long>{2, 11, 11, 12, 13}));
    EXPECT_EQ(device->remove_root("twin"), 12);
    EXPECT_EQ(device->root_pages(), (std::vector<long>{2, 11, 11, 13}));
}

TEST_F(qvPageFileDirectoryTest, Names_of_23_bytes_round_trip_and_longer_ones_are_never_cut) {
    const std::string longest(23, 'x'), too_long(24, 'x');
    auto device = open(true);
    device->create_root(longest.c_str(), 9);
    EXPECT_EQ(device->find_root(longest.c_str()), 9);
    device->flush();
    const std::string before = page_of(f, 1);
    EXPECT_TRUE(raises<E>([&] { device->create_root(too_long.c_str(), 8); }, "Directory entry name is too long"));
    EXPECT_EQ(device->find_root(too_long.c_str()), 0);
    EXPECT_EQ(device->remove_root(too_long.c_str()), 0);
    EXPECT_EQ(directory_bytes(*device), before);
    device.reset();

    // A foreign entry whose 24 name bytes hold no NUL: a longer name that
    // begins with them still does not match it.
    patch(f, qvPageBytes + 8 + 8, std::string(24, 'y'));
    device = open();
    EXPECT_EQ(device->find_root((std::string(24, 'y') + "z").c_str()), 0);
    EXPECT_EQ(device->find_root(std::string(23, 'y').c_str()), 0);
}

TEST_F(qvPageFileDirectoryTest, A_read_only_directory_finds_and_refuses_changes) {
    open(true)->create_root("kept", 3);
    auto device = open(false, true);
    EXPECT_EQ(device->find_root("kept"), 3);
    EXPECT_TRUE(raises<E>([&] { device->create_root("new", 4); }, "Cannot modify a read-only file"));
    EXPECT_TRUE(raises<E>([&] { device->remove_root("kept"); }, "Cannot modify a read-only file"));
    EXPECT_TRUE(raises<E>([&] { device->create_root(std::string(30, 'q').c_str(), 4); },
                          "Cannot modify a read-only file"));
}

TEST_F(qvPageFileDirectoryTest, A_page_without_the_magic_or_with_a_bad_count_is_refused_in_both_modes) {
    struct Case {
        std::string page;
        char const* message;
    };
    std::string no_magic = directory_page(0);
    no_magic[0] = 0;
    const Case cases[] = {
        {no_magic, "Wrong pagefile directory vesrion"},
        {directory_page(512), "Invalid or corrupt Orvane pagefile"},
        {directory_page(0xFFFFFFFF), "Invalid or corrupt Orvane pagefile"},
    };
    for (Case const& c : cases) {
        for (bool read_only : {true, false}) {
            open(true).reset();
            patch(f, qvPageBytes, c.page);
            EXPECT_TRUE(raises<E>([&] { open(false, read_only, 1 << 20); }, c.message)) << c.message;
        }
    }
}

TEST_F(qvPageFileDirectoryTest, A_root_page_beyond_32_bits_is_corruption) {
    open(true)->create_root("far", 5);
    patch(f, qvPageBytes + 8, le32(0x80000000u));
    auto device = open(false, true);
    EXPECT_TRUE(raises<E>([&] { device->find_root("far"); }, "Invalid or corrupt Orvane pagefile"));
    EXPECT_EQ(device->find_root("near"), 0);
    EXPECT_EQ(device->root_pages(), std::vector<long>{0x80000000L});   // as stored: it names no page
}

// A writable open takes a probe page; were page 1 wrongly marked free, the
// probe would be page 1 itself, and the names of the file must survive it.
TEST_F(qvPageFileDirectoryTest, A_directory_whose_page_is_marked_free_keeps_its_entries) {
    open(true)->create_root("survivor", 42);
    patch(f, 8, le32(1));   // only page 0 marked
    auto device = open();
    EXPECT_EQ(device->find_root("survivor"), 42);
    EXPECT_EQ(device->allocate(), 2);   // page 1 is marked again
}
