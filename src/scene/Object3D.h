#pragma once

#include <glm/glm.hpp>

#include <vector>

namespace tolvane {

class Camera;
class Material;
class ODShadowMap;

// Base of every node of the scene graph. A node owns its children, carries a
// transform relative to its parent and computes its world transform on demand
// by walking up the parent chain. The three per-frame operations forward to
// the children by default, so one call on the root drives the whole frame.
class Object3D {
public:
    Object3D();
    // Destroys every child (and through them the whole subtree). The node is
    // not taken out of its parent's children: destroy only the top of a tree.
    virtual ~Object3D();

    Object3D(const Object3D&) = delete;
    Object3D& operator=(const Object3D&) = delete;

    // Advances by the seconds since the previous frame. Default: forwards.
    virtual void update(double elapsedSeconds);
    // Depth-only draw into one shadow map; `camera` is the map's own camera.
    // Default: forwards.
    virtual void drawShadow(Camera* camera, ODShadowMap* shadowMap);
    // Depth of the opaque surfaces as seen through `camera`, drawn with
    // `depthProgram` (current, with view and projection set) before the full
    // draw, so that the full draw shades only what is in front. Default:
    // forwards.
    virtual void drawDepth(Camera* camera, Material* depthProgram);
    // Full draw as seen through `camera`. Default: forwards.
    virtual void draw(Camera* camera);

    // Takes ownership of `child`, appends it and hands it to the current
    // NodeRegistry (the SceneContext, which registers lights). A light must therefore be fully
    // configured before it is added. No check for a child that already has
    // a parent: add every node exactly once.
    void addChild(Object3D* child);

    // Multiply a transform into localMatrix on the right, so it acts in the
    // frame set up by the transforms applied before it.
    void translate(float x, float y, float z);
    void translate(float x, float y);  // z = 0: placement in the screen plane
    // Angle in degrees; the axis need not be of unit length.
    void rotate(float angleDegrees, const glm::vec3& axis);

    // Recomputes worldMatrix from the root down to this node, rewriting the
    // worldMatrix of every ancestor on the way. Nothing is cached.
    void updateWorldMatrix();
    // World computation, then a copy of worldMatrix.
    glm::mat4 getWorldMatrix();
    // World computation, then the translation column of worldMatrix.
    glm::vec3 getWorldPosition();

    Object3D* parent = nullptr;       // not owned; none for a root
    std::vector<Object3D*> children;  // owned, in insertion order
    glm::mat4 localMatrix{1.0f};      // transform relative to the parent
    glm::mat4 worldMatrix{1.0f};      // result of the last world computation
};

}  // namespace tolvane
