#pragma once
// qvPageLimit: the page count of a page file. Setting it makes the storage
// exactly that many pages long.

class qvPageLimit {
public:
    virtual void limit(long pages) = 0;
    virtual long limit() = 0;

protected:
    qvPageLimit() noexcept = default;
    qvPageLimit(qvPageLimit const&) noexcept = default;
    qvPageLimit& operator=(qvPageLimit const&) noexcept = default;
    ~qvPageLimit() = default;
};
