#include "ContentStage.h"
#include "base/ContentLayout.h"

#include <glm/geometric.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace content_test;

namespace {

glm::vec3 vec(const aiVector3D& v)
{
    return {v.x, v.y, v.z};
}

// Every vertex of every mesh, for anchor-point searches.
template <typename Fn>
void forEachVertex(Fn fn)
{
    const aiScene& scene = model();
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        for (unsigned v = 0; v < scene.mMeshes[m]->mNumVertices; ++v)
            fn(*scene.mMeshes[m], vec(scene.mMeshes[m]->mVertices[v]));
}

// Depth first, a node's meshes before its children, as the demo walks.
void collectMeshes(const aiNode& node, std::vector<unsigned>& out)
{
    out.insert(out.end(), node.mMeshes, node.mMeshes + node.mNumMeshes);
    for (unsigned c = 0; c < node.mNumChildren; ++c)
        collectMeshes(*node.mChildren[c], out);
}

}  // namespace

TEST(Model, ImportsWithOneMaterialPerMeshAndCompleteVertexData)
{
    const aiScene& scene = model();
    ASSERT_GE(scene.mNumMeshes, 10u);
    EXPECT_EQ(scene.mNumMaterials, scene.mNumMeshes);
    std::size_t triangles = 0;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        SCOPED_TRACE(materialName(mesh));
        EXPECT_TRUE(mesh.HasNormals());
        EXPECT_TRUE(mesh.HasTangentsAndBitangents());
        EXPECT_TRUE(mesh.HasTextureCoords(0));
        EXPECT_EQ(mesh.mPrimitiveTypes, static_cast<unsigned>(aiPrimitiveType_TRIANGLE));
        for (unsigned f = 0; f < mesh.mNumFaces; ++f)
            ASSERT_EQ(mesh.mFaces[f].mNumIndices, 3u);
        triangles += mesh.mNumFaces;
    }
    EXPECT_NEAR(static_cast<double>(triangles), 150000.0, 4500.0);
}

TEST(Model, EachMeshPairsWithItsOwnTexturesInTheDemosOrder)
{
    // The demo pairs the k-th mesh of the node walk with the material at the
    // same distance from the end of the material list, so every mesh must
    // sit at the index of its own material for its textures to match.
    const aiScene& scene = model();
    ASSERT_NE(scene.mRootNode, nullptr);
    std::vector<unsigned> walk;
    collectMeshes(*scene.mRootNode, walk);
    ASSERT_EQ(walk.size(), scene.mNumMeshes);
    for (unsigned k = 0; k < walk.size(); ++k)
        EXPECT_EQ(scene.mMeshes[walk[k]]->mMaterialIndex, scene.mNumMaterials - scene.mNumMeshes + k);
}

TEST(Model, EveryMaterialNamesExistingDiffuseAndNormalMaps)
{
    const aiScene& scene = model();
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const std::string diffuse = diffusePath(*scene.mMeshes[m]);
        SCOPED_TRACE(materialName(*scene.mMeshes[m]) + " -> " + diffuse);
        EXPECT_EQ(diffuse.rfind("../Textures/", 0), 0u);
        EXPECT_TRUE(fileExists(runDir() + "/" + diffuse));
        EXPECT_TRUE(fileExists(runDir() + "/" + normalMapPath(diffuse)));
    }
}

TEST(Model, TrianglesFaceTheWayTheirNormalsPoint)
{
    // Back faces are culled, so a mesh wound the wrong way shows its inside.
    const aiScene& scene = model();
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        unsigned agreeing = 0;
        for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
            const unsigned* i = mesh.mFaces[f].mIndices;
            const glm::vec3 a = vec(mesh.mVertices[i[0]]);
            const glm::vec3 n = glm::cross(vec(mesh.mVertices[i[1]]) - a, vec(mesh.mVertices[i[2]]) - a);
            const glm::vec3 vertexNormals =
                vec(mesh.mNormals[i[0]]) + vec(mesh.mNormals[i[1]]) + vec(mesh.mNormals[i[2]]);
            agreeing += glm::dot(n, vertexNormals) >= 0.0f ? 1 : 0;
        }
        EXPECT_GE(agreeing, mesh.mNumFaces * 97 / 100) << materialName(mesh);
    }
}

TEST(Model, HutStaysInsideTheOrbitOfTheCirclingLight)
{
    const Box hut = boundsOfMeshes("hut_");
    ASSERT_LT(hut.min.x, hut.max.x);
    EXPECT_LT(hut.max.y, 2.8f);
    EXPECT_GE(hut.min.y, -0.05f);
    const aiScene& scene = model();
    float reach = 0.0f;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        if (materialName(*scene.mMeshes[m]).rfind("hut_", 0) == 0)
            for (unsigned v = 0; v < scene.mMeshes[m]->mNumVertices; ++v)
                reach = std::max(reach, std::hypot(scene.mMeshes[m]->mVertices[v].x, scene.mMeshes[m]->mVertices[v].z));
    EXPECT_LT(reach, 2.75f);
    EXPECT_GT(reach, 1.5f) << "the hut should fill most of the space inside the orbit";
    // The door wall faces +z: the door is the front-most hut part.
    const Box door = boundsOfMeshes("hut_door");
    EXPECT_GT(door.max.z, hut.max.z - 0.6f);
}

TEST(Model, GroundIsLevelAroundTheHutAndTheFire)
{
    float highest = -1.0f;
    float lowest = 1.0f;
    forEachVertex([&](const aiMesh& mesh, const glm::vec3& p) {
        if (!isTerrain(mesh))
            return;
        const bool nearHut = std::hypot(p.x, p.z) < 3.0f;
        const bool nearFire = std::hypot(p.x - kFireEmitter.x - 0.4f, p.z - kFireEmitter.z - 0.4f) < 1.5f;
        if (nearHut || nearFire) {
            highest = std::max(highest, p.y);
            lowest = std::min(lowest, p.y);
        }
    });
    EXPECT_NEAR(highest, 0.0f, 0.02f);
    EXPECT_NEAR(lowest, 0.0f, 0.02f);
}

// The ground is drawn tile by tile: a crack between two tiles would show the
// sky through the ground. Every vertex on a tile's inner border must be a
// vertex of a neighbouring tile too, at the same height.
TEST(Model, GroundTilesMeetWithoutCracks)
{
    const aiScene& scene = model();
    std::vector<const aiMesh*> tiles;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        if (isTerrain(*scene.mMeshes[m]))
            tiles.push_back(scene.mMeshes[m]);
    ASSERT_GT(tiles.size(), 1u);
    const Box ground = boundsOfMeshes("terrain_");
    const auto shared = [&](const aiMesh* self, const glm::vec3& p) {
        for (const aiMesh* other : tiles)
            for (unsigned v = 0; other != self && v < other->mNumVertices; ++v)
                if (glm::length(vec(other->mVertices[v]) - p) < 1e-4f)
                    return true;
        return false;
    };
    int seams = 0;
    for (const aiMesh* tile : tiles) {
        Box own;
        for (unsigned v = 0; v < tile->mNumVertices; ++v)
            own.add(vec(tile->mVertices[v]));
        for (unsigned v = 0; v < tile->mNumVertices; v += 7) {
            const glm::vec3 p = vec(tile->mVertices[v]);
            const bool innerX = (p.x == own.min.x && p.x > ground.min.x) || (p.x == own.max.x && p.x < ground.max.x);
            const bool innerZ = (p.z == own.min.z && p.z > ground.min.z) || (p.z == own.max.z && p.z < ground.max.z);
            if (!innerX && !innerZ)
                continue;
            ++seams;
            EXPECT_TRUE(shared(tile, p)) << "a crack at " << p.x << ", " << p.z;
        }
    }
    EXPECT_GT(seams, 100);
}

TEST(Model, EachTorchHeadSitsJustBelowItsFlame)
{
    for (const glm::vec3& flame : {kTorchFlameA, kTorchFlameB}) {
        bool headBelow = false;
        float clearance = 1e9f;
        forEachVertex([&](const aiMesh&, const glm::vec3& p) {
            const float across = std::hypot(p.x - flame.x, p.z - flame.z);
            if (across < 0.05f && p.y < flame.y && p.y > flame.y - 0.1f)
                headBelow = true;
            clearance = std::min(clearance, glm::length(p - flame));
        });
        EXPECT_TRUE(headBelow) << "no torch head under the flame at y " << flame.y;
        EXPECT_GT(clearance, 0.03f) << "the flame is buried in the model";
    }
}

TEST(Model, FirePitSurroundsTheEmitterAndLeavesTheFlamesFree)
{
    const glm::vec3 centre = kFireEmitter + glm::vec3(0.4f, 0.0f, 0.4f);
    int ringStones = 0;
    int logs = 0;
    bool blocked = false;
    forEachVertex([&](const aiMesh& mesh, const glm::vec3& p) {
        const float r = std::hypot(p.x - centre.x, p.z - centre.z);
        if (isTerrain(mesh) || isSky(mesh))
            return;
        if (r > 0.5f && r < 1.0f && p.y < 0.3f)
            ++ringStones;
        if (r < 0.45f && p.y > 0.1f)
            ++logs;
        if (r < 0.8f && p.y > 0.6f)
            blocked = true;
    });
    EXPECT_GT(ringStones, 100);
    EXPECT_GT(logs, 20);
    EXPECT_FALSE(blocked);
}

// The night sky is a shell round everything the camera can see: beyond the
// terrain and every camera position, inside the camera's far plane (100),
// and reaching below the horizon so that no black gap opens over the rim.
// The moon hangs just inside it.
TEST(Model, SkyDomeEnclosesTheClearingAndEveryCameraPosition)
{
    const aiScene& scene = model();
    float nearest = 1e9f;
    float farthest = 0.0f;
    float lowest = 1e9f;
    int slices = 0;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& sky = *scene.mMeshes[m];
        if (!isSky(sky))
            continue;
        slices += materialName(sky) != "moon";
        for (unsigned v = 0; v < sky.mNumVertices; ++v) {
            const glm::vec3 p = vec(sky.mVertices[v]);
            nearest = std::min(nearest, glm::length(p));
            farthest = std::max(farthest, glm::length(p));
            lowest = std::min(lowest, p.y);
        }
    }
    ASSERT_GE(slices, 2);
    const Box terrain = boundsOfMeshes("terrain_");
    const float terrainReach = glm::length(glm::max(glm::abs(terrain.min), glm::abs(terrain.max)));
    EXPECT_GT(nearest, terrainReach + 5.0f);
    EXPECT_LT(farthest, 90.0f);
    EXPECT_LT(lowest, terrain.min.y - 5.0f);
    for (const auto& path : playedPaths())
        for (const PathElement& e : path)
            EXPECT_LT(glm::length(e.position), nearest - 20.0f);
}

// What glows by itself, and only that: the lit window panes, the embers in
// the fire pit, the sky's slices and, brightest, the moon. The emission travels in the file as the
// materials' emissive colour, where the demo's import reads it. The sky and
// the moon reflect nothing (black diffuse and specular colours), so that
// the demo draws them by their glow alone, without the lights' cost;
// everything else reflects.
TEST(Model, OnlyTheWindowPanesTheSkyAndTheMoonGlow)
{
    const aiScene& scene = model();
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        const aiMaterial& material = *scene.mMaterials[i];
        aiString name;
        aiColor3D diffuse(1.0f, 1.0f, 1.0f), specular(1.0f, 1.0f, 1.0f);
        material.Get(AI_MATKEY_NAME, name);
        material.Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        material.Get(AI_MATKEY_COLOR_SPECULAR, specular);
        EXPECT_EQ(diffuse.IsBlack() && specular.IsBlack(), isSkyMaterial(name.C_Str())) << name.C_Str();
    }
    std::map<std::string, float> glowing;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        if (emissionOf(*scene.mMeshes[m]) > 0.0f)
            glowing[materialName(*scene.mMeshes[m])] = emissionOf(*scene.mMeshes[m]);
    for (const auto& [name, emission] : glowing)
        EXPECT_TRUE(name == "hut_windows" || name == "firepit_embers" || isSkyMaterial(name))
            << name << " glows with " << emission;
    ASSERT_EQ(glowing.count("hut_windows"), 1u);
    ASSERT_EQ(glowing.count("moon"), 1u);
    ASSERT_EQ(glowing.count("sky_0"), 1u);
    EXPECT_GT(glowing["moon"], glowing["hut_windows"]);
    EXPECT_GT(glowing["hut_windows"], 10.0f * glowing["sky_0"]) << "the sky glows faintly";
}

// The ground's own colours: only the terrain carries them (every other
// surface shows its picture as painted); they mix covers of clearly
// different brightness, agree where tiles meet, so that no seam shows along
// a tile's edge; needle litter covers the forest floor and bare dirt rings
// the fire, while the clearing between stays greener.
TEST(Model, GroundAloneIsTintedWithLitterUnderTheTreesAndDirtByTheFire)
{
    const aiScene& scene = model();
    auto luminance = [](const aiColor4D& c) { return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b; };
    float darkest = 10.0f, brightest = 0.0f;
    double forestRed = 0.0, clearingRed = 0.0, fireRed = 0.0;
    int forest = 0, clearing = 0, fire = 0, shared = 0;
    std::map<std::pair<long, long>, std::pair<unsigned, aiColor4D>> seen;  // by position in millimetres
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        ASSERT_EQ(mesh.HasVertexColors(0), isTerrain(mesh)) << materialName(mesh);
        if (!isTerrain(mesh))
            continue;
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            const aiColor4D& c = mesh.mColors[0][v];
            darkest = std::min(darkest, luminance(c));
            brightest = std::max(brightest, luminance(c));
            const glm::vec3 p = vec(mesh.mVertices[v]);
            const auto key = std::make_pair(std::lround(p.x * 1000.0f), std::lround(p.z * 1000.0f));
            const auto [at, fresh] = seen.emplace(key, std::make_pair(m, c));
            if (!fresh && at->second.first != m) {
                ++shared;
                EXPECT_NEAR(luminance(at->second.second), luminance(c), 1e-3f) << "a seam at " << p.x << ", " << p.z;
            }
            const float r = std::hypot(p.x, p.z);
            const float fromFire = std::hypot(p.x - tolvane::content::kFirePit.x, p.z - tolvane::content::kFirePit.z);
            const float redness = c.r / c.g;
            if (r > 16.0f && r < 24.0f)
                forestRed += redness, ++forest;
            else if (r > 4.0f && r < 8.0f && fromFire > 3.0f)
                clearingRed += redness, ++clearing;
            if (fromFire < 2.0f)
                fireRed += redness, ++fire;
        }
    }
    EXPECT_GT(shared, 100);
    EXPECT_GT(darkest, 0.0f);
    EXPECT_GT(brightest / darkest, 5.0f);
    ASSERT_GT(forest * clearing * fire, 0);
    EXPECT_GT(forestRed / forest, 1.6);
    EXPECT_GT(fireRed / fire, 1.6);
    EXPECT_LT(clearingRed / clearing, 1.4);
}

// Needles hang from every sector's crowns, and neither shines as much as
// bark or wood: their materials carry a specular colour below white, and
// only theirs do, besides the sky's and the moon's, which reflect nothing.
TEST(Model, NeedlesHangFromEachSectorsCrownsAndShineLess)
{
    const aiScene& scene = model();
    std::set<std::string> crowns, fringes;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const aiMesh& mesh = *scene.mMeshes[m];
        const std::string name = materialName(mesh);
        const bool crown = name.rfind("tree_crowns_", 0) == 0;
        const bool fringe = name.rfind("tree_fringes_", 0) == 0;
        if (crown)
            crowns.insert(name.substr(12));
        if (fringe)
            fringes.insert(name.substr(13));
        aiColor3D specular(1.0f, 1.0f, 1.0f);
        const bool hasSpecular =
            scene.mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_COLOR_SPECULAR, specular) == AI_SUCCESS;
        EXPECT_EQ(hasSpecular, crown || fringe || isSky(mesh)) << name;
        if (hasSpecular)
            EXPECT_LT(specular.g, 1.0f) << name;
    }
    EXPECT_GE(crowns.size(), 6u);
    EXPECT_EQ(crowns, fringes);
}

// Each pine's trunk ends inside its own crown (a bare tip above the boughs
// reads as a dead tree), and beyond the first ring the pines differ in
// height enough for the skyline to dip deep between their tips.
TEST(Model, PineTrunksEndInsideTheirCrownsAndTheOuterPinesVaryInHeight)
{
    struct Trunk {
        glm::vec3 foot{0.0f, 1e9f, 0.0f};
        glm::vec3 tip{0.0f, -1e9f, 0.0f};
        float crownTop = -1e9f;
    };
    std::vector<Trunk> trunks;
    auto near = [](const glm::vec3& a, const glm::vec3& b, float reach) {
        return std::hypot(a.x - b.x, a.z - b.z) < reach;
    };
    auto isPart = [](const aiMesh& mesh, const char* prefix) { return materialName(mesh).rfind(prefix, 0) == 0; };
    // A trunk's vertices lie within its foot's radius of its axis; pines
    // stand further apart than that.
    forEachVertex([&](const aiMesh& mesh, const glm::vec3& p) {
        if (!isPart(mesh, "tree_trunks_"))
            return;
        auto trunk = std::find_if(trunks.begin(), trunks.end(), [&](const Trunk& t) { return near(t.foot, p, 0.6f); });
        if (trunk == trunks.end())
            trunk = trunks.insert(trunks.end(), Trunk{p, p});
        if (p.y < trunk->foot.y)
            trunk->foot = p;
        if (p.y > trunk->tip.y)
            trunk->tip = p;
    });
    ASSERT_GT(trunks.size(), 150u);
    forEachVertex([&](const aiMesh& mesh, const glm::vec3& p) {
        if (isPart(mesh, "tree_crowns_"))
            for (Trunk& t : trunks)
                if (near(t.tip, p, 0.05f))
                    t.crownTop = std::max(t.crownTop, p.y);
    });
    std::vector<float> outer;
    for (const Trunk& t : trunks) {
        EXPECT_GT(t.crownTop, t.tip.y + 0.1f) << "a bare trunk tip at " << t.tip.x << ", " << t.tip.z;
        if (std::hypot(t.foot.x, t.foot.z) > 18.0f)
            outer.push_back(t.crownTop - t.foot.y);
    }
    ASSERT_GT(outer.size(), 60u);
    const auto [lowest, highest] = std::minmax_element(outer.begin(), outer.end());
    EXPECT_GT(*highest / *lowest, 4.2f) << "tallest " << *highest << ", lowest " << *lowest;
}
