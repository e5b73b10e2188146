#pragma once
// qvViewWindowScrollNotice: while a device renderer scrolls its own window
// (and memory buffer) and passes the translation down its view, layers that
// would otherwise move the window's pixels themselves learn that the pixels
// have been moved already. A scroll must move the pixels under a layer at
// most once, whichever road drives it.
//
// Keeps true: a notice names one renderer for the length of its scope and
// restores the previous one when the scope ends, so nested scrolls of other
// renderers answer for their own renderer only. The mark is per thread: a
// view is driven from one thread.

class qvBaseRendererObject;

class qvViewWindowScrollNotice {
public:
    explicit qvViewWindowScrollNotice(qvBaseRendererObject const* renderer) noexcept;
    ~qvViewWindowScrollNotice();
    qvViewWindowScrollNotice(qvViewWindowScrollNotice const&) = delete;
    qvViewWindowScrollNotice& operator=(qvViewWindowScrollNotice const&) = delete;

    // Whether `renderer` is moving its window pixels right now.
    static bool moving(qvBaseRendererObject const* renderer) noexcept;

private:
    qvBaseRendererObject const* previous_;
};
