#pragma once
// qvCustomBrushIO: the kind word and the kind's form of a custom brush
// (the part of the brush's stream form after its version word).
//
// Saving asks the fill for the linear, radial and conical interfaces in this
// order; the first that answers decides the kind. A brush that answers none
// (empty, or a fill of another kind) is written as kind -1 with no body, so
// the reader, which always reads a kind word, stays in step. Loading kind -1
// gives an empty brush; a kind outside -1..2 fails the assertion "false".

class qvCustomBrush;
class qvInputStream;
class qvOutputStream;

class qvCustomBrushIO {
public:
    qvCustomBrushIO() = delete;

    static void save(qvOutputStream& os, qvCustomBrush const& brush);
    // The brush changes only when the whole form was read.
    static void load(qvInputStream& is, qvCustomBrush& brush);
};
