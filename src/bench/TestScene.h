#pragma once

#include <glm/glm.hpp>

#include <string>

namespace tolvane {

class AmbientLight;
class CubeGeometry;
class Material;
class Mesh;
class ODShadowMap;
class PerspectiveCamera;
class PointLight;
class Renderer;
class Scene;
class SceneContext;
class Texture;

// A small fixed scene for the pass bench and the tests' pictures: a terracotta cube on a
// checkered floor, lit by a shadow-casting point light that carries a bright
// lamp cube, a dim fill light and the ambient light, seen from above and in
// front, and an initialised Renderer of the picture's size. Needs
// a current GL context and the shaders under Shader/ in the working
// directory. Textures are written to a scratch directory.
class TestScene {
public:
    TestScene(int width, int height);
    ~TestScene();

    TestScene(const TestScene&) = delete;
    TestScene& operator=(const TestScene&) = delete;

    // Renders one frame with the given fade into the window's framebuffer.
    void renderFrame(float fade);
    // The window pixel (from the bottom left) of a world point as the
    // camera sees it.
    glm::ivec2 pixelOf(const glm::vec3& world) const;

    SceneContext* context;
    Scene* root;
    PerspectiveCamera* camera;
    Renderer* renderer;
    CubeGeometry* cube;
    Texture* floorTexture;
    Texture* whiteTexture;
    Material* specularMaterial;  // floor
    Material* boxMaterial;
    Material* lampMaterial;
    Material* shadowProgram;
    ODShadowMap* shadowMap;
    PointLight* keyLight;  // casts shadows; carries the lamp
    PointLight* fillLight;
    Mesh* floor;
    Mesh* box;
    Mesh* lamp;

private:
    int width_;
    int height_;
};

}  // namespace tolvane
