#pragma once
// qvFlavorPort: the drawing interface that receives shapes. Scenes set its
// palette and hand it their records; the drawing side implements it (the
// library's own draw objects are a qvDrawObject and a qvFlavorPort in one
// object) and builds its state savers on it. Declared here, where scenes
// and shapes reach it; the thirteen operations are in their table order.
//
// Keeps true: draw_shape reads a record in place, by the layout its kind
// code names, and returns false for a record it did not draw; palette() is
// the palette that resolves the attribute handles of the records it is
// given; text_metrics measures a text drawn with an attribute of it.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/geometry/qvMathRect.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvExtent.hpp>

class qvDrawObject;
class qvPalette;
class qvScene;
struct qvShapeBase;

class qvFlavorPort : public virtual qvDynamicInterface {
public:
    virtual qvDrawObject& draw() = 0;
    // Model to device.
    virtual qvRestrictedTransformation const& transformation() const = 0;
    virtual void transformation(qvRestrictedTransformation const& t) = 0;
    virtual qvRestrictedTransformation const& inverse_transformation() const = 0;
    virtual qvMathRectOf<double> const& device_bbox() const = 0;
    virtual void device_bbox(qvMathRectOf<double> const& box) = 0;
    // The model area that the device box covers.
    virtual qvMathRectOf<double> const& model_bbox() const = 0;
    virtual void scene(qvScene* scene) = 0;
    virtual qvScene* scene() const = 0;
    virtual void palette(qvPalette* palette) = 0;
    virtual qvPalette* palette() const = 0;
    virtual bool draw_shape(qvShapeBase const& record) = 0;
    virtual qvExtent text_metrics(long attribute, char const* text, unsigned length) = 0;

protected:
    qvFlavorPort() noexcept = default;
    qvFlavorPort(qvFlavorPort const&) noexcept = default;
    qvFlavorPort& operator=(qvFlavorPort const&) noexcept = default;
};

QV_INTERFACE_NAME(qvFlavorPort);
