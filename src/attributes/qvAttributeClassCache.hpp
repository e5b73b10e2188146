#pragma once
// The cached property-class pointers of the typed accessors: one per
// qvAttributeClassId, each the process-wide object of that standard class.
//
// Keeps true: a filled entry is the object held by the class's
// qvStandardPropertyClassHolder, copied from the holder so that no further
// use is counted; the start-up statics fill all 23 at load, and an entry
// still empty (a use before load) is filled on first use the same way. The
// pointers are never cleared: the classes live until unload, after which
// the library is not used.

#include <orvane/attributes/qvPropertyValue.hpp>

class qvPropertyClass;

// The class of the id (filled on demand).
qvPropertyClass& qvAttributeClass(qvAttributeClassId id);
// The entry as it stands, null while unfilled.
qvPropertyClass* qvCachedAttributeClass(qvAttributeClassId id) noexcept;

// The start-up member: fills every entry at load, registers no destructor.
class qvAttributeClassCacheFill {
public:
    qvAttributeClassCacheFill();
    qvAttributeClassCacheFill(qvAttributeClassCacheFill const&) = delete;
    qvAttributeClassCacheFill& operator=(qvAttributeClassCacheFill const&) = delete;
};
