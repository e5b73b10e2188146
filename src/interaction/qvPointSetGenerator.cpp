// qvPointSetGenerator: the device points of a record (see
// qvPointSetGenerator.hpp).

#include <orvane/interaction/qvPointSetGenerator.hpp>

#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>

#include "rendering/qvShapeRecordPoints.hpp"

namespace {

template <class Data>
unsigned char const* point_generator_nodes(qvShapeBase const& record, long& count) noexcept {
    Data const& data = qvShapeRecordData<Data>(record);
    count = data.count > 0 ? data.count : 0;
    return count > 0 ? reinterpret_cast<unsigned char const*>(data.nodes()) : nullptr;
}

}  // namespace

qvPointSetGenerator::qvPointSetGenerator(qvShapeBase const& record, qvRestrictedTransformation const& t)
    : box_(record.bbox()), t_(t) {
    switch (record.kind) {
    case qvCompactPolyMarkerKind:
    case qvCompactPolylineKind:
    case qvCompactPolygonKind:
        layout_ = Layout::compact;
        nodes_ = point_generator_nodes<qvCompactPointSetData>(record, count_);
        break;
    case qvExactPolyMarkerKind:
    case qvExactPolylineKind:
    case qvExactPolygonKind:
        layout_ = Layout::exact;
        nodes_ = point_generator_nodes<qvPointSetData>(record, count_);
        break;
    case qvCompactBezierKind:
        layout_ = Layout::compact_bezier;
        nodes_ = point_generator_nodes<qvCompactBezierData>(record, count_);
        break;
    case qvExactBezierKind:
        layout_ = Layout::exact_bezier;
        nodes_ = point_generator_nodes<qvBezierData>(record, count_);
        break;
    default:
        break;
    }
    load();
}

void qvPointSetGenerator::next() {
    if (index_ < count_) {
        ++index_;
        load();
    }
}

void qvPointSetGenerator::reset() {
    index_ = 0;
    load();
}

void qvPointSetGenerator::load() noexcept {
    if (index_ < count_)
        current_ = point_at(index_);
}

qvPointSetGenerator::Point qvPointSetGenerator::point_at(long i) const noexcept {
    Point model;
    switch (layout_) {
    case Layout::compact:
        model = qvCompactRecordPoint(box_, reinterpret_cast<qvCompactPointSetData::Node const*>(nodes_)[i]);
        break;
    case Layout::compact_bezier:
        model = qvCompactRecordPoint(box_, reinterpret_cast<qvCompactBezierNode const*>(nodes_)[i].point);
        break;
    case Layout::exact:
        model = reinterpret_cast<qvPointSetData::Node const*>(nodes_)[i];
        break;
    case Layout::exact_bezier:
        model = reinterpret_cast<qvBezierNode const*>(nodes_)[i].point;
        break;
    case Layout::none:
        break;
    }
    return {t_.m0() * model.x + t_.m4(), t_.m3() * model.y + t_.m5()};
}

qvPointTag qvPointSetGenerator::tag_at(long i) const noexcept {
    if (i < 0 || i >= count_)
        return qvPointTag{0};
    switch (layout_) {
    case Layout::compact_bezier: return reinterpret_cast<qvCompactBezierNode const*>(nodes_)[i].tag;
    case Layout::exact_bezier: return reinterpret_cast<qvBezierNode const*>(nodes_)[i].tag;
    default: return qvPointOnCurve;
    }
}
