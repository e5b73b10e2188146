#pragma once
// qvStandardAttributeRepository: the attribute repository of the standard
// palette, a map from name to attribute handle beside the "attr_name"
// values of the palette it is bound to.
//
// Keeps true, between calls:
//  - a name is in the map exactly when some attribute of the palette holds
//    it under "attr_name", and then the map gives that attribute (after a
//    load of a stream that names two attributes alike: the lowest handle);
//  - each named attribute holds one reference on behalf of the repository;
//    a palette load brings the counts as stored and adds none.
// The palette is not owned; it must outlive every call.

#include <orvane/attributes/qvAttributeRepository.hpp>
#include <orvane/core/qvString.hpp>

#include <map>

class qvStandardAttributeRepository : public virtual qvAttributeRepository {
public:
    qvStandardAttributeRepository() = default;
    qvStandardAttributeRepository(qvStandardAttributeRepository const&) = delete;
    qvStandardAttributeRepository& operator=(qvStandardAttributeRepository const&) = delete;
    ~qvStandardAttributeRepository() override = default;

    void initialize(qvPalette* palette) override { palette_ = palette; }
    long handle(char const* name) const override;
    char const* name(long handle) const override;
    // A null name raises qvErrorFrom<qvStandardAttributeRepository> "Cannot
    // use NULL as a name for an attribute"; handle 0, or a handle the
    // palette does not know, "Cannot associate name with invalid attribute
    // handle". Both are raised before anything changes.
    long add_name(long handle, char const* name, bool shared) override;
    long remove_name(long handle) override;

protected:
    // Rebuilds the map from the palette's "attr_name" values.
    void init();
    // Empties the map.
    void free() noexcept { names_.clear(); }

private:
    qvPalette* palette_ = nullptr;
    std::map<qvString, long> names_;
};
