// The generic workers whose source is monochrome, instantiated here so that the
// three source types compile apart.

#include "rendering/qvGenericBitmapTransformation.hpp"

template class qvGenericBitmapTransformation<bool, bool, 0, 0>;
template class qvGenericBitmapTransformation<bool, bool, 0, 1>;
template class qvGenericBitmapTransformation<bool, bool, 0, 2>;
template class qvGenericBitmapTransformation<bool, bool, 1, 0>;
template class qvGenericBitmapTransformation<bool, bool, 1, 1>;
template class qvGenericBitmapTransformation<bool, bool, 1, 2>;
template class qvGenericBitmapTransformation<bool, unsigned char, 0, 1>;
template class qvGenericBitmapTransformation<bool, unsigned char, 0, 2>;
template class qvGenericBitmapTransformation<bool, unsigned char, 1, 1>;
template class qvGenericBitmapTransformation<bool, unsigned char, 1, 2>;
template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 1>;
template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 0, 2>;
template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 1>;
template class qvGenericBitmapTransformation<bool, qvRgbaQuad, 1, 2>;
