#pragma once
// qvGraphicList: the counted handle of a graphic list. Made by its default
// constructor, it holds a new empty list object; a list made from a
// graphic takes that graphic's list object, or stays empty when the graphic
// is no list. A list is never a scene record: the handle constructors that
// name a shape of a scene give an empty handle.

#include <orvane/shapes/qvGraphicListObject.hpp>
#include <orvane/shapes/qvSpecificGraphic.hpp>

class qvGraphicList : public qvSpecificGraphic<qvGraphicListObject> {
    using Base = qvSpecificGraphic<qvGraphicListObject>;

public:
    using Base::Base;
    using Base::operator=;

    // A new empty list.
    qvGraphicList();
};
