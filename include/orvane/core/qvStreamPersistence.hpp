#pragma once
// qvStreamPersistence: the load and save interface of every persistent
// object. It holds no data; objects are never deleted through it.

class qvInputStream;
class qvOutputStream;

class qvStreamPersistence {
public:
    virtual void load(qvInputStream& is) = 0;
    virtual void save(qvOutputStream& os) const = 0;

protected:
    qvStreamPersistence() noexcept = default;
    qvStreamPersistence(qvStreamPersistence const&) noexcept = default;
    qvStreamPersistence& operator=(qvStreamPersistence const&) noexcept = default;
    virtual ~qvStreamPersistence() = default;
};
