#pragma once
// The seven symbol painters of the library. Each keeps its stand-alone
// shapes between draws and rewrites them in place, so a view full of like
// symbols holds one set of shapes; each stamps its attribute's handle into
// its records (handle 0 without an attribute) and draws with the palette
// the port has, except the square, which draws with its attribute's palette
// and puts the port's back on every exit.

#include <orvane/attributes/qvSharedAttribute.hpp>
#include <orvane/drawings/qvSymbolPainter.hpp>
#include <orvane/shapes/qvSimpleEllipse.hpp>
#include <orvane/shapes/qvSimplePolygon.hpp>
#include <orvane/shapes/qvSimplePolyline.hpp>
#include <orvane/shapes/qvSimpleRectangle.hpp>

// What the library painters share: the attribute and its replacement.
class qvAttributedSymbolPainter : public qvSymbolPainter {
public:
    qvSharedAttribute const& attribute() const noexcept { return attribute_; }
    // Replaces the attribute; every drawing using this painter redraws.
    void attribute(qvSharedAttribute const& a);

protected:
    explicit qvAttributedSymbolPainter(qvSharedAttribute const& a) : attribute_(a) {}
    long attribute_handle() const;

private:
    qvSharedAttribute attribute_;
};

class qvCircleSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvCircleSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimpleEllipse ellipse_;
};

class qvCrossSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvCrossSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimplePolyline lines_[2];
};

class qvDiamondSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvDiamondSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimplePolygon polygon_;
};

class qvPlusSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvPlusSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimplePolyline lines_[2];
};

class qvSquareSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvSquareSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimpleRectangle rectangle_;
};

class qvStarSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvStarSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimplePolyline lines_[4];
};

class qvTriangleSymbolPainter : public qvAttributedSymbolPainter {
public:
    explicit qvTriangleSymbolPainter(qvSharedAttribute const& a = {}) : qvAttributedSymbolPainter(a) {}
    void draw(qvFlavorPort& port, qvSymbolDrawing const& drawing) override;

private:
    qvSimplePolygon polygon_;
};
