// The record stream form: records travel byte for byte, a record reads
// with one read after its header, and neither a short stream nor a lying
// size field makes the reader allocate more than the stream delivered.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include "qvAllocationProbe.hpp"
#include "qvPaletteTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace {

using RecordPtr = std::unique_ptr<qvShapeBase>;
using palette_test::expect_raises;

char const* const incomplete = "Incomplete data on input";
char const* const invalid = "Invalid shape record on input";

// Counts the reads that reach the buffer.
class CountingBuf : public std::stringbuf {
public:
    explicit CountingBuf(std::string const& bytes) : std::stringbuf(bytes) {}
    int reads = 0;

protected:
    std::streamsize xsgetn(char* s, std::streamsize n) override {
        ++reads;
        return std::stringbuf::xsgetn(s, n);
    }
};

std::string bytes_of(qvShapeBase const& record) {
    return std::string(reinterpret_cast<char const*>(&record), static_cast<std::size_t>(record.size));
}

template <class Write>
std::string written(Write&& write) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(), false);
    write(out);
    return buffer.str();
}

// The record read from `bytes`, with the number of buffer reads it took.
RecordPtr read_one(std::string const& bytes, int* reads = nullptr) {
    CountingBuf buffer(bytes);
    qvInputStream in(&buffer);
    buffer.reads = 0;
    RecordPtr record(qvCreateShapeFromSerialization(in).release());
    if (reads != nullptr)
        *reads = buffer.reads;
    return record;
}

std::string header_with_size(std::int32_t size) {
    qvShapeBase header(-1);
    header.size = size;
    return std::string(reinterpret_cast<char const*>(&header), 40);
}

RecordPtr rectangle_with_patterned_reserve() {
    RecordPtr record(qvNewShapeRecord(48));
    record->shape_handle = 7;
    record->user_handle = 9;
    record->proxy_class_id = 1;
    record->kind = qvRectangleKind;
    record->attribute_handle = 3;
    record->box = qvMathRectOf<float>(1.5f, -2, 4, 8);
    auto* reserved = reinterpret_cast<unsigned char*>(record.get()) + 40;
    for (int i = 0; i < 8; ++i)
        reserved[i] = static_cast<unsigned char>(0xA1 + i);
    return record;
}

}  // namespace

TEST(qvShapeSerialization, A_rectangle_travels_byte_for_byte_with_its_reserved_bytes) {
    const RecordPtr record = rectangle_with_patterned_reserve();
    auto const& typed = *static_cast<qvShape<qvRectangleData> const*>(record.get());
    const std::string stream = written([&](qvOutputStream& out) { out << typed; });
    EXPECT_EQ(stream, bytes_of(*record));
    int reads = 0;
    const RecordPtr back = read_one(stream, &reads);
    EXPECT_EQ(bytes_of(*back), stream);
    EXPECT_EQ(reads, 2);   // the header, then the rest in one
    EXPECT_EQ(written([&](qvOutputStream& out) { qvWriteShapeRecord(out, *back); }), stream);
}

TEST(qvShapeSerialization, A_bare_header_is_its_40_bytes_and_a_short_one_changes_nothing) {
    const RecordPtr record = rectangle_with_patterned_reserve();
    const std::string stream = written([&](qvOutputStream& out) { out << *record; });
    EXPECT_EQ(stream, bytes_of(*record).substr(0, 40));

    qvShapeBase header;
    std::stringbuf full(stream);
    qvInputStream in(&full);
    in >> header;
    EXPECT_EQ(std::memcmp(&header, record.get(), 40), 0);

    qvShapeBase untouched(-5);
    std::stringbuf short_buffer(stream.substr(0, 39));
    qvInputStream short_in(&short_buffer);
    expect_raises<qvErrorFrom<qvInputStream>>([&] { short_in >> untouched; }, incomplete);
    EXPECT_EQ(untouched.kind, -5);
    EXPECT_EQ(untouched.size, 0);
}

TEST(qvShapeSerialization, A_40_byte_record_takes_one_read_and_leaves_what_follows) {
    qvShapeBase bare(7);   // a flavour shape with no data
    bare.size = 40;
    const std::string stream = std::string(reinterpret_cast<char const*>(&bare), 40) + "Z";
    CountingBuf buffer(stream);
    qvInputStream in(&buffer);
    buffer.reads = 0;
    const RecordPtr record(qvCreateShapeFromSerialization(in).release());
    EXPECT_EQ(buffer.reads, 1);
    EXPECT_EQ(record->size, 40);
    EXPECT_EQ(record->kind, 7);
    EXPECT_EQ(in.get(), 'Z');
}

TEST(qvShapeSerialization, Short_streams_raise_incomplete_data) {
    const std::string stream = bytes_of(*rectangle_with_patterned_reserve());
    for (std::size_t cut : {0u, 39u, 40u, 47u})
        expect_raises<qvErrorFrom<qvInputStream>>([&] { read_one(stream.substr(0, cut)); }, incomplete);
}

TEST(qvShapeSerialization, Lying_sizes_fail_without_allocating_what_they_claim) {
    for (std::int32_t size : {39, 0, -1, 0x7FFFFFFF}) {
        qv_allocation_probe::reset();
        expect_raises<qvErrorFrom<qvInputStream>>([&] { read_one(header_with_size(size) + "12345678"); },
                                                  incomplete);
        EXPECT_LE(qv_allocation_probe::largest_request, std::size_t{1} << 16) << size;
    }
    // A long record grows with what arrives: at most twice the delivered bytes.
    const std::string delivered = header_with_size(1'000'000) + std::string(100'000, 'x');
    qv_allocation_probe::reset();
    expect_raises<qvErrorFrom<qvInputStream>>([&] { read_one(delivered); }, incomplete);
    EXPECT_LE(qv_allocation_probe::largest_request, 2 * delivered.size());
}

TEST(qvShapeSerialization, A_record_longer_than_a_chunk_reads_back_whole) {
    RecordPtr record(qvNewShapeRecord(200'000));
    record->kind = 3;   // a flavour shape: its bytes are its own
    auto* bytes = reinterpret_cast<unsigned char*>(record.get());
    for (int i = 40; i < record->size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    const std::string stream = bytes_of(*record);
    EXPECT_EQ(bytes_of(*read_one(stream)), stream);
}

TEST(qvShapeSerialization, Records_that_do_not_fit_their_layout_are_refused_after_reading) {
    RecordPtr polygon(qvNewShapeRecord(60));
    polygon->kind = qvExactPolygonKind;
    auto& points = *reinterpret_cast<qvPolygonData*>(reinterpret_cast<char*>(polygon.get()) + 40);
    points.count = 3;
    points.offset = 4;
    const std::string stream = bytes_of(*polygon) + "next";
    std::stringbuf buffer(stream);
    qvInputStream in(&buffer);
    expect_raises<qvErrorFrom<qvInputStream>>([&] { qvCreateShapeFromSerialization(in); }, invalid);
    EXPECT_EQ(in.get(), 'n');   // the record's bytes were consumed

    points.count = 0;
    points.offset = -7;
    EXPECT_EQ(read_one(bytes_of(*polygon))->size, 60);
}
