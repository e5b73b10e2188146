// Interface records held by name: see qvInterfaceRecordHolder.hpp.

#include "core/qvInterfaceRecordHolder.hpp"

#include <orvane/core/qvError.hpp>

#include <memory>

qvInterfaceRecordHolder::~qvInterfaceRecordHolder() {
    try {
        release();
    } catch (qvError const& error) {
        qvError::abort(error);
    }
}

void qvInterfaceRecordHolder::get_or_create() {
    if (object == nullptr)
        fill();
}

void qvInterfaceRecordHolder::fill() {
    object = static_cast<qvInterfaceInfo*>(qvLookupRegistry(name_));
    if (object == nullptr) {
        auto record = std::make_unique<qvInterfaceInfo>();
        qvInsertRegistry(name_, record.get());
        object = record.release();
    }
    counted_ = true;
}

bool qvInterfaceRecordHolder::release() {
    if (!counted_)
        return false;
    counted_ = false;
    if (!qvRemoveRegistry(name_))
        return false;
    delete object;
    object = nullptr;
    return true;
}
