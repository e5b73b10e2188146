#pragma once
// qvFlavorPortMergeClip: narrows the clip of a flavour port's draw object
// (device coordinates) for a scope, and puts the old clip back when
// destroyed, also when an exception leaves the scope, so nested drawing
// code leaves the port as it found it.
//
// Keeps true: a merged clip only narrows (the new clip is the old one
// intersected with the given region); copies and assignments are member by
// member, so a copy restores the same old clip again when it ends. A
// destructor that meets an error reports it through qvError::abort.

#include <orvane/geometry/qvRegion.hpp>
#include <orvane/shapes/qvFlavorPort.hpp>

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
