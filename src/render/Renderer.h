#pragma once

#include "base/GlObject.h"
#include "base/NoCreate.h"
#include "render/OutputViewport.h"

#include <GL/glew.h>

#include <memory>

namespace tolvane {

class Camera;
class Material;
class PerspectiveCamera;
class Scene;

// What a frame shows: a scene root seen through a camera. Neither is owned.
struct View {
    Scene* scene = nullptr;
    Camera* camera = nullptr;
};

// Draws one frame of a View: fills the shadow cube maps of the registered
// shadow-casting lights, draws the scene into a floating-point framebuffer
// with two colour outputs (the scene and its bright part), blurs the bright
// part with ten passes that alternate between the axes and widen their
// stride from pair to pair (a binomial kernel per pass, a round halo
// together), and composes scene, bloom and the global fade onto the window.
// Also holds the fade state the timeline drives.
// All targets are allocated once by init() at the start-up window size; the
// scene and camera are handed to each frame, so a renderer knows nothing of
// the application that owns them.
class Renderer {
public:
    // Builds the composition, blur and depth pre-pass programs, the last
    // also in its alpha-tested variant (fatal on failure); fade 0.
    Renderer();
    // No programs and no targets: the fade state alone, which needs no GL.
    explicit Renderer(NoCreateT);
    // Releases the programs and, when init() has created them, the targets.
    virtual ~Renderer();

    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Takes the window's size (pixels), sets the viewport to the whole window
    // and creates the off-screen targets. Call once.
    void init(int windowWidth, int windowHeight);

    // One frame of `view`: shadowPass(), scenePass(), then compose(); or,
    // while the fade is 0 and skipsBlackFrames, only the black picture the
    // passes would give.
    void render(const View& view);
    // Depth of the view's scene into every registered shadow map, the faces
    // its camera can see the lookups of; skipped without shadow maps. Leaves
    // framebuffer 0 bound and the window viewport restored.
    void shadowPass(const View& view);
    // Clears and draws the view into the HDR framebuffer.
    void scenePass(const View& view);
    // Blurs the bright target and draws scene plus bloom onto the window.
    void compose();
    // Ten separable blur passes over `source` (a texture of the window's size);
    // returns the ping-pong texture written last. Leaves framebuffer 0 bound.
    GLuint blur(GLuint source);

    // The passes above without their GPU timing scope, so that the bench can
    // time the same work, or the same work with other programs, as its own.
    // Every face without `viewer`; `program` replaces every map's own depth
    // program when given.
    void drawShadowMaps(Scene* scene, const PerspectiveCamera* viewer, Material* program = nullptr);
    // With `depthFirst` (and a depth program) the opaque meshes' depth is
    // laid down first and the full draw tests with LEQUAL, so the costly lit
    // programs shade each pixel about once whatever the draw order.
    void drawScene(const View& view, bool depthFirst = true);
    // The start of drawScene: binds the HDR framebuffer, clears it and sets
    // the depth test and face culling of the scene pass.
    void bindSceneTarget();
    // The ten passes with `program`, which reads unit 0 and is given the
    // `horizontal` (1 or 0) and `blurPass` (0 to 9) uniforms.
    GLuint blurWith(Material& program, GLuint source);
    // Draws the window picture from the scene texture and `bloom` into the
    // output viewport, the rest of framebuffer 0 black. Leaves that viewport
    // set, so overlays drawn next lie over the picture.
    void present(GLuint bloom);

    // Starts fading in when no fade-out runs and the picture is black.
    void startFadeIn();
    // Starts fading out when no fade-in runs and the picture is full.
    void startFadeOut();
    // Moves the running fade on by `elapsedSeconds` (a full fade takes half a
    // second) and ends it at 0 or 1.
    void advanceFade(double elapsedSeconds);

    int width = 0;   // pixels, from the start-up configuration
    int height = 0;  // pixels
    // Where in framebuffer 0 the finished picture goes: the whole of a
    // width x height framebuffer from init() on. A window whose framebuffer
    // has another size (a tiling compositor, full screen at another mode)
    // sets the rectangle that fits it; the passes before the composition
    // still draw width x height pixels.
    OutputViewport output;
    float fade = 0.0f;  // picture brightness, 0 black to 1 full
    bool fadingIn = false;
    bool fadingOut = false;
    bool postProcessing = true;  // the HDR path is used
    // Frames under a fade of 0 are drawn black without the passes (the same
    // picture, for next to nothing); off only to compare the two.
    bool skipsBlackFrames = true;

    // The targets init() creates, all four-channel float, which OpenGL 3.3
    // promises to render to: half floats on a graphics card, full floats on
    // a software renderer, which converts every half float it reads or
    // writes. The HDR framebuffer (0 when it could not be
    // completed) with the scene as colour attachment 0 and its bright part as
    // attachment 1, and the two ping-pong targets of the blur, texture i
    // being attachment 0 of framebuffer i.
    GLuint hdrFramebuffer() const { return hdrFramebuffer_.name(); }
    GLuint sceneTexture() const { return sceneTexture_.name(); }
    GLuint brightTexture() const { return brightTexture_.name(); }
    GLuint pingPongTexture(int i) const { return pingPongTextures_[i].name(); }
    // The first target the driver called incomplete ("the HDR framebuffer"),
    // null when every one is complete. Such a renderer draws black.
    const char* incompleteTarget() const { return incompleteTarget_; }

private:
    void createHdrTarget();
    void createPingPongTargets();
    void createScreenQuad();
    GlTexture createColorTarget() const;
    void drawDepthPrepass(const View& view);
    void drawBlack();

    const char* incompleteTarget_ = nullptr;
    GLenum colorFormat_ = GL_RGBA16F;           // of every colour target, chosen by init()
    std::unique_ptr<Material> screenMaterial_;  // composition program
    std::unique_ptr<Material> blurMaterial_;    // blur program
    std::unique_ptr<Material> depthMaterial_;   // depth pre-pass program
    // Its alphaTestedVariant: alpha-tested meshes leave no depth in their holes.
    std::unique_ptr<Material> alphaTestedDepthMaterial_;
    GlFramebuffer hdrFramebuffer_{NoCreate};
    GlTexture sceneTexture_{NoCreate};
    GlTexture brightTexture_{NoCreate};
    GlRenderbuffer depthStencilBuffer_{NoCreate};
    GlFramebuffer pingPongFramebuffers_[2] = {GlFramebuffer(NoCreate), GlFramebuffer(NoCreate)};
    GlTexture pingPongTextures_[2] = {GlTexture(NoCreate), GlTexture(NoCreate)};
    // Full-screen quad: (x, y) at location 0, (u, v) at 1.
    GlVertexArray quadVertexArray_{NoCreate};
    GlBuffer quadBuffer_{NoCreate};
};

}  // namespace tolvane
