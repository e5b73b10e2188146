#pragma once
// qvPageStorage: page I/O and the page limit of one store, together.

#include <orvane/scenes/qvPageIO.hpp>
#include <orvane/scenes/qvPageLimit.hpp>

class qvPageStorage : public qvPageIO, public qvPageLimit {
protected:
    qvPageStorage() noexcept = default;
    qvPageStorage(qvPageStorage const&) noexcept = default;
    qvPageStorage& operator=(qvPageStorage const&) noexcept = default;
    ~qvPageStorage() = default;
};
