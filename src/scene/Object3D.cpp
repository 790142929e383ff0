#include "scene/Object3D.h"

#include "scene/NodeRegistry.h"

#include <glm/gtc/matrix_transform.hpp>

namespace tolvane {

namespace {
// Degrees to radians, with the precision the rest of the program uses.
constexpr float kDegreesToRadians = 0.017453292f;
}  // namespace

Object3D::Object3D() = default;

Object3D::~Object3D()
{
    for (Object3D* child : children) {
        delete child;
    }
}

void Object3D::update(double elapsedSeconds)
{
    for (Object3D* child : children) {
        child->update(elapsedSeconds);
    }
}

void Object3D::drawShadow(Camera* camera, ODShadowMap* shadowMap)
{
    for (Object3D* child : children) {
        child->drawShadow(camera, shadowMap);
    }
}

void Object3D::drawDepth(Camera* camera, Material* depthProgram)
{
    for (Object3D* child : children) {
        child->drawDepth(camera, depthProgram);
    }
}

void Object3D::draw(Camera* camera)
{
    for (Object3D* child : children) {
        child->draw(camera);
    }
}

void Object3D::addChild(Object3D* child)
{
    child->parent = this;
    children.push_back(child);
    // Nodes added before the context exists (overlay texts at start-up) are
    // never lights, so there is nothing to register for them.
    if (NodeRegistry* registry = NodeRegistry::current()) {
        registry->nodeAdded(child);
    }
}

void Object3D::translate(float x, float y, float z)
{
    localMatrix = glm::translate(localMatrix, glm::vec3(x, y, z));
}

void Object3D::translate(float x, float y)
{
    translate(x, y, 0.0f);
}

void Object3D::rotate(float angleDegrees, const glm::vec3& axis)
{
    localMatrix = glm::rotate(localMatrix, angleDegrees * kDegreesToRadians, axis);
}

void Object3D::updateWorldMatrix()
{
    if (parent == nullptr) {
        worldMatrix = localMatrix;
        return;
    }
    parent->updateWorldMatrix();
    worldMatrix = parent->worldMatrix * localMatrix;
}

glm::mat4 Object3D::getWorldMatrix()
{
    updateWorldMatrix();
    return worldMatrix;
}

glm::vec3 Object3D::getWorldPosition()
{
    updateWorldMatrix();
    return {worldMatrix[3][0], worldMatrix[3][1], worldMatrix[3][2]};
}

}  // namespace tolvane
