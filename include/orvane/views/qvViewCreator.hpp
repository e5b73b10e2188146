#pragma once
// qvViewCreator: the factory of view managers. A new manager holds its root
// group and its background, and draws only the background until layers are
// registered.

#include <orvane/views/qvViewManager.hpp>

class qvViewCreator {
public:
    // A new view manager; empty when none can be made.
    static qvViewManager create();
    // A new view manager holding clones of `other`'s registered layers, in
    // order, with its flags, clipping and background fill; a plain new one
    // when `other` is empty.
    static qvViewManager create(qvViewManager const& other);
};
