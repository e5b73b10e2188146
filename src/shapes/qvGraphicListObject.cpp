// Graphic lists: members, scene, list operations and attribute fan-out
// (see qvGraphicListObject.hpp and qvGraphicList.hpp).

#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvGraphicListObject.hpp>

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvPropertyClass.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvStlIterator.hpp>

#include <utility>
#include <vector>

namespace {

// The attribute part of a member, null when it has none.
qvAttributeFolderInterface* attributes_of(qvGraphic const& member) {
    return qvQueryInterface<qvAttributeFolderInterface>(member.get());
}

// The list object behind a graphic, null when it is no list.
qvGraphicListObject* list_of(qvGraphic const& g) {
    return static_cast<qvGraphicListObject*>(g->query_interface(qvInterfaceIdentity<qvGraphicListObject>()));
}

}  // namespace

qvGraphicList::qvGraphicList() : Base(qvISafePtr<qvGraphicListObject>(new qvGraphicListObject)) {}

void qvGraphicListObject::raise(char const* message) { qvRaise(qvErrorFrom<qvGraphicListObject>(message)); }

// ---------------------------------------------------------------------------
// Graphic

void* qvGraphicListObject::query_interface(qvInterfaceInfo const& info) {
    if (&info == &qvInterfaceIdentity<qvGraphicListObject>())
        return this;
    return qvOfferInterfaces<qvGraphicListDataAccess, qvAttributeFolderInterface>(this, info);
}

qvInterfaceInfo const* qvGraphicListObject::query_interaction(qvInterfaceInfo const& /*interaction*/) const {
    return &qvInterfaceIdentity<qvGraphicListDataAccess>();
}

qvContainerScene& qvGraphicListObject::scene() const {
    QV_ASSERT_TEXT(scene_ != nullptr, "_scene");
    return *scene_;
}

void qvGraphicListObject::destroy_shape() {
    for (qvGraphic& member : members_)
        member->destroy_shape();
}

// ---------------------------------------------------------------------------
// Members

bool qvGraphicListObject::reaches_this(qvGraphicListObject const& list) const {
    if (&list == this)
        return true;
    for (qvGraphic const& member : list.members_) {
        qvGraphicListObject const* const inner = list_of(member);
        if (inner != nullptr && reaches_this(*inner))
            return true;
    }
    return false;
}

void qvGraphicListObject::add(qvGraphic const& graphic) {
    if (!graphic)
        raise("Cannot insert an empty graphic into a graphic list");
    // An empty list has no scene to read: recognise it through its object.
    if (qvGraphicListObject const* const inner = list_of(graphic)) {
        if (inner->scene_ == nullptr)
            raise("Cannot insert an empty graphic list into a graphic list");
        if (reaches_this(*inner))
            raise("A graphic list cannot contain itself");
    }
    qvContainerScene* const s = &graphic->scene();
    if (scene_ != nullptr && scene_ != s)
        raise("All of the objects in the graphic list must belong to the same scene");
    if (spare_.empty()) {
        members_.push_back(graphic);
    } else {
        spare_.front() = graphic;
        members_.splice(members_.end(), spare_, spare_.begin());
    }
    scene_ = s;
}

void qvGraphicListObject::add(qvGraphicListDataAccess const& list) {
    // The members present now, so that adding a list to itself ends.
    std::vector<qvGraphic> present;
    qvIndirectIterator<qvGraphic> it = const_cast<qvGraphicListDataAccess&>(list).enumerate();
    for (qvGraphic* member = it.operator->(); member != nullptr; member = (++it).operator->())
        present.push_back(*member);
    for (qvGraphic const& member : present)
        add(member);
}

void qvGraphicListObject::remove(qvIndirectIterator<qvGraphic> member) {
    char const* const invalid = "Invalid iterator used to remove an item from graphics list";
    if (members_.empty())
        raise(invalid);
    qvGraphic const* const target = member.operator->();
    for (auto entry = members_.begin(); entry != members_.end(); ++entry) {
        if (&*entry != target)
            continue;
        // The handle goes after the entry is unlinked: a proxy it deletes
        // finds the list consistent.
        const qvGraphic released = std::move(*entry);
        members_.erase(entry);
        if (members_.empty())
            scene_ = nullptr;
        return;
    }
    raise(invalid);
}

void qvGraphicListObject::remove_all() {
    qvGLO_ListOfGraphic released;
    released.swap(members_);
    scene_ = nullptr;
    // A proxy released here may end up in this list again (its destructor
    // adds to it): the nodes join the spares only once every handle is gone.
    for (qvGraphic& member : released)
        member.release();
    std::size_t kept = spare_.size();
    auto end = released.begin();
    while (end != released.end() && kept < spare_limit) {
        ++end;
        ++kept;
    }
    spare_.splice(spare_.end(), released, released.begin(), end);
}

qvIndirectIterator<qvGraphic> qvGraphicListObject::enumerate() {
    return qvIndirectIterator<qvGraphic>(new qvStlIterator<qvGLO_ListOfGraphic>(members_));
}

int qvGraphicListObject::size() const {
    int n = 0;
    for (auto entry = members_.begin(); entry != members_.end(); ++entry)
        ++n;
    return n;
}

// ---------------------------------------------------------------------------
// Attribute fan-out

void qvGraphicListObject::property(qvFolder const& folder, void const* value) {
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            a->property(folder, value);
}

void const* qvGraphicListObject::property(qvFolder const& f) {
    QV_ASSERT_TEXT(f.type() != nullptr, "f.type()");
    void const* common = nullptr;
    for (qvGraphic const& member : members_) {
        qvAttributeFolderInterface* const a = attributes_of(member);
        void const* const value = a != nullptr ? a->property(f) : nullptr;
        if (value == nullptr)
            continue;
        if (common == nullptr)
            common = value;
        else if (!f.type()->equal_objects(common, value))
            return nullptr;
    }
    return common;
}

bool qvGraphicListObject::connect_attribute(char const* name) {
    check_attached();
    bool all = true;
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            all = a->connect_attribute(name) && all;
    return all;
}

// A member's own connect asks the same of the source and of itself, but
// only once the members before it have changed.
void qvGraphicListObject::connect_attribute(qvAttributeFolderInterface const& other) {
    other.check_attached();
    check_attached();
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            a->connect_attribute(other);
}

void qvGraphicListObject::disconnect_attribute() {
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            a->disconnect_attribute();
}

void qvGraphicListObject::copy_folder(long source, qvFolder const& folder) {
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            a->copy_folder(source, folder);
}

void qvGraphicListObject::destroy_folder(qvFolder const& folder) {
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface* const a = attributes_of(member))
            a->destroy_folder(folder);
}

void qvGraphicListObject::check_attached() const {
    for (qvGraphic const& member : members_)
        if (qvAttributeFolderInterface const* const a = attributes_of(member))
            a->check_attached();
}

qvString qvGraphicListObject::attribute_name() { return qvString(); }

void qvGraphicListObject::attribute_name(char const* /*name*/) {}

qvPalette* qvGraphicListObject::attribute_palette() const {
    qvPalette* common = nullptr;
    for (qvGraphic const& member : members_) {
        qvAttributeFolderInterface* const a = attributes_of(member);
        qvPalette* const p = a != nullptr ? a->attribute_palette() : nullptr;
        if (p == nullptr)
            continue;
        if (common == nullptr)
            common = p;
        else if (common != p)
            return nullptr;
    }
    return common;
}

long qvGraphicListObject::attribute_handle() const {
    if (attribute_palette() == nullptr)
        return 0;
    long common = 0;
    for (qvGraphic const& member : members_) {
        qvAttributeFolderInterface* const a = attributes_of(member);
        const long h = a != nullptr ? a->attribute_handle() : 0;
        if (h == 0)
            continue;
        if (common == 0)
            common = h;
        else if (common != h)
            return 0;
    }
    return common;
}
