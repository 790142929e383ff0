#pragma once

#include <string>

struct GLFWwindow;

// The application's process-wide state and its start-up and release steps.
// These values live from start-up to the end of releaseAll(); the timeline,
// the scene assembly, the overlays and the renderer read them directly.
namespace tolvane {

class Renderer;
class OrthogonalCamera;
class PerspectiveCamera;
class Text;
class Scene;

// Settings from Config.ini (built-in defaults when it does not set them).
extern int width;          // window width, pixels
extern int height;         // window height, pixels
extern bool fullscreen;    // full screen on the primary monitor
extern int refreshRate;    // GLFW_REFRESH_RATE hint, 0 = don't care
extern float ambient;      // intensity of the scene's ambient light
extern float intensity;    // intensity of the orbiting point light

extern GLFWwindow* window;   // the only window; owned by GLFW
extern Renderer* renderer;   // owned

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

// Where the program reads time: glfwGetTime normally. A capture run replaces
// it with a clock that advances by a fixed step per frame.
using TimeSource = double (*)();
extern TimeSource timeSource;
double currentTime();

// Brings up GLFW, reads Config.ini, opens the window, loads the GL entry
// points and creates the renderer. Any failure is fatal.
void initialise();

// Draws one frame into the window's back buffer: the renderer's passes, then
// the frame counter and the credits when they are shown.
void renderFrame();

// Reads the clock once at the start of a frame: moves frameDelta,
// lastFrameTime and timelineClock on.
void tickClock();

// One pass of the frame loop after the clock has been read: updateFrame(),
// drawFrame(), presentFrame().
void runFrame();
// Input and the demo's update for one frame.
void updateFrame();
// The frame into the back buffer, then the GL error check; a capture reads
// the pixels between this and presentFrame().
void drawFrame();
// Swaps the buffers and checks for GL errors again.
void presentFrame();

// Releases what start-up and the scene build created, in a fixed order.
void releaseAll();

}  // namespace tolvane
