#pragma once

#include "particles/ParticlePresets.h"
#include "render/ODShadowMap.h"

namespace tolvane {

class AmbientLight;
class CameraPath;
class CubeGeometry;
class Material;
class Object3D;
class ParticleSystem;
class PointLight;
class QuadGeometry;
class SoundEngine;
class SpriteSheet;
class Texture;

// What the scene build creates besides the scene tree. The application owns
// the resources; the lights, pivot and particle systems are owned by the
// scene and only referenced here.
extern CubeGeometry* cubeGeometry;
extern QuadGeometry* quadGeometry;
extern Texture* fireTexture;
extern Texture* fairyDustTexture;
extern Texture* smokeTexture;
extern Texture* whiteTexture;
extern SpriteSheet* flameSpriteSheet;
extern Material* lightMaterial;
extern Material* specularMaterial;
extern Material* spriteMaterial;
extern Object3D* orbitPivot;
extern PointLight* orbitLight;
extern PointLight* torchLightA;
extern PointLight* torchLightB;
extern PointLight* campfireLight;
extern ParticleSystem* smokeSystem;
extern ParticleSystem* fireSystem;
extern ParticleSystem* dustSystem;
extern CameraPath* cameraPaths[4];  // in timeline order; never released
extern SoundEngine* soundEngine;

// Creates the whole demo scene once, between the loading screen and the
// first frame: camera, lighting context, shared resources, the imported hut,
// lights, particle systems, flame billboards, camera paths and sound.
void buildScene();

// Release steps of the application's shutdown, in the order it calls them.
void releaseSoundEngine();
// The model loader, then the materials, geometries and textures.
void releaseSceneResources();
void releaseSceneContext();

}  // namespace tolvane
