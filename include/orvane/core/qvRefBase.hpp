#pragma once
// qvRefBase: the counter record of counted objects.
//
// Keeps true: `counter` is the number of strong pointers that hold the
// object; the weak list, when present, holds the address of every weak
// pointer that watches the object, and nothing else.
// The record serves two uses: an object that derives from it (as a virtual
// base beside qvDynamicInterface) carries its own count; any other object
// gets a separate record on the heap, made by its first smart pointer.
//
// A copied object starts unshared: copying and assignment leave counts and
// weak lists with their own objects. Counts are plain ints, changed through
// const members so that counting works through const views of an object.
//
// Destruction with a count other than 0 is a broken invariant; since a
// destructor must not throw, it reports "counter == 0" through
// qvError::abort. Otherwise every watching weak pointer is cleared (it reads
// as null afterwards) and the weak list is freed.

class qvRefPtrBase;

class qvRefBase {
public:
    qvRefBase() noexcept = default;
    qvRefBase(qvRefBase const&) noexcept {}
    qvRefBase& operator=(qvRefBase const&) noexcept { return *this; }
    ~qvRefBase();

    // Add or take one strong use; return the new count. Neither deletes.
    int bump() const noexcept { return ++counter_; }
    int dec() const noexcept { return --counter_; }

    qvRefBase* ref_base() const noexcept { return const_cast<qvRefBase*>(this); }

    // The weak list: attach adds the pointer's address; detach removes
    // every entry equal to it and raises "weak" when no list exists, or the
    // long find text when the pointer is not listed.
    void attach(qvRefPtrBase const& wptr) const;
    void detach(qvRefPtrBase const& wptr) const;

private:
    friend class qvRefPtrBase;
    struct WeakList;

    // Whether any weak pointer still watches; lets the pointer that made a
    // separate record decide when the record has no user left.
    bool watched() const noexcept;
    int count() const noexcept { return counter_; }

    mutable int counter_ = 0;
    mutable WeakList* weak_ = nullptr;
};
