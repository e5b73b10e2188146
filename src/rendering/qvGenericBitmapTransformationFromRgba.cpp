// The generic workers whose source is RGBA, instantiated here so that the
// three source types compile apart.

#include "rendering/qvGenericBitmapTransformation.hpp"

template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 0, 2>;
template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, bool, 1, 2>;
template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 0, 2>;
template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, unsigned char, 1, 2>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 0>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 0, 2>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 0>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 1>;
template class qvGenericBitmapTransformation<qvRgbaQuad, qvRgbaQuad, 1, 2>;
