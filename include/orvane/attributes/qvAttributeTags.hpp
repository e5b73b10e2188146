#pragma once
// qvBrush, qvPen, qvMarker, qvFont: empty tag classes. They carry no
// attribute content; the library itself does not use them.

class qvBrush {
public:
    void gcc_warning() const noexcept {}
};

class qvPen {
public:
    void gcc_warning() const noexcept {}
};

class qvMarker {
public:
    void gcc_warning() const noexcept {}
};

class qvFont {
public:
    void gcc_warning() const noexcept {}
};
