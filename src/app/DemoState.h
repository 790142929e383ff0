#pragma once

#include "app/GlfwContext.h"
#include "app/Overlays.h"
#include "app/Settings.h"
#include "base/GlDebugOutput.h"

#include <csignal>

struct GLFWwindow;

namespace tolvane {

class AmbientLight;
class CameraPath;
class CubeGeometry;
class Font;
class Material;
class ModelLoader;
class ODShadowMap;
class Object3D;
class OrthogonalCamera;
class ParticleSystem;
class PerspectiveCamera;
class PointLight;
class QuadGeometry;
class Renderer;
class Scene;
class SceneContext;
class SoundEngine;
class SpriteSheet;
class Text;
class Texture;

// What a tool that plays the demo off-screen asks of the window: none shown,
// and, when both sides are positive, a size that replaces the configured one.
struct WindowRequest {
    bool visible = true;
    int width = 0;   // pixels; 0 keeps Config.ini's
    int height = 0;  // pixels; 0 keeps Config.ini's
};

// Where the demo's timeline stands.
struct TimelineState {
    bool timelineStarted = false;  // the timeline may step
    int timelineState = 0;         // 0 not begun, 1-4 camera path n plays, 5 final
    double lastFpsUpdate = 0.0;    // timer value of the last frame-counter refresh, seconds
};

// What the scene build creates besides the scene tree. Pointers the release
// step deletes are owned by the application; the lights, pivot and particle
// systems are owned by the scene and only referenced here.
struct SceneObjects {
    SceneContext* sceneContext = nullptr;     // owned; the lighting context
    ModelLoader* modelLoader = nullptr;       // owned; keeps the hut's shared material
    CubeGeometry* cubeGeometry = nullptr;     // owned
    QuadGeometry* quadGeometry = nullptr;     // owned
    Texture* fireTexture = nullptr;           // owned
    Texture* fairyDustTexture = nullptr;      // owned
    Texture* smokeTexture = nullptr;          // owned
    Texture* whiteTexture = nullptr;          // owned; loaded with the others, drawn by no node
    SpriteSheet* flameSpriteSheet = nullptr;  // owned
    Material* lightMaterial = nullptr;        // owned; the lamp cube's
    Material* specularMaterial = nullptr;     // owned; drawn by no node
    Material* spriteMaterial = nullptr;       // owned; the flames'
    Material* shadowMaterial = nullptr;       // owned; the program of every shadow map
    Material* alphaTestedShadow = nullptr;    // owned; shadowMaterial's alphaTestedVariant
    ODShadowMap* shadowMap = nullptr;         // owned; the orbiting light's
    Object3D* orbitPivot = nullptr;           // scene's; turns the orbiting light
    PointLight* orbitLight = nullptr;         // scene's; casts the shadows
    PointLight* torchLightA = nullptr;        // scene's; under the first flame
    PointLight* torchLightB = nullptr;        // scene's; under the second flame
    PointLight* campfireLight = nullptr;      // scene's; over the fire pit
    ParticleSystem* smokeSystem = nullptr;    // scene's
    ParticleSystem* fireSystem = nullptr;     // scene's
    ParticleSystem* dustSystem = nullptr;     // scene's
    CameraPath* cameraPaths[4] = {};          // owned, in timeline order
    SoundEngine* soundEngine = nullptr;       // owned; released through drop()
};

// The overlays' own resources: the text program and the two fonts.
struct OverlayResources {
    Material* fontMaterial = nullptr;  // owned; the text program
    Font* textFont = nullptr;          // owned; 48 pixels, loading text, frame counter, credits
    Font* titleFont = nullptr;         // owned; 62 pixels, the credits title
    LoadingScreenPace loadingPace;     // how often the import's progress is drawn
};

// Everything the demo keeps from start-up to the end of its release, in one
// place, each value's start written once, here. The timeline, the scene
// assembly, the overlays and the frame read and write it; the renderer and
// everything below the application are handed what they need instead.
// A test starts afresh by assigning a new instance: `demo = DemoState();`.
struct DemoState {
    Settings settings;            // from Config.ini, else the defaults
    WindowRequest windowRequest;  // a tool's wishes for the window

    GLFWwindow* window = nullptr;  // the only window; owned by GLFW; null without one
    GlfwContext windowContext;     // draws into `window`
    // The context a tool chose before initialise() to render without a window
    // system; null for the demo's GLFW window (see activeGlContext()). Not owned.
    GlContext* glContext = nullptr;
    Renderer* renderer = nullptr;  // owned

    bool running = false;        // the frame loop continues while true
    double frameDelta = 0.0;     // seconds between the starts of the last two frames
    double lastFrameTime = 0.0;  // timer value at the start of the previous frame, seconds
    double timelineClock = 0.0;  // seconds gathered since the last timeline step
    double startTime = 0.0;      // timer value when loading had finished, seconds

    bool showFps = false;         // draw fpsText every frame
    bool showCredits = false;     // draw creditsRoot every frame
    float creditsOpacity = 0.0f;  // rises from 0 to 1 once the credits show

    OrthogonalCamera* overlayCamera = nullptr;  // owned; camera of every overlay
    Text* fpsText = nullptr;                    // owned; frame counter and loading text
    Scene* creditsRoot = nullptr;               // owned; the credits texts
    Scene* scene = nullptr;                     // owned; root of the demo scene
    PerspectiveCamera* camera = nullptr;        // owned through scene

    TimelineState timeline;
    SceneObjects objects;
    OverlayResources overlays;

    GlDebugLog glDebugLog;  // the driver's messages under TOLVANE_GL_DEBUG

    // The signal that asked the program to stop, 0 while none has; written
    // by the signal handler, hence its type.
    volatile std::sig_atomic_t stopSignal = 0;
};

// The demo's one instance.
extern DemoState demo;

}  // namespace tolvane
