#pragma once
// qvRestoreOrAbort: runs a restoring step from a destructor. An error there
// cannot leave the destructor, so it takes the qvError::abort way.

#include <orvane/core/qvError.hpp>

template <class Restore>
void qvRestoreOrAbort(Restore&& restore) noexcept {
    try {
        restore();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}
