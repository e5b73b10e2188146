#pragma once
// The membership walk shared by active layers and view managers: whether
// one of the layers an iterator yields is `layer`.
//
// Two handles name the same layer when they share one counter; their object
// pointers may differ (different interface sub-objects of one layer). An
// empty `layer` is in no list. Reading an iterator that holds no
// implementation raises the iterator's "_object.get()".

#include <orvane/core/qvIndirectIterator.hpp>

class qvViewLayer;

bool qvViewLayersContain(qvIndirectIterator<qvViewLayer> layers, qvViewLayer const& layer);
