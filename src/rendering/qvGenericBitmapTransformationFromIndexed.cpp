// The generic workers whose source is indexed, instantiated here so that the
// three source types compile apart.

#include "rendering/qvGenericBitmapTransformation.hpp"

template class qvGenericBitmapTransformation<unsigned char, bool, 0, 1>;
template class qvGenericBitmapTransformation<unsigned char, bool, 0, 2>;
template class qvGenericBitmapTransformation<unsigned char, bool, 1, 1>;
template class qvGenericBitmapTransformation<unsigned char, bool, 1, 2>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 0>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 1>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 0, 2>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 0>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 1>;
template class qvGenericBitmapTransformation<unsigned char, unsigned char, 1, 2>;
template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 1>;
template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 0, 2>;
template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 1>;
template class qvGenericBitmapTransformation<unsigned char, qvRgbaQuad, 1, 2>;
