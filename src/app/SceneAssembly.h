#pragma once

namespace tolvane {

// Creates the whole demo scene once, between the loading screen and the
// first frame, into demo.scene, demo.camera and demo.objects: camera,
// lighting context, shared resources, the imported hut, lights, particle
// systems, flame billboards, camera paths and sound.
void buildScene();

// Release steps of the application's shutdown, in the order it calls them.
void releaseSoundEngine();
// The model loader, then the materials, geometries and textures.
void releaseSceneResources();
// The lighting context, after the scene; then the camera paths.
void releaseSceneContext();

}  // namespace tolvane
