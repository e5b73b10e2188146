#pragma once
// The six scoped savers of a flavour port's state. Each remembers the old
// value when made, sets the new one and puts the old one back when
// destroyed, also when an exception leaves the scope, so nested drawing
// code leaves the port as it found it. Clips act on the port's draw object
// (device coordinates); palette, scene and transformation on the port.
//
// Keeps true: copies and assignments are member by member, so a copy
// restores the same old value again when it ends; merged clips only narrow
// (the new clip is the old one intersected with the given region). A
// destructor that meets an error reports it through qvError::abort.

#include <orvane/geometry/qvCrd.hpp>
#include <orvane/geometry/qvRegion.hpp>
#include <orvane/geometry/qvRestrictedTransformation.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

class qvPalette;
class qvScene;

class qvFlavorPortSetClip {
public:
    qvFlavorPortSetClip(qvFlavorPort& port, qvBaseRegion const& clip);
    qvFlavorPortSetClip(qvFlavorPortSetClip const&) = default;
    qvFlavorPortSetClip& operator=(qvFlavorPortSetClip const&) = default;
    ~qvFlavorPortSetClip();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvRegion const& old_clip() const noexcept { return old_clip_; }
    qvBaseRegion const& current_clip() const;

private:
    qvFlavorPort* port_;
    qvRegion old_clip_;
};

class qvFlavorPortMergeClip {
public:
    qvFlavorPortMergeClip(qvFlavorPort& port, qvBaseRegion const& clip);
    qvFlavorPortMergeClip(qvFlavorPortMergeClip const&) = default;
    qvFlavorPortMergeClip& operator=(qvFlavorPortMergeClip const&) = default;
    ~qvFlavorPortMergeClip();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvRegion const& old_clip() const noexcept { return old_clip_; }
    qvRegion const& new_clip() const noexcept { return new_clip_; }
    qvBaseRegion const& current_clip() const;

private:
    qvFlavorPort* port_;
    qvRegion old_clip_;
    qvRegion new_clip_;
};

class qvFlavorPortBrushOrigin {
public:
    qvFlavorPortBrushOrigin(qvFlavorPort& port, qvCrdOf<double> const& origin);
    qvFlavorPortBrushOrigin(qvFlavorPortBrushOrigin const&) = default;
    qvFlavorPortBrushOrigin& operator=(qvFlavorPortBrushOrigin const&) = default;
    ~qvFlavorPortBrushOrigin();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvCrdOf<double> const& old_brush_origin() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvCrdOf<double> old_;
};

class qvFlavorPortPalette {
public:
    qvFlavorPortPalette(qvFlavorPort& port, qvPalette* palette);
    qvFlavorPortPalette(qvFlavorPortPalette const&) = default;
    qvFlavorPortPalette& operator=(qvFlavorPortPalette const&) = default;
    ~qvFlavorPortPalette();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvPalette* old_palette() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvPalette* old_;
};

class qvFlavorPortScene {
public:
    qvFlavorPortScene(qvFlavorPort& port, qvScene* scene);
    qvFlavorPortScene(qvFlavorPortScene const&) = default;
    qvFlavorPortScene& operator=(qvFlavorPortScene const&) = default;
    ~qvFlavorPortScene();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvScene* old_scene() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvScene* old_;
};

class qvFlavorPortTransformation {
public:
    qvFlavorPortTransformation(qvFlavorPort& port, qvRestrictedTransformation const& t);
    qvFlavorPortTransformation(qvFlavorPortTransformation const&) = default;
    qvFlavorPortTransformation& operator=(qvFlavorPortTransformation const&) = default;
    ~qvFlavorPortTransformation();

    qvFlavorPort& flavor_port() const noexcept { return *port_; }
    qvRestrictedTransformation const& old_transformation() const noexcept { return old_; }

private:
    qvFlavorPort* port_;
    qvRestrictedTransformation old_;
};
