// The two dispatch tables; see qvBitmapTransformationTables.hpp.

#include "rendering/qvBitmapTransformationTables.hpp"

#include "rendering/qvExactBitmapTransformation.hpp"
#include "rendering/qvGenericBitmapTransformation.hpp"

// Instantiated in qvGenericBitmapTransformationFrom*.cpp.
extern template class qvGenericBitmapTransformation<bool, bool, 0, 0>;
extern template class qvGenericBitmapTransformation<bool, bool, 0, 1>;
extern template class qvGenericBitmapTransformation<bool, bool, 0, 2>;
extern template class qvGenericBitmapTransformation<bool, bool, 1, 0>;
extern template class qvGenericBitmapTransformation<bool, bool, 1, 1>;
extern template class qvGenericBitmapTransformation<bool, bool, 1, 2>;
extern template class qvGenericBitmapTransformation<bool, unsigned char, 0, 1>;
extern template class qvGenericBitmapTransformation<bool, unsigned char, 0, 2>;
extern template class qvGenericBitmapTransformation<bool, unsigned char, 1, 1>;
extern template class qvGenericBitmapTransformation<bool, unsigned char, 1, 2>;
extern template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 1>;
extern template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 2>;
extern template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 1>;
extern template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, bool, 0, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, bool, 0, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, bool, 1, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, bool, 1, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 0>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 0>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 2>;
extern template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 1>;
extern template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 0>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 2>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 0>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 1>;
extern template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 2>;

constinit const qvBitmapTransformationEntry qvExactBitmapTransformations[13] = {
    {2, 2, 0, 0, &qvCopyBitmapTransformation<unsigned char>::instance},
    {2, 2, 0, 1, &qvExactBitmapTransformation<unsigned char, unsigned char, 0>::instance},
    {2, 2, 1, 0, &qvExactBitmapTransformation<unsigned char, unsigned char, 1>::instance},
    {2, 2, 1, 1, &qvExactBitmapTransformation<unsigned char, unsigned char, 1>::instance},
    {2, 3, 0, 1, &qvExactBitmapTransformation<unsigned char, qvRgbaQuad, 0>::instance},
    {2, 3, 1, 1, &qvExactBitmapTransformation<unsigned char, qvRgbaQuad, 1>::instance},
    {3, 2, 0, 1, &qvExactBitmapTransformation<qvRgbaQuad, unsigned char, 0>::instance},
    {3, 2, 1, 1, &qvExactBitmapTransformation<qvRgbaQuad, unsigned char, 1>::instance},
    {3, 3, 0, 0, &qvCopyBitmapTransformation<qvRgbaQuad>::instance},
    {3, 3, 0, 1, &qvCopyBitmapTransformation<qvRgbaQuad>::instance},
    {3, 3, 1, 0, &qvExactBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1>::instance},
    {3, 3, 1, 1, &qvExactBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1>::instance},
    {-1, -1, 0, 0, nullptr},
};

constinit const qvBitmapTransformationEntry qvAffineBitmapTransformations[43] = {
    {1, 1, 0, 0, &qvGenericBitmapTransformation<bool, bool, 0, 0>::instance},
    {1, 1, 0, 1, &qvGenericBitmapTransformation<bool, bool, 0, 1>::instance},
    {1, 1, 0, 2, &qvGenericBitmapTransformation<bool, bool, 0, 2>::instance},
    {1, 1, 1, 0, &qvGenericBitmapTransformation<bool, bool, 1, 0>::instance},
    {1, 1, 1, 1, &qvGenericBitmapTransformation<bool, bool, 1, 1>::instance},
    {1, 1, 1, 2, &qvGenericBitmapTransformation<bool, bool, 1, 2>::instance},
    {1, 2, 0, 1, &qvGenericBitmapTransformation<bool, unsigned char, 0, 1>::instance},
    {1, 2, 0, 2, &qvGenericBitmapTransformation<bool, unsigned char, 0, 2>::instance},
    {1, 2, 1, 1, &qvGenericBitmapTransformation<bool, unsigned char, 1, 1>::instance},
    {1, 2, 1, 2, &qvGenericBitmapTransformation<bool, unsigned char, 1, 2>::instance},
    {1, 3, 0, 1, &qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 1>::instance},
    {1, 3, 0, 2, &qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 2>::instance},
    {1, 3, 1, 1, &qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 1>::instance},
    {1, 3, 1, 2, &qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 2>::instance},
    {2, 1, 0, 1, &qvGenericBitmapTransformation<unsigned char, bool, 0, 1>::instance},
    {2, 1, 0, 2, &qvGenericBitmapTransformation<unsigned char, bool, 0, 2>::instance},
    {2, 1, 1, 1, &qvGenericBitmapTransformation<unsigned char, bool, 1, 1>::instance},
    {2, 1, 1, 2, &qvGenericBitmapTransformation<unsigned char, bool, 1, 2>::instance},
    {2, 2, 0, 0, &qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 0>::instance},
    {2, 2, 0, 1, &qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 1>::instance},
    {2, 2, 0, 2, &qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 2>::instance},
    {2, 2, 1, 0, &qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 0>::instance},
    {2, 2, 1, 1, &qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 1>::instance},
    {2, 2, 1, 2, &qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 2>::instance},
    {2, 3, 0, 1, &qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 1>::instance},
    {2, 3, 0, 2, &qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 2>::instance},
    {2, 3, 1, 1, &qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 1>::instance},
    {2, 3, 1, 2, &qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 2>::instance},
    {3, 1, 0, 1, &qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 1>::instance},
    {3, 1, 0, 2, &qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 2>::instance},
    {3, 1, 1, 1, &qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 1>::instance},
    {3, 1, 1, 2, &qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 2>::instance},
    {3, 2, 0, 1, &qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 1>::instance},
    {3, 2, 0, 2, &qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 2>::instance},
    {3, 2, 1, 1, &qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 1>::instance},
    {3, 2, 1, 2, &qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 2>::instance},
    {3, 3, 0, 0, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 0>::instance},
    {3, 3, 0, 1, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 1>::instance},
    {3, 3, 0, 2, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 2>::instance},
    {3, 3, 1, 0, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 0>::instance},
    {3, 3, 1, 1, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 1>::instance},
    {3, 3, 1, 2, &qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 2>::instance},
    {-1, -1, 0, 0, nullptr},
};

qvBitmapTransformationBase const* qvFindBitmapTransformation(
    qvBitmapTransformationEntry const* table, int source_type, int destination_type, int mask,
    int mode) noexcept {
    for (; table->worker; ++table)
        if (table->source_type == source_type && table->destination_type == destination_type &&
            table->mask == mask && table->mode == mode)
            return table->worker;
    return nullptr;
}
