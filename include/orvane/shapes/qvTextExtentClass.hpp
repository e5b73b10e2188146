#pragma once
// qvTextExtentClass: a numbered text-extent provider. Providers are found by
// number in the unique object "TextExtentClass Registry", shared by every
// module of the process; qvTextExtent measures with the one registered under
// the current metric. The library registers one provider of its own, the
// default one (number -4, made on first demand by get_default_extent and
// kept until the process ends), which gives every byte of a text a square
// cell of the font size: width = bytes x size, ascent = size, descent and
// extra 0, and which accepts no size mode (it answers 0 to every request).
//
// Keeps true:
//  - the first provider made under a number keeps it: a later one stays
//    unregistered until its registerMetric(), which replaces whatever holds
//    the number; copies copy the number and register nothing;
//  - the registry never owns a provider. A provider's destructor removes
//    its number when the registry maps it to that very provider, so nothing
//    is left pointing at it; it never re-creates a registry already given
//    back at unload. Host providers are expected to be static objects;
//  - every other use of the registry (constructor, registerMetric,
//    measuring, the metric settings) gets or creates it through the
//    module's holder.

#include <orvane/core/qvClassRegistry.hpp>
#include <orvane/core/qvUniqueObject.hpp>

class qvTextExtentInterface;

class qvTextExtentClass {
public:
    using Registry = qvClassRegistry<"TextExtentClass Registry">;

    // The module's holder of the registry.
    static qvUniqueObject<Registry>& registry() noexcept { return Registry::holder(); }
    // The provider registered under `number`, or null.
    static qvTextExtentClass* find(long number);
    // The default provider, made on the first call: it registers under -4
    // unless a provider holds -4 already, then makes -4 the current metric
    // and asks the current provider for size mode 7.
    static qvTextExtentClass* get_default_extent();

    virtual ~qvTextExtentClass();
    // The measuring interface, or null when the provider has none.
    virtual qvTextExtentInterface* extent_interface() = 0;

    // Registers this provider under its number, replacing any other.
    void registerMetric();

    int handle() const noexcept { return static_cast<int>(number_); }
    bool operator==(qvTextExtentClass const& other) const noexcept { return number_ == other.number_; }

    qvTextExtentClass(qvTextExtentClass const& other) noexcept : number_(other.number_) {}
    // Takes the other's number; a registration this provider held under
    // its old number is removed, since it no longer answers to it.
    qvTextExtentClass& operator=(qvTextExtentClass const& other);

protected:
    // Registers under `number` unless a provider holds it already.
    explicit qvTextExtentClass(long number);

private:
    long number_;
};
