#include "render/Renderer.h"

#include "base/Diagnostics.h"
#include "base/GpuProfiler.h"
#include "base/SoftwareRenderer.h"
#include "render/FramebufferStatus.h"
#include "render/Material.h"
#include "render/ODShadowMap.h"
#include "render/Scene.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "scene/PerspectiveCamera.h"

#include <glm/gtc/type_ptr.hpp>

namespace tolvane {

namespace {

// Two triangles covering clip space: x, y, u, v per vertex.
// clang-format off
const float kScreenQuad[] = {
    -1.0f, 1.0f,  0.0f, 1.0f,
    -1.0f, -1.0f, 0.0f, 0.0f,
    1.0f,  -1.0f, 1.0f, 0.0f,
    -1.0f, 1.0f,  0.0f, 1.0f,
    1.0f,  -1.0f, 1.0f, 0.0f,
    1.0f,  1.0f,  1.0f, 1.0f,
};
// clang-format on

constexpr int kBlurPasses = 10;
constexpr double kFadePerSecond = 2.0;

}  // namespace

Renderer::Renderer() :
    screenMaterial_(std::make_unique<Material>(ShaderFiles::kScreenVertex, ShaderFiles::kScreenFragment, "")),
    blurMaterial_(std::make_unique<Material>(ShaderFiles::kBlurVertex, ShaderFiles::kBlurFragment, "")),
    depthMaterial_(
        std::make_unique<Material>(ShaderFiles::kDepthPrepassVertex, ShaderFiles::kDepthPrepassFragment, "")),
    alphaTestedDepthMaterial_(std::make_unique<Material>(ShaderFiles::kDepthPrepassVertex,
                                                         ShaderFiles::kDepthPrepassFragment, "",
                                                         std::vector<std::string>{ShaderFiles::kAlphaTested}))
{
    depthMaterial_->alphaTestedVariant = alphaTestedDepthMaterial_.get();
}

Renderer::Renderer(NoCreateT) {}

Renderer::~Renderer() = default;

void Renderer::init(int windowWidth, int windowHeight)
{
    width = windowWidth;
    height = windowHeight;
    output = OutputViewport{0, 0, width, height};
    glViewport(0, 0, width, height);
    // Filtering across cube faces hides the seams of the shadow lookups.
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    if (!postProcessing)
        return;
    // The blur and the composition read and write these targets about a
    // dozen times a frame: on llvmpipe full floats make them an eighth
    // cheaper, on a graphics card half floats halve the memory traffic.
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    colorFormat_ = renderer != nullptr && isSoftwareRenderer(renderer) ? GL_RGBA32F : GL_RGBA16F;
    createHdrTarget();
    createPingPongTargets();
    createScreenQuad();
}

GlTexture Renderer::createColorTarget() const
{
    GlTexture texture;
    glBindTexture(GL_TEXTURE_2D, texture.name());
    // RGBA: of the float formats, OpenGL 3.3 promises only the four-channel
    // ones as render targets.
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(colorFormat_), width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

void Renderer::createHdrTarget()
{
    hdrFramebuffer_ = GlFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, hdrFramebuffer_.name());
    sceneTexture_ = createColorTarget();
    brightTexture_ = createColorTarget();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, sceneTexture_.name(), 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT1, GL_TEXTURE_2D, brightTexture_.name(), 0);

    depthStencilBuffer_ = GlRenderbuffer();
    glBindRenderbuffer(GL_RENDERBUFFER, depthStencilBuffer_.name());
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencilBuffer_.name());

    const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
    glDrawBuffers(2, drawBuffers);
    if (!framebufferReady()) {
        incompleteTarget_ = "the HDR framebuffer";
        hdrFramebuffer_.reset();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Renderer::createPingPongTargets()
{
    for (int i = 0; i < 2; ++i) {
        pingPongFramebuffers_[i] = GlFramebuffer();
        glBindFramebuffer(GL_FRAMEBUFFER, pingPongFramebuffers_[i].name());
        pingPongTextures_[i] = createColorTarget();
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pingPongTextures_[i].name(), 0);
        if (!framebufferReady() && incompleteTarget_ == nullptr)
            incompleteTarget_ = i == 0 ? "the first blur framebuffer" : "the second blur framebuffer";
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void Renderer::createScreenQuad()
{
    quadVertexArray_ = GlVertexArray();
    quadBuffer_ = GlBuffer();
    glBindVertexArray(quadVertexArray_.name());
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer_.name());
    glBufferData(GL_ARRAY_BUFFER, sizeof kScreenQuad, kScreenQuad, GL_STATIC_DRAW);
    const GLsizei stride = 4 * sizeof(float);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(2 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void Renderer::render(const View& view)
{
    if (skipsBlackFrames && postProcessing && fade == 0.0f) {
        drawBlack();
        return;
    }
    shadowPass(view);
    scenePass(view);
    if (postProcessing)
        compose();
}

// Under a fade of 0 the composition multiplies every pass away: the picture
// is black, exactly, so only that is drawn. Left as the composition leaves
// it: framebuffer 0 with the output viewport, no blending, no depth test.
void Renderer::drawBlack()
{
    GpuProfiler::Scope timing(GpuPass::Composition);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(output.x, output.y, output.width, output.height);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE0);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void Renderer::shadowPass(const View& view)
{
    GpuProfiler::Scope timing(GpuPass::Shadow);
    drawShadowMaps(view.scene, dynamic_cast<const PerspectiveCamera*>(view.camera));
}

void Renderer::drawShadowMaps(Scene* scene, const PerspectiveCamera* viewer, Material* program)
{
    SceneContext* context = SceneContext::current();
    if (context == nullptr || context->shadowMaps.empty())
        return;
    glEnable(GL_DEPTH_TEST);
    for (ODShadowMap* shadowMap : context->shadowMaps) {
        shadowMap->bindForWriting(program);
        const int unseen = viewer != nullptr ? shadowMap->facesUnseenBy(*viewer) : 0;
        for (int face = 0; face < 6; ++face) {
            if ((unseen & (1 << face)) != 0)
                continue;  // kept as it was: no lookup reads it
            shadowMap->bindFace(face);
            glClear(GL_DEPTH_BUFFER_BIT);
            if (scene != nullptr)
                scene->drawShadow(shadowMap->shadowCamera, shadowMap);
        }
        glUseProgram(0);
    }
    // The meshes leave their arrays bound between draws.
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, width, height);
}

void Renderer::scenePass(const View& view)
{
    GpuProfiler::Scope timing(GpuPass::Scene);
    drawScene(view);
}

void Renderer::bindSceneTarget()
{
    if (postProcessing)
        glBindFramebuffer(GL_FRAMEBUFFER, hdrFramebuffer_.name());
    // The last frame's composition may have left a fitted window viewport.
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void Renderer::drawScene(const View& view, bool depthFirst)
{
    bindSceneTarget();
    if (view.scene == nullptr)
        return;
    if (!depthFirst || depthMaterial_ == nullptr || view.camera == nullptr) {
        view.scene->draw(view.camera);
    } else {
        drawDepthPrepass(view);
        glDepthFunc(GL_LEQUAL);
        view.scene->draw(view.camera);
        glDepthFunc(GL_LESS);
    }
    // The meshes leave their arrays bound between draws.
    glBindVertexArray(0);
}

void Renderer::drawDepthPrepass(const View& view)
{
    depthMaterial_->bind();
    view.camera->updateWorldMatrix();
    depthMaterial_->setUniform("view", view.camera->worldMatrix);
    depthMaterial_->setUniform("projection", view.camera->projection);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    view.scene->drawDepth(view.camera, depthMaterial_.get());
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBindVertexArray(0);
}

void Renderer::compose()
{
    present(blur(brightTexture_.name()));
}

GLuint Renderer::blur(GLuint source)
{
    GpuProfiler::Scope timing(GpuPass::Blur);
    return blurWith(*blurMaterial_, source);
}

GLuint Renderer::blurWith(Material& program, GLuint source)
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    program.bind();
    const int horizontalLocation = program.uniformLocation("horizontal");
    const int passLocation = program.uniformLocation("blurPass");
    glBindVertexArray(quadVertexArray_.name());
    bool horizontal = true;
    for (int pass = 0; pass < kBlurPasses; ++pass) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingPongFramebuffers_[horizontal ? 1 : 0].name());
        program.setUniform(horizontalLocation, horizontal ? 1 : 0);
        if (passLocation != -1)
            program.setUniform(passLocation, pass);
        glBindTexture(GL_TEXTURE_2D, pass == 0 ? source : pingPongTextures_[horizontal ? 0 : 1].name());
        glDrawArrays(GL_TRIANGLES, 0, 6);
        horizontal = !horizontal;
    }
    glBindVertexArray(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return pingPongTextures_[horizontal ? 0 : 1].name();
}

void Renderer::present(GLuint bloom)
{
    GpuProfiler::Scope timing(GpuPass::Composition);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    // The clear ignores the viewport: bars beside a fitted picture are black.
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(output.x, output.y, output.width, output.height);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    screenMaterial_->bind();
    // Bloom first, so unit 0 is the active one for whatever draws next.
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, bloom);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, sceneTexture_.name());
    screenMaterial_->setUniform("fade", fade);
    glBindVertexArray(quadVertexArray_.name());
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glBindVertexArray(0);
}

void Renderer::startFadeIn()
{
    if (!fadingOut && fade == 0.0f)
        fadingIn = true;
}

void Renderer::startFadeOut()
{
    if (!fadingIn && fade == 1.0f)
        fadingOut = true;
}

void Renderer::advanceFade(double elapsedSeconds)
{
    if (fadingIn)
        fade += static_cast<float>(kFadePerSecond * elapsedSeconds);
    else if (fadingOut)
        fade -= static_cast<float>(kFadePerSecond * elapsedSeconds);
    if (fade <= 0.0f) {
        fadingOut = false;
        fade = 0.0f;
    } else if (fade >= 1.0f) {
        fadingIn = false;
        fade = 1.0f;
    }
}

}  // namespace tolvane
