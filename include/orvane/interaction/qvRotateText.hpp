#pragma once
// qvRotateText: rotation over a text data access: the anchor turns about
// the centre and the text's angle grows by the rotation angle, without
// being wrapped into a range. The text box is otherwise unchanged.

#include <orvane/interaction/qvAdapterBase.hpp>
#include <orvane/interaction/qvRotateInteraction.hpp>
#include <orvane/shapes/qvTextDataAccess.hpp>

class qvRotateText : public qvAdapterBase, public qvRotateInteraction {
public:
    using DataAccess = qvTextDataAccess;

    explicit qvRotateText(qvTextDataAccess* data) noexcept : data_(data) {}

    // qvRotateInteraction.
    void* query_interface(qvInterfaceInfo const& info) override;

    qvMathRectOf<double> bbox() override;
    void rotate(qvCrdOf<double> centre, double angle) override;

private:
    qvTextDataAccess* data_;
};
