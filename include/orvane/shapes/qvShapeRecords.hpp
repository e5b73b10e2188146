#pragma once
// Every record type of the sixteen standard kinds, and the check that each
// agrees with the kind table (qvShapeKind.hpp): by proxy class id, its data
// struct stands for the table's kind code and its record has the table's
// fixed size.

#include <orvane/shapes/qvArcData.hpp>
#include <orvane/shapes/qvBezierData.hpp>
#include <orvane/shapes/qvEllipseData.hpp>
#include <orvane/shapes/qvImageData.hpp>
#include <orvane/shapes/qvPointSetData.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvShapeKind.hpp>
#include <orvane/shapes/qvTextData.hpp>

#include <tuple>

// The data structs in the order of their proxy class ids 1 to 16.
using qvStandardShapeData =
    std::tuple<qvRectangleData, qvEllipseData, qvCompactPolyMarkerData, qvCompactBezierData,
               qvCompactPolylineData, qvCompactPolygonData, qvRestrictedTextData, qvScaledTextData,
               qvRestrictedImageData, qvScaledImageData, qvPolyMarkerData, qvBezierData, qvPolylineData,
               qvPolygonData, qvArcData, qvPieSliceData>;

namespace qvShapeKindDetail {

template <std::size_t... I>
constexpr bool standard_data_agrees(std::index_sequence<I...>) {
    return ((std::tuple_element_t<I, qvStandardShapeData>::flavor() == qvKindOfProxyClass(static_cast<long>(I) + 1) &&
             sizeof(qvShape<std::tuple_element_t<I, qvStandardShapeData>>) ==
                 static_cast<std::size_t>(qvFixedRecordSize(qvKindOfProxyClass(static_cast<long>(I) + 1))) &&
             std::is_trivially_copyable_v<qvShape<std::tuple_element_t<I, qvStandardShapeData>>> &&
             alignof(qvShape<std::tuple_element_t<I, qvStandardShapeData>>) <= 8) &&
            ...);
}

}  // namespace qvShapeKindDetail

static_assert(std::tuple_size_v<qvStandardShapeData> == qvStandardProxyClassCount);
static_assert(qvShapeKindDetail::standard_data_agrees(std::make_index_sequence<qvStandardProxyClassCount>{}),
              "a data struct disagrees with the kind table");

// The table's rows by proxy class id, as the record format fixes them.
static_assert([] {
    constexpr std::int32_t sizes[] = {48, 48, 48, 48, 48, 48, 120, 120, 136, 144, 48, 48, 48, 48, 56, 56};
    constexpr std::int32_t kinds[] = {-1, -2, -4, -7, -5, -6, -9, -10, -11, -12, -13, -16, -14, -15, -3, -17};
    for (long id = 1; id <= qvStandardProxyClassCount; ++id)
        if (qvKindOfProxyClass(id) != kinds[id - 1] || qvFixedRecordSize(kinds[id - 1]) != sizes[id - 1] ||
            qvProxyClassOfKind(kinds[id - 1]) != id)
            return false;
    return !qvIsStandardKind(-8) && qvProxyClassOfKind(-8) == 0 && qvKindOfProxyClass(0) == 0 &&
           qvKindOfProxyClass(17) == 0;
}());
