#pragma once
// qvString: the library's string, and its form on binary streams.
//
// Keeps true: the text is a NUL-terminated heap array owned by the string
// and never null (the empty string is one terminator byte). Copies are deep.
// Every change builds the new array before freeing the old one, so a string
// may be assigned or appended from its own text.
//
// Stream form, little-endian:
//   offset  size    meaning
//        0     2    length n, signed 16-bit, 0..32767
//        2     n    the bytes of the text, no terminator
// Texts of 32,768 bytes or more cannot be written ("String too long for
// stream"); a negative length on input is refused before anything is
// allocated ("Incomplete string on input").

class qvInputStream;
class qvOutputStream;

class qvString {
public:
    qvString();
    qvString(char const* text);  // null gives the empty string
    qvString(qvString const& other);
    ~qvString();

    qvString& operator=(qvString const& other);
    qvString& operator=(char const* text);  // null gives the empty string
    qvString& operator+=(qvString const& other);
    qvString& operator+=(char const* text);  // null appends nothing

    operator char const*() const noexcept { return text_; }
    char const* operator()() const noexcept { return text_; }

    bool empty() const noexcept { return text_[0] == '\0'; }

    // Byte-wise, unsigned, as strcmp. Against a null C string both are false.
    bool operator<(qvString const& other) const noexcept;
    bool operator<(char const* text) const noexcept;
    bool operator==(qvString const& other) const noexcept;
    bool operator==(char const* text) const noexcept;

    // When the text is shorter than n, it becomes n blanks; otherwise nothing
    // changes.
    void reserve(int n);

private:
    friend qvInputStream& operator>>(qvInputStream& is, qvString& s);

    void adopt(char* text) noexcept;

    char* text_;
};

// Writes the length and the bytes; a null text writes length 0 alone. A text
// of 32,768 bytes or more raises qvErrorFrom<qvString> "String too long for
// stream" and writes nothing.
qvOutputStream& operator<<(qvOutputStream& os, qvString const& s);
qvOutputStream& operator<<(qvOutputStream& os, char const* text);

// Replaces the text only when the whole string arrived; on failure s keeps
// its old text.
qvInputStream& operator>>(qvInputStream& is, qvString& s);

// Reads into the caller's array and stores the terminator at p[length]. As
// negative lengths are refused, p never needs more than 32,768 bytes. A null
// p reads nothing.
qvInputStream& operator>>(qvInputStream& is, char* p);
