#pragma once
// qvInterfaceRecordHolder: a holder of the interface record registered
// under a name given at run time, for code that must register an
// interface's record before (or without) knowing the interface's type: the
// start-up registrations.
//
// Keeps true:
//  - it follows the rules of qvUniqueObject: a fill takes one counted use
//    (finding the registered record, or making and registering one);
//    release gives that use back once and frees the record when it was the
//    last; the destructor gives back a use not yet given back;
//  - the record is allocated and freed as a plain one-byte qvInterfaceInfo,
//    the form every holder of interface records uses, so this holder and a
//    typed one (qvInterfaceInfoInstantiation<I>) may each free a record the
//    other made;
//  - it is constant-initialised from its name, which must outlive it.

#include <orvane/core/qvInterfaceInfo.hpp>

class qvInterfaceRecordHolder {
public:
    constexpr explicit qvInterfaceRecordHolder(char const* name) noexcept : name_(name) {}
    qvInterfaceRecordHolder(qvInterfaceRecordHolder const&) = delete;
    qvInterfaceRecordHolder& operator=(qvInterfaceRecordHolder const&) = delete;
    ~qvInterfaceRecordHolder();

    char const* name() const noexcept { return name_; }

    // Get-or-create: fills an empty holder.
    void get_or_create();
    // Gives the holder's use back; true when it was the last and the record
    // was freed.
    bool release();

    qvInterfaceInfo* object = nullptr;

private:
    void fill();

    char const* name_;
    bool counted_ = false;
};
