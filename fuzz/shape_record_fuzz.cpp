// libFuzzer target of the record reader: the input is read as a run of
// records, each ending in a record the record check accepts or a qvError;
// an assertion, crash, leak or sanitizer report is a finding. A record read
// writes back as the same bytes, and a record of a kind with variable parts
// copies, through its data struct's copy operator, into a block of its own
// size (never past it) as a record that passes the check again (when its
// proxy class id names no other layout that the copy's bytes could break).

#include "fuzz_support.hpp"

#include <orvane/shapes/qvShapeRecords.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include "shapes/qvShapeRecordCheck.hpp"

#include <memory>

namespace {

template <class D>
void copy_data(qvShapeBase const& from, qvShapeBase& to) {
    auto data = [](auto& record) { return reinterpret_cast<D*>(reinterpret_cast<char*>(&record) + 40); };
    data(to)->copy_from(*data(const_cast<qvShapeBase&>(from)));
}

// The record copied by the copy operator of the layout its kind names.
void require_copy_passes(qvShapeBase const& record) {
    std::unique_ptr<qvShapeBase> copy(qvNewShapeRecord(record.size));
    static_cast<qvShapeBase&>(*copy) = record;
    switch (record.kind) {
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
        copy_data<qvCompactPointSetData>(record, *copy);
        break;
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
        copy_data<qvPointSetData>(record, *copy);
        break;
    case qvCompactBezierKind:
        copy_data<qvCompactBezierData>(record, *copy);
        break;
    case qvExactBezierKind:
        copy_data<qvBezierData>(record, *copy);
        break;
    case qvRestrictedTextKind:
    case qvScaledTextKind:
        copy_data<qvTextData>(record, *copy);
        break;
    case qvRestrictedImageKind:
        copy_data<qvRestrictedImageData>(record, *copy);
        break;
    case qvScaledImageKind:
        copy_data<qvScaledImageData>(record, *copy);
        break;
    default:
        return;
    }
    const long by_class = qvKindOfProxyClass(record.proxy_class_id);
    if ((by_class == 0 || by_class == record.kind) && !qvShapeRecordValid(*copy)) {
        std::fprintf(stderr, "finding: the copy of a record of kind %d fails the check\n", record.kind);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    std::stringbuf buffer(qvfuzz::bytes_of(data, size));
    qvInputStream in(&buffer);
    for (int n = 0; n < 16 && in; ++n) {
        orvane::auto_ptr<qvShape<qvShapeData>> record;
        if (!qvfuzz::attempt([&] { record = qvCreateShapeFromSerialization(in); }))
            return 0;
        if (!qvShapeRecordValid(*record)) {
            std::fprintf(stderr, "finding: the reader returned a record that fails the check\n");
            std::abort();
        }
        const std::string bytes(reinterpret_cast<char const*>(record.get()), static_cast<std::size_t>(record->size));
        qvfuzz::require_same(
            bytes, qvfuzz::saved([&](qvOutputStream& out) { qvWriteShapeRecord(out, *record); }, qvVersion()),
            "record");
        require_copy_passes(*record);
    }
    return 0;
}
