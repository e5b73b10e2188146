// The hosting drawing list: hosts follow membership.

#include "drawings/InternalDrawingList.hpp"

void InternalDrawingList::on_drawing_added(qvDrawing* d) {
    if (d != nullptr)
        d->host(host_);
}

void InternalDrawingList::on_drawing_removed(qvDrawing* d) {
    if (d != nullptr)
        d->host(nullptr);
}

void InternalDrawingList::release_hosts() noexcept {
    for (qvIndirectIterator<qvDrawing> it = enumerate(); it; ++it)
        if (it->host() == host_)
            it->host(nullptr);
}
