#pragma once
// qvPropertyRef<T>: a typed write-back reference to one folder value of an
// attribute object.
//
// Keeps true: construction reads the current value and runs the type check
// of qvPropertyValue<T>, so a wrongly bound folder fails before anything is
// written. The reference writes at most once: commit() writes the held
// value, erase() removes the folder's value instead, and the destructor
// commits only a value that was assigned and neither committed nor erased.
// A commit failing in the destructor takes the qvError::abort way; a
// destructor never throws.

#include <orvane/attributes/qvPropertyValue.hpp>
#include <orvane/core/qvError.hpp>

template <class T>
class qvPropertyRef : public qvPropertyValue<T> {
public:
    qvPropertyRef(qvAttributeFolderInterface& object, qvFolder const& folder)
        : qvPropertyValue<T>(object, folder), object_(object), folder_(folder) {}
    qvPropertyRef(qvPropertyRef const&) = delete;
    qvPropertyRef& operator=(qvPropertyRef const&) = delete;
    ~qvPropertyRef() {
        if (!assigned_ || written_)
            return;
        try {
            commit();
        } catch (qvError const& error) {
            qvError::abort(error);
        }
    }

    // Stores the value in the reference only.
    qvPropertyRef& operator=(T const& value) {
        this->value_ = value;
        assigned_ = true;
        return *this;
    }

    void commit() {
        written_ = true;
        object_.property(folder_, &this->value_);
    }
    void erase() {
        written_ = true;
        object_.destroy_folder(folder_);
    }

private:
    qvAttributeFolderInterface& object_;
    qvFolder const& folder_;
    bool assigned_ = false;
    bool written_ = false;
};
