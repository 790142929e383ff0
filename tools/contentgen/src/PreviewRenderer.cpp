#include "PreviewRenderer.h"

#include <FreeImage.h>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/common.hpp>
#include <glm/exponential.hpp>
#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/vec2.hpp>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tolvane::content {

struct PreviewImporter {
    Assimp::Importer importer;
};

struct PreviewRenderer::ClipVertex {
    glm::vec4 clip;
    glm::vec3 world;
    glm::vec3 normal;
    glm::vec2 uv;
};

struct PreviewRenderer::Surface {
    glm::vec3 world;
    glm::vec3 normal;
    glm::vec2 uv;
};

namespace {

Image loadTexture(const std::string& path)
{
    FIBITMAP* raw = FreeImage_Load(FreeImage_GetFileType(path.c_str(), 0), path.c_str(), 0);
    if (!raw)
        return Image(1, 1, glm::vec4(1.0f, 0.0f, 1.0f, 1.0f));
    FIBITMAP* rgb = FreeImage_ConvertTo24Bits(raw);
    FreeImage_Unload(raw);
    const int w = static_cast<int>(FreeImage_GetWidth(rgb));
    const int h = static_cast<int>(FreeImage_GetHeight(rgb));
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        const BYTE* line = FreeImage_GetScanLine(rgb, h - 1 - y);
        for (int x = 0; x < w; ++x) {
            const glm::vec3 srgb(line[x * 3 + FI_RGBA_RED], line[x * 3 + FI_RGBA_GREEN], line[x * 3 + FI_RGBA_BLUE]);
            image.at(x, y) = glm::vec4(glm::pow(srgb / 255.0f, glm::vec3(2.2f)), 1.0f);
        }
    }
    FreeImage_Unload(rgb);
    return image;
}

PreviewRenderer::ClipVertex lerp(const PreviewRenderer::ClipVertex& a, const PreviewRenderer::ClipVertex& b, float t)
{
    return {glm::mix(a.clip, b.clip, t), glm::mix(a.world, b.world, t), glm::mix(a.normal, b.normal, t),
            glm::mix(a.uv, b.uv, t)};
}

// Cuts a triangle at the near plane (w > 0.1); yields 0, 1 or 2 triangles.
std::vector<PreviewRenderer::ClipVertex> clipNear(const PreviewRenderer::ClipVertex (&tri)[3])
{
    std::vector<PreviewRenderer::ClipVertex> out;
    for (int i = 0; i < 3; ++i) {
        const auto& a = tri[i];
        const auto& b = tri[(i + 1) % 3];
        const float da = a.clip.w - 0.1f;
        const float db = b.clip.w - 0.1f;
        if (da >= 0.0f)
            out.push_back(a);
        if ((da >= 0.0f) != (db >= 0.0f))
            out.push_back(lerp(a, b, da / (da - db)));
    }
    return out;
}

}  // namespace

PreviewRenderer::PreviewRenderer(const std::string& stageRoot) : importer_(std::make_unique<PreviewImporter>())
{
    scene_ = importer_->importer.ReadFile(stageRoot + "/Models/hut_150k_scaled_w.fbx", 0x810B);
    if (!scene_)
        throw std::runtime_error("preview: cannot read the model");
    for (unsigned m = 0; m < scene_->mNumMaterials; ++m) {
        aiString path;
        aiGetMaterialTexture(scene_->mMaterials[m], aiTextureType_DIFFUSE, 0, &path);
        textures_.push_back(loadTexture(stageRoot + "/Tolvane/" + path.C_Str()));
    }
    // The demo's lights at a typical moment of their flicker and orbit.
    lights_ = {{{3.0f, 3.0f, 0.0f}, glm::vec3(1.0f), 0.01f},
               {{-2.97f, 0.19f, -2.98f}, glm::vec3(1.0f, 0.55f, 0.25f) * 0.8f, 0.05f},
               {{-1.385f, 1.368f, 0.0f}, glm::vec3(1.0f, 0.6f, 0.3f) * 0.5f, 1.0f},
               {{-3.157f, 2.459f, -1.869f}, glm::vec3(1.0f, 0.6f, 0.3f) * 0.5f, 1.0f}};
}

PreviewRenderer::~PreviewRenderer() = default;

glm::vec3 PreviewRenderer::shade(const Surface& s, const Image& texture) const
{
    const int x = static_cast<int>(std::floor(s.uv.x * texture.width()));
    const int y = static_cast<int>(std::floor((1.0f - s.uv.y) * texture.height()));
    const glm::vec3 albedo(texture.wrapped(x, y));
    const glm::vec3 n = glm::normalize(s.normal);
    glm::vec3 light = glm::vec3(0.1f, 0.11f, 0.16f);  // ambient night sky
    for (const Light& l : lights_) {
        const glm::vec3 d = l.position - s.world;
        const float dist2 = glm::dot(d, d);
        light += l.colour * std::max(0.0f, glm::dot(n, d / std::sqrt(dist2))) / (1.0f + l.attenuation * dist2);
    }
    return albedo * light;
}

void PreviewRenderer::drawTriangle(const ClipVertex (&v)[3], const Image& texture, Image& frame,
                                   std::vector<float>& depth) const
{
    const int w = frame.width();
    const int h = frame.height();
    glm::vec3 screen[3];
    for (int i = 0; i < 3; ++i) {
        const glm::vec3 ndc = glm::vec3(v[i].clip) / v[i].clip.w;
        screen[i] = {(ndc.x * 0.5f + 0.5f) * w, (0.5f - ndc.y * 0.5f) * h, ndc.z};
    }
    const float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) -
                       (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
    if (area >= 0.0f)  // back face (y points down on screen)
        return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({screen[0].x, screen[1].x, screen[2].x}))));
    const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({screen[0].x, screen[1].x, screen[2].x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({screen[0].y, screen[1].y, screen[2].y}))));
    const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({screen[0].y, screen[1].y, screen[2].y}))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const glm::vec2 p(x + 0.5f, y + 0.5f);
            float b[3];
            for (int i = 0; i < 3; ++i) {
                const glm::vec3& a = screen[(i + 1) % 3];
                const glm::vec3& c = screen[(i + 2) % 3];
                b[i] = ((c.x - a.x) * (p.y - a.y) - (p.x - a.x) * (c.y - a.y)) / area;
            }
            if (b[0] < 0.0f || b[1] < 0.0f || b[2] < 0.0f)
                continue;
            const float z = b[0] * screen[0].z + b[1] * screen[1].z + b[2] * screen[2].z;
            float& stored = depth[static_cast<std::size_t>(y * w + x)];
            if (z >= stored)
                continue;
            stored = z;
            // Perspective-correct weights.
            float q[3], sum = 0.0f;
            for (int i = 0; i < 3; ++i)
                sum += q[i] = b[i] / v[i].clip.w;
            Surface s{glm::vec3(0.0f), glm::vec3(0.0f), glm::vec2(0.0f)};
            for (int i = 0; i < 3; ++i) {
                s.world += v[i].world * (q[i] / sum);
                s.normal += v[i].normal * (q[i] / sum);
                s.uv += v[i].uv * (q[i] / sum);
            }
            frame.at(x, y) = glm::vec4(shade(s, texture), 1.0f);
        }
}

Image PreviewRenderer::render(const glm::vec3& eye, const glm::vec3& target, int width, int height) const
{
    const glm::mat4 viewProjection =
        glm::perspective(glm::radians(60.0f), static_cast<float>(width) / height, 0.1f, 100.0f) *
        glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    Image frame(width, height, glm::vec4(0.004f, 0.006f, 0.015f, 1.0f));
    std::vector<float> depth(static_cast<std::size_t>(width * height), 1e9f);
    for (unsigned m = 0; m < scene_->mNumMeshes; ++m) {
        const aiMesh& mesh = *scene_->mMeshes[m];
        const Image& texture = textures_[mesh.mMaterialIndex];
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            ClipVertex tri[3];
            for (int i = 0; i < 3; ++i) {
                const unsigned k = mesh.mFaces[f].mIndices[i];
                const glm::vec3 p(mesh.mVertices[k].x, mesh.mVertices[k].y, mesh.mVertices[k].z);
                tri[i] = {viewProjection * glm::vec4(p, 1.0f), p,
                          glm::vec3(mesh.mNormals[k].x, mesh.mNormals[k].y, mesh.mNormals[k].z),
                          glm::vec2(mesh.mTextureCoords[0][k].x, mesh.mTextureCoords[0][k].y)};
            }
            const std::vector<ClipVertex> poly = clipNear(tri);
            for (std::size_t i = 1; i + 1 < poly.size(); ++i)
                drawTriangle({poly[0], poly[i], poly[i + 1]}, texture, frame, depth);
        }
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.at(x, y) = glm::vec4(glm::pow(glm::vec3(frame.at(x, y)), glm::vec3(1.0f / 2.2f)), 1.0f);
    return frame;
}

}  // namespace tolvane::content
