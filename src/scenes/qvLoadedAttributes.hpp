#pragma once
// qvLoadedAttributes: what a scene's stream load does with the attributes
// of the records it reads, so that both scenes load alike. One object per
// load: the scene hands it the palette part of the stream and every record
// before the record is stored, and calls keep() once nothing of the load
// can fail any more. The road is chosen by what the scene's palette holds,
// not by its shapes: styles, named attributes and attributes that objects
// of the application hold live there without any shape. Three roads:
//  - the scene owns its palette and that holds no attribute (a new scene,
//    a new paged file): the stream's palette is read over the scene's and
//    the records keep the handles they were written with, as scenes always
//    loaded (a scene saved again, or a paged file closed, gives the same
//    bytes, names, unused attributes and handle numbers included). The
//    palette's own stream form is kept in memory first, to be read back
//    if the load fails;
//  - it owns its palette and that holds attributes: the stream's palette
//    is read apart, by a qvStandardPalette (every palette of the library
//    writes that form), and each record is given the handle of a copy of
//    its attribute in the scene's palette (qvCopyAttribute), made at the
//    first record that names the attribute; each further one takes one
//    reference more. The copy keeps the stream attribute's shared mark,
//    not its name (the scene's palette keeps its own names); a palette that
//    merges equal attributes may give one that was there before;
//  - it does not own its palette: each record's attribute must be one the
//    palette holds, and the record takes one reference on it, as a shape
//    that connects it does.
// On every road a record naming an attribute that the palette it is read
// against does not hold (0 names none and always passes; a negative handle
// is never held) is damaged input: qvErrorFrom<qvInputStream> "Invalid
// attribute handle on input", raised before the record is given anything.
//
// Keeps true: a record is given a handle only with the reference that goes
// with it. Until keep(), destruction puts the scene's palette back as it
// was: it releases every reference taken, those of the last attribute
// first (so a palette that counts its handles back down ends where it
// began), or reads the kept form back. It never raises: a release that
// fails (a palette may need memory to free an attribute) leaves a count
// too high, never one too low.

#include <orvane/shapes/qvShapeBase.hpp>

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class qvInputStream;
class qvPalette;
class qvStandardPalette;

class qvLoadedAttributes {
public:
    // `owned`: whether the scene owns the palette (and so reads it from
    // the stream). The road is fixed here, as the load begins.
    qvLoadedAttributes(qvInputStream& is, qvPalette& palette, bool owned);
    qvLoadedAttributes(qvLoadedAttributes const&) = delete;
    qvLoadedAttributes& operator=(qvLoadedAttributes const&) = delete;
    ~qvLoadedAttributes();

    // Reads the palette part of the stream; nothing when the palette is
    // not owned.
    void read_palette();
    // Gives `record` its attribute in the scene's palette, with its
    // reference; on the first road only checks that the palette holds it.
    void take(qvShapeBase& record);
    // The load holds: every reference stays with its record.
    void keep() noexcept { kept_ = true; }

private:
    struct Taken {
        long handle;        // in the scene's palette
        long references;    // taken by this load
    };

    void take_reference(qvShapeBase& record);
    void check(long handle);
    // The attribute of the scene's palette that stands for `handle`, with
    // one reference taken on it.
    long first_reference(long handle);
    [[noreturn]] void refuse();
    void give_back() noexcept;

    qvInputStream& is_;
    qvPalette& palette_;
    const bool owned_;
    const bool read_over_;        // the first road
    long checked_ = 0;            // the last handle found in the read palette
    bool kept_ = false;
    std::string saved_palette_;   // with `replaced_`: the scene palette's form before
    bool replaced_ = false;
    std::unique_ptr<qvStandardPalette> stream_palette_;
    std::unordered_map<long, std::size_t> by_stream_handle_;   // index into taken_
    std::vector<Taken> taken_;
};

// Records of one stream mostly name few attributes, often in runs: the
// last handle found is not looked up again.
inline void qvLoadedAttributes::take(qvShapeBase& record) {
    const long handle = record.attribute_handle;
    if (handle == 0)
        return;
    if (!read_over_)
        take_reference(record);
    else if (handle != checked_)
        check(handle);
}
