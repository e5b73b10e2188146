#pragma once
// qvSymbolPainter: what a symbol looks like, shared by every symbol drawing
// that shows it. Drawings hold a painter through qvSymbolPainterPtr and
// listen to its publisher: a painter's invalidate() makes every drawing
// using it report its whole box to its host.
//
// Keeps true: the painter's count is its own (qvRefBase), so any number of
// pointers made from one raw painter share it; the last one deletes it.

#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvSenderInvalidate.hpp>
#include <orvane/geometry/qvMathRect.hpp>

class qvFlavorPort;
class qvSymbolDrawing;

class qvSymbolPainter : public virtual qvRefBase {
public:
    virtual void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) = 0;
    virtual ~qvSymbolPainter() = default;

    qvSenderInvalidate<qvMathRectOf<double>>& publisher() noexcept { return publisher_; }
    // Every drawing using this painter redraws its box.
    void invalidate() { publisher_.invalidate(); }

protected:
    qvSymbolPainter() = default;
    qvSymbolPainter(qvSymbolPainter const&) = delete;
    qvSymbolPainter& operator=(qvSymbolPainter const&) = delete;

private:
    qvSenderInvalidate<qvMathRectOf<double>> publisher_;
};

using qvSymbolPainterPtr = qvISafePtr<qvSymbolPainter>;
