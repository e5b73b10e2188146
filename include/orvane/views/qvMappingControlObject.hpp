#pragma once
// qvMappingControlObject: the mapping control's settings and its table.
// create() makes the library's control (two dimensions of its own, a new
// empty table of its own).
//
// Keeps true: the settings are stored as given (any zoom anchor type is
// kept; see qvMappingControlBaseObject for how it is read). Its own bodies
// of do_left, do_right, do_set_x and do_set_y do nothing.

#include <orvane/views/qvMappingControlBaseObject.hpp>

class qvMappingControl;

class qvMappingControlObject : public qvMappingControlBaseObject {
public:
    ~qvMappingControlObject() override = default;

    static qvMappingControl create();

    qvMappingTable mapping_table() const override { return table_; }
    // Nothing when `table` is the table already used. With an empty handle
    // the control has no links: lookups find nothing and add() links
    // nothing.
    void mapping_table(qvMappingTable const& table) override;
    bool round_off() const override { return round_off_; }
    using qvMappingControlBaseObject::round_off;
    bool independent_zoom() const override { return independent_zoom_; }
    void independent_zoom(bool on) override { independent_zoom_ = on; }
    void zoom_anchor(int type, qvCrdOf<double> const& offset) override {
        zoom_anchor_type_ = type;
        zoom_anchor_offset_ = offset;
    }
    int zoom_anchor_type() const override { return zoom_anchor_type_; }
    qvCrdOf<double> zoom_anchor_offset() const override { return zoom_anchor_offset_; }

protected:
    qvMappingControlObject();
    qvMappingControlObject(qvMappingControlObject const&) = default;
    qvMappingControlObject& operator=(qvMappingControlObject const&) = default;

    void do_left(qvRestrictedTransformation const&) override {}
    void do_right(qvRestrictedTransformation const&) override {}
    void do_set_x(qvRTComponent) override {}
    void do_set_y(qvRTComponent) override {}

    int zoom_anchor_type_ = 9;
    qvCrdOf<double> zoom_anchor_offset_{};
    bool independent_zoom_ = true;
    bool round_off_ = true;
    qvMappingTable table_;
};

QV_INTERFACE_NAME(qvMappingControlObject);
