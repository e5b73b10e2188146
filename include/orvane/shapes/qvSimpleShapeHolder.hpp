#pragma once
// qvSimpleShapeHolder<P>: holds a stand-alone proxy P by value, for the
// pointer-like access of qvSimpleShape (which reaches it through get()).

template <class P>
class qvSimpleShapeHolder {
protected:
    P& object() noexcept { return object_; }
    P* get() noexcept { return &object_; }

private:
    P object_;
};
