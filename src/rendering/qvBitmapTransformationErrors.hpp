#pragma once
// The raise funnel of qvBitmapTransformation and qvBitmapFrame, and the one
// checked conversion of a whole-valued double (a floor or a ceiling) into a
// frame edge. Every error of the two classes leaves through here.

[[noreturn]] void qvRaiseBitmapTransformationError(char const* message);

// v as int; NaN or a value outside int raises "Bitmap frame out of range".
int qvBitmapFrameEdge(double v);
