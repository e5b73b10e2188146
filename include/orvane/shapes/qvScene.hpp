#pragma once
// qvScene: the base of every scene: its drawing side and its notification
// (qvScenePublisher: a rectangle sender and a handle sender). It adds no
// data; the drawing operations stay abstract.

#include <orvane/shapes/qvSceneInterface.hpp>
#include <orvane/shapes/qvScenePublisher.hpp>

class qvScene : public virtual qvSceneInterface, public qvScenePublisher {
public:
    ~qvScene() override = default;
    // Answers "qvScene" and "qvSceneInterface".
    void* query_interface(qvInterfaceInfo const& info) override;

protected:
    qvScene() = default;
};

QV_INTERFACE_NAME(qvScene);
