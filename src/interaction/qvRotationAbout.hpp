#pragma once
// The rotation by `angle` degrees about `centre`, shared by the rotation
// adapters: move the centre to the origin, turn, move back.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRotation.hpp>
#include <orvane/geometry/qvTransformation.hpp>
#include <orvane/geometry/qvTranslation.hpp>

inline qvTransformation qvRotationAbout(qvCrdOf<double> centre, double angle) {
    const qvTransformation back = qvTranslation(centre);
    const qvTransformation to_origin = qvTranslation(-centre.x, -centre.y);
    return back * (qvRotation(angle) * to_origin);
}
