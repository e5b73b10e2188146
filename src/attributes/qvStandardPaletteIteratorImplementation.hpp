#pragma once
// qvStandardPaletteIteratorImplementation: the iterator behind
// qvStandardPalette::enumerate, over the attribute handles in ascending
// order.
//
// Keeps true: it remembers the current handle, not a map position; each
// step looks up the first entry not below (current + 1, root folder), so
// attributes made or released between steps never leave it on a freed
// entry. The value map must outlive the iterator.

#include "attributes/qvSP_PalData.hpp"

#include <orvane/core/qvIterator.hpp>
#include <orvane/core/qvWrap.hpp>

class qvStandardPaletteIteratorImplementation : public qvIterator<qvWrap<long>> {
public:
    explicit qvStandardPaletteIteratorImplementation(qvSP_PalData const& values)
        : values_(values) {
        seek(1);
    }

    qvWrap<long>* get() override { return &current_; }
    void next() override {
        if (!at_end_)
            seek(static_cast<long>(current_) + 1);
    }
    bool at_end() const override { return at_end_; }

private:
    void seek(long from) {
        auto const it = values_.begin_of(from);
        at_end_ = it == values_.entries().end();
        current_ = at_end_ ? 0 : it->first.handle;
    }

    qvSP_PalData const& values_;
    qvWrap<long> current_;
    bool at_end_ = true;
};
