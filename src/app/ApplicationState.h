#pragma once

struct GLFWwindow;

// The application's process-wide state. These values live from start-up to
// the end of releaseAll(). The timeline, the scene assembly and the overlays
// read them directly, and so do the renderer (window size, scene, camera) and
// the ambient light (its intensity): this is the only application header
// the rendering, particle and import code include besides the diagnostics.
namespace tolvane {

class Renderer;
class OrthogonalCamera;
class PerspectiveCamera;
class Text;
class Scene;
class GlContext;

// Settings from Config.ini (built-in defaults when it does not set them).
extern int width;        // window width, pixels
extern int height;       // window height, pixels
extern bool fullscreen;  // full screen on the primary monitor
extern int refreshRate;  // GLFW_REFRESH_RATE hint, 0 = don't care
extern float ambient;    // intensity of the scene's ambient light
extern float intensity;  // intensity of the orbiting point light

extern GLFWwindow* window;  // the only window; owned by GLFW; null without one
// The context a tool chose before initialise() to render without a window
// system; null for the demo's GLFW window (see activeGlContext()). Not owned.
extern GlContext* glContext;
extern Renderer* renderer;  // owned

extern bool running;          // the frame loop continues while true
extern double frameDelta;     // seconds between the starts of the last two frames
extern double lastFrameTime;  // timer value at the start of the previous frame
extern double timelineClock;  // seconds accumulated since the last timeline step
extern double startTime;      // timer value when loading had finished

extern bool showFps;      // draw fpsText every frame
extern bool showCredits;  // draw creditsRoot every frame

extern OrthogonalCamera* overlayCamera;  // owned; camera of every overlay
extern Text* fpsText;                    // owned; frame counter and loading text
extern Scene* creditsRoot;               // owned; the credits texts
extern Scene* scene;                     // owned; root of the demo scene
extern PerspectiveCamera* camera;        // owned through scene

// Window overrides for tools that play the demo off-screen: a hidden window
// and, when both are positive, a size that replaces the configured one.
extern bool windowVisible;
extern int windowWidthOverride;
extern int windowHeightOverride;

// Puts every value above and the timeline's state back to its start value
// without releasing anything: for tests that build pieces of the demo by hand.
void resetApplicationState();

}  // namespace tolvane
