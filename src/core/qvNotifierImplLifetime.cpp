// Deletion of sender and receiver implementations held past their owner.

#include <orvane/core/qvNotifierImplLifetime.hpp>

void qvNotifierImplLifetime::release() noexcept {
    if (--holds_ == 0 && orphaned_)
        delete this;
}

void qvNotifierImplLifetime::orphan() noexcept {
    if (holds_ == 0)
        delete this;
    else
        orphaned_ = true;
}
