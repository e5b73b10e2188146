#pragma once
// qvAttributeRepository: the names of a palette's attributes. A name is an
// ordinary palette value under the system folder "attr_name"; the
// repository finds an attribute by its name and holds one palette reference
// on every named attribute, so that a named attribute outlives its last
// shape.
//
// Keeps true: naming goes through the palette the repository is bound to
// (initialize), so a palette wrapped by another one names through the outer
// palette; operations that change an attribute return the handle that now
// carries the change, which the caller adopts.

class qvPalette;

class qvAttributeRepository {
public:
    virtual ~qvAttributeRepository() = default;

    // Binds the repository to the palette it names through.
    virtual void initialize(qvPalette* palette) = 0;
    // The attribute holding the name; 0 for a null or unknown name.
    virtual long handle(char const* name) const = 0;
    // The name of the attribute, or null (handle 0, or no name).
    virtual char const* name(long handle) const = 0;
    // Gives the attribute the name (taking it from the attribute that held
    // it) and returns the handle that now carries it.
    virtual long add_name(long handle, char const* name, bool shared) = 0;
    // Takes the name and the repository's reference away; 0 when the
    // attribute had no name.
    virtual long remove_name(long handle) = 0;

protected:
    qvAttributeRepository() noexcept = default;
    qvAttributeRepository(qvAttributeRepository const&) noexcept = default;
    qvAttributeRepository& operator=(qvAttributeRepository const&) noexcept = default;
};
