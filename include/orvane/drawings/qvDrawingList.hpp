#pragma once
// qvDrawingList: the drawing container, a z-ordered list of drawing
// pointers in drawing order: the first is drawn first and lies beneath,
// the last lies on top. Three protected hooks tell a derived list of every
// insertion, removal and move.
//
// Placement codes, as this list reads them (they differ from the view
// manager's, whose list runs the other way):
//   0, 2  immediately before the reference drawing
//   1     immediately after the reference drawing
//   5     at the end (drawn last, on top)
//   6     at the start (drawn first, beneath)
//   other "Placement not supported"
//
// Keeps true:
//  - every check of an operation comes before any change, so a refused
//    operation leaves the list, the counts and the hosts as they were;
//  - a drawing may be in the list more than once; it is counted, walked
//    and (under auto_delete) held once per entry; look-ups find the first
//    entry equal to the drawing;
//  - a move keeps the drawing's count; hooks run after the entry changed;
//  - a copy has entries of its own (one count each under auto_delete) and
//    runs no hook.
// Iterators hold positions in the list: valid while the list is unchanged.
// Errors are qvErrorFrom<qvDrawingList>.

#include <orvane/drawings/qvDrawingContainer.hpp>

#include <deque>
#include <type_traits>

class qvDrawingList : public qvDrawingContainer {
public:
    explicit qvDrawingList(bool auto_delete = false);
    qvDrawingList(qvDrawingList const& other);
    qvDrawingList& operator=(qvDrawingList const& other);
    // Releases every entry under auto_delete; the removal hook is not run.
    ~qvDrawingList() override;

    // Answers "qvDrawingContainer".
    void* query_interface(qvInterfaceInfo const& info) override;

    void add(qvDrawing* d, qvOrder order) override;
    void add(qvDrawing* d, qvOrder order, qvDrawing* reference) override;
    void remove(qvDrawing* d) override;
    void change_order(qvDrawing* d, qvOrder order, qvDrawing* reference) override;
    // Tells the hook of each entry and releases it, then empties the list.
    void clear() override;
    // A null drawing fails the assertion "drawing".
    bool contains(qvDrawing* d) const override;
    int size() const override;
    qvIndirectIterator<qvDrawing> enumerate() override;
    qvIndirectIterator<qvDrawing> query(qvMathRectOf<double> const& area, qvRestrictedTransformation const* rt,
                                        bool reverse) override;

    // Contiguous blocks: a walk over many drawings reads the entries in
    // sequence and can fetch the drawings ahead of the test.
    using Entries = std::deque<qvDrawing*>;

    // Every entry, first to last.
    class SimpleDrawingIterator : public qvIterator<qvDrawing> {
    public:
        explicit SimpleDrawingIterator(Entries& entries);
        qvDrawing* get() override;
        void next() override;
        bool at_end() const override;

    private:
        Entries* entries_;
        Entries::iterator at_;
    };

    // The entries meeting an area, first to last (last to first when
    // `Backward`). A box meets the area when the interiors overlap (touching
    // is not enough; NaN meets nothing); each box is asked anew at each step.
    template <bool Backward>
    class AreaDrawingIterator : public qvIterator<qvDrawing> {
    public:
        AreaDrawingIterator(Entries& entries, qvMathRectOf<double> const& area, qvRestrictedTransformation const* rt);
        qvDrawing* get() override;
        void next() override;
        bool at_end() const override;

    private:
        using Position = std::conditional_t<Backward, Entries::reverse_iterator, Entries::iterator>;
        void skip();
        Entries* entries_;
        Position at_;
        qvMathRectOf<double> area_;
        qvRestrictedTransformation const* rt_;
    };
    using FwdDrawingIterator = AreaDrawingIterator<false>;
    using BwdDrawingIterator = AreaDrawingIterator<true>;

protected:
    virtual void on_drawing_added(qvDrawing* d);
    virtual void on_drawing_removed(qvDrawing* d);
    virtual void on_drawing_order_changed(qvDrawing* d);

private:
    Entries::iterator find(qvDrawing* d);

    Entries entries_;
};
