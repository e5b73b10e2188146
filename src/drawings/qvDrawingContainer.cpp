// Ownership counts of drawing containers.

#include <orvane/drawings/qvDrawingContainer.hpp>

void qvDrawingContainer::add_ref(qvDrawing* d) const noexcept {
    if (auto_delete_ && d != nullptr)
        d->bump();
}

void qvDrawingContainer::release_ref(qvDrawing* d) const noexcept {
    if (auto_delete_ && d != nullptr && d->dec() == 0)
        delete d;
}

// The counts follow the flag: turning it on takes one count per entry;
// turning it off gives them back without deleting, as the application
// now owns what no other container holds.
void qvDrawingContainer::auto_delete(bool on) {
    if (on == auto_delete_)
        return;
    for (qvIndirectIterator<qvDrawing> it = enumerate(); it; ++it) {
        if (on)
            it->bump();
        else
            it->dec();
    }
    auto_delete_ = on;
}
