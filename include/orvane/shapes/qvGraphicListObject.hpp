#pragma once
// qvGraphicListObject: an ordered group of graphics of one scene that is
// handled as one graphic: it answers the graphic interface, the graphic-list
// data access and the attribute interface, and forwards work to its
// members. It owns no shape record and is not stored in a scene.
//
// Keeps true:
//  - every member is a counted handle (qvGraphic), so the list keeps its
//    members' proxies alive; a graphic may be a member more than once;
//  - the scene is set while there are members, all of that scene, and
//    unset (null) while the list is empty; scene() of an empty list fails
//    the assertion "_scene";
//  - a failed add leaves the list unchanged: an empty handle, an empty
//    list, a list that is this one or holds it at any depth (no cycle can
//    form, so fan-outs and the counts always end) and a graphic of another
//    scene are refused (qvErrorFrom<qvGraphicListObject>);
//  - add(list) adds the members the other list holds when the call starts,
//    in order, each through add(graphic): those before a refused one stay;
//  - remove takes the one entry whose stored handle the iterator yields
//    (identity of the entry, so only this list's iterators match); the
//    iterator is consumed;
//  - remove_all releases the members front to back, as the list's own
//    destruction would, after the list is empty; it keeps a few of the
//    emptied list nodes (at most spare_limit, holding empty handles) for
//    the next adds, so a list cleared and refilled with a few graphics
//    again and again (a selection's list) allocates nothing for them;
//  - attribute fan-outs ask each member for its "qvAttributeFolderInterface"
//    in list order, skip members without one, and stop at the first member
//    that raises; the list copies no value;
//  - check_attached() asks every member's, at any depth; a connect (by
//    name or to another object) asks it of the list, and of its source,
//    before any member changes, so a list holding a shape of a closed
//    session is refused as a connect's source or target with every member
//    as it was.

#include <orvane/attributes/qvAttributeInterface.hpp>
#include <orvane/core/qvIndirectIterator.hpp>
#include <orvane/shapes/qvGraphic.hpp>
#include <orvane/shapes/qvGraphicInterface.hpp>
#include <orvane/shapes/qvGraphicListDataAccess.hpp>

#include <cstddef>
#include <list>

using qvGLO_ListOfGraphic = std::list<qvGraphic>;

class qvGraphicListObject : public qvGraphicInterface,
                            public qvGraphicListDataAccess,
                            public qvAttributeInterface {
public:
    qvGraphicListObject() noexcept = default;
    qvGraphicListObject(qvGraphicListObject const&) = delete;
    qvGraphicListObject& operator=(qvGraphicListObject const&) = delete;
    ~qvGraphicListObject() override = default;

    // "qvGraphicListObject" (the whole object), "qvGraphicListDataAccess",
    // "qvAttributeFolderInterface"; anything else null.
    void* query_interface(qvInterfaceInfo const& info) override;
    // "qvGraphicListDataAccess", whatever the interaction: the group
    // adapters move, scale and rotate the members.
    qvInterfaceInfo const* query_interaction(qvInterfaceInfo const& interaction) const override;
    qvContainerScene& scene() const override;
    // Destroys every member's shape; the members stay.
    void destroy_shape() override;

    void add(qvGraphicListDataAccess const& list) override;
    void add(qvGraphic const& graphic) override;
    void remove(qvIndirectIterator<qvGraphic> member) override;
    void remove_all() override;
    qvIndirectIterator<qvGraphic> enumerate() override;
    int size() const override;

    // Sets every member's value.
    void property(qvFolder const& folder, void const* value) override;
    // The members' common value (by the folder's class), null when two
    // differ or none has one. A folder without a class fails "f.type()".
    void const* property(qvFolder const& folder) override;
    // True when every member (all are asked) found the name; true when empty.
    bool connect_attribute(char const* name) override;
    void connect_attribute(qvAttributeFolderInterface const& other) override;
    void disconnect_attribute() override;
    void copy_folder(long source, qvFolder const& folder) override;
    void destroy_folder(qvFolder const& folder) override;
    // A list has no attribute of its own to name.
    qvString attribute_name() override;
    void attribute_name(char const* name) override;
    // The members' common handle, 0 when they differ or share no palette.
    long attribute_handle() const override;
    // The members' common palette, null when they differ or have none.
    qvPalette* attribute_palette() const override;
    // Every member's check, in list order.
    void check_attached() const override;

private:
    // True when `list` is this list or holds it at any depth.
    bool reaches_this(qvGraphicListObject const& list) const;
    [[noreturn]] static void raise(char const* message);

    static constexpr std::size_t spare_limit = 8;

    qvContainerScene* scene_ = nullptr;
    qvGLO_ListOfGraphic members_;
    qvGLO_ListOfGraphic spare_;  // nodes with empty handles, for add
};

QV_INTERFACE_NAME(qvGraphicListObject);
