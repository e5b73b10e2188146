#pragma once
// qvColorMapReference: a view of a colour map, (size, simple flag, entries).
//
// Keeps true: nothing is owned; a reference is copied freely and must not
// outlive the entries it names. Its constness is shallow, as with a span: a
// const reference still names writable entries (a const qvColorMap hides
// this with const accessors of its own).
//
// A simple map is an identity map: the entry for index i is found at
// position i. Any other map is searched by index byte.

class qvColorMapEntry;

class qvColorMapReference {
public:
    qvColorMapReference() noexcept = default;
    qvColorMapReference(int size, bool simple, qvColorMapEntry* entries) noexcept
        : size_(size), simple_(simple), entries_(entries) {}

    int size() const noexcept { return size_; }
    bool simple() const noexcept { return simple_; }
    qvColorMapEntry* data() const noexcept { return entries_; }

    // The entry for index i: for a simple map the entry at position i
    // (assertion "i < _size" beyond the size), otherwise the first entry
    // whose index byte is i (qvErrorFrom<qvColorMapReference> "Wrong colormap
    // index specified" when there is none).
    qvColorMapEntry& operator[](unsigned char i) const;

protected:
    int size_ = 0;
    bool simple_ = true;
    qvColorMapEntry* entries_ = nullptr;

private:
    qvColorMapEntry& find_entry(unsigned char i) const;
};
