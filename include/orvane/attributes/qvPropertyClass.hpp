#pragma once
// qvPropertyClass: the value type of a palette folder. A palette keeps every
// value in one word (a `long`); the folder's class decides what the word
// holds (the value itself, or a pointer to a heap object it owns) and
// creates, destroys, compares, reads and writes such words for the palette.
//
// Keeps true:
//  - every class object stands for the name it was built with: its handle is
//    that name's id in the process-wide "PropertyClass Registry", so objects
//    of one name (and copies) share one handle and compare equal;
//  - a name is removed from the registry only by the object that inserted it
//    (the owner); copies and later objects of the same name never own it;
//  - class objects are process-wide singletons and must outlive every
//    palette holding words of their class, which calls them to destroy the
//    words.
//
// Stream form of a class reference: the class's registered name as a
// qvString (16-bit length, bytes). A name the reading process does not know
// yields the "UNKNOWN" class, which reads its values in the general form.

#include <orvane/core/qvObjectRegistry.hpp>
#include <orvane/core/qvUniqueObject.hpp>

class qvInputStream;
class qvOutputStream;
class qvPalette;

class qvPropertyClass {
public:
    // The unique object "PropertyClass Registry": class names and handles.
    class Registry : public qvObjectRegistry<qvPropertyClass> {
    public:
        static char const* get_name() noexcept { return "PropertyClass Registry"; }
    };

    // The module's one holder of the registry: every class, max_handle and
    // the start-up registration go through it.
    static qvUniqueObject<Registry>& registry() noexcept;

    virtual ~qvPropertyClass();

    // Makes a stored word from a value, copying the value.
    virtual void create_object(long& word, void const* value) const = 0;
    // Releases what a stored word holds.
    virtual void destroy_object(long& word, qvPalette* palette) const = 0;
    // Reads one value into a new stored word; on failure the word is left
    // as it was.
    virtual void load_object(qvInputStream& is, long& word) const = 0;
    virtual void save_object(qvOutputStream& os, long const& word) const = 0;
    // Compares two values given by value pointers; both must be non-null.
    virtual bool equal_objects(void const* a, void const* b) const = 0;
    // A word that stands for a value without owning it (to save or hash a
    // value that is not stored); it must never be destroyed.
    virtual void property(long& word, void const* value) const = 0;
    // The value pointer of a stored word.
    virtual void const* property(long const& word) const = 0;

    int handle() const noexcept { return handle_; }
    bool operator==(qvPropertyClass const& other) const noexcept { return handle_ == other.handle_; }

    // The registry's highest handle.
    static int max_handle();

protected:
    // Registers the name, or takes over the handle it already has.
    explicit qvPropertyClass(char const* name);
    // Stands for the same class; never owns the registration.
    qvPropertyClass(qvPropertyClass const& other) noexcept : handle_(other.handle_), owner_(false) {}
    qvPropertyClass& operator=(qvPropertyClass const&) = delete;

private:
    int handle_;
    bool owner_;
};

// Writes the class's registered name.
qvOutputStream& operator<<(qvOutputStream& os, qvPropertyClass const& type);
// The class registered under the name read, or the "UNKNOWN" class. On
// failure `type` keeps its old value.
qvInputStream& operator>>(qvInputStream& is, qvPropertyClass*& type);
