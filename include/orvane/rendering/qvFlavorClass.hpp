#pragma once
// Flavour classes: numbered ways of drawing that an application adds. A
// record with a positive kind code, or whose attribute names a flavour, is
// drawn by the renderer of the flavour class registered under that number
// in the "FlavorClass Registry".
//
// Keeps true: the registration belongs to the object that made it. The
// first live object of an id is registered; a later one with the same id is
// not. A copy keeps the id and is not registered; assignment takes the id
// and gives up any registration of its own; the destructor removes the id
// only when this object registered it and the registry still maps the id
// to this object, so a destroyed copy never unregisters its original.

#include <orvane/core/qvClassRegistry.hpp>

class qvFlavorPort;
struct qvShapeBase;

class qvFlavorRenderer {
public:
    virtual ~qvFlavorRenderer() = default;
    // True when it drew the record.
    virtual bool render(qvFlavorPort& port, qvShapeBase const& record) = 0;
};

class qvFlavorClass {
public:
    using Registry = qvClassRegistry<"FlavorClass Registry">;

    virtual ~qvFlavorClass();
    virtual qvFlavorRenderer& renderer() = 0;

    int handle() const noexcept { return static_cast<int>(id_); }
    bool registered() const noexcept { return registered_; }
    bool operator==(qvFlavorClass const& other) const noexcept { return id_ == other.id_; }

    // The class registered under the id, or null.
    static qvFlavorClass* find(long id);
    // Draws the record with the renderer of the class registered under the
    // id; false, calling nothing, when none is.
    static bool dispatch(long id, qvFlavorPort& port, qvShapeBase const& record);

    static qvUniqueObject<Registry>& registry() noexcept { return Registry::holder(); }

protected:
    explicit qvFlavorClass(long id);
    qvFlavorClass(qvFlavorClass const& other) noexcept : id_(other.id_), registered_(false) {}
    qvFlavorClass& operator=(qvFlavorClass const& other);

private:
    void unregister() noexcept;

    long id_;
    bool registered_;
};
