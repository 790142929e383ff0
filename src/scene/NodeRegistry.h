#pragma once

namespace tolvane {

class Object3D;

// Learns of every node added to a parent, anywhere, so that a layer above
// the scene graph (the lighting context, which collects the lights) can
// pick out the nodes it cares for while the graph knows nothing of it. At
// most one registry is current; a node added while none is, is reported to
// no one.
class NodeRegistry {
public:
    NodeRegistry(const NodeRegistry&) = delete;
    NodeRegistry& operator=(const NodeRegistry&) = delete;

    // Called by Object3D::addChild for every node added to any parent.
    virtual void nodeAdded(Object3D* node) = 0;

    // The registry Object3D::addChild reports to; null when none.
    static NodeRegistry* current();

protected:
    // A new registry becomes the current one.
    NodeRegistry();
    // Stops being current, when it still is.
    virtual ~NodeRegistry();

private:
    static NodeRegistry* current_;
};

}  // namespace tolvane
