// Model import on small FBX files written by the tests themselves: pairing of
// meshes with their own materials, inputs the import must survive, progress
// texts and the console sequence.
#include "import/ModelLoader.h"
#include "GlTestContext.h"
#include "ModelFiles.h"
#include "TestFiles.h"
#include "base/Diagnostics.h"
#include "import/ModelGeometry.h"
#include "render/Material.h"
#include "render/Mesh.h"
#include "render/SceneContext.h"
#include "render/Texture.h"
#include "render/TexturePrefetch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <vector>

using namespace tolvane;
using tolvane::test::captureStdout;

namespace {

std::vector<std::string> loadingMessages;

void recordLoadingMessage(std::string message)
{
    loadingMessages.push_back(message);
}

// Gives the first materials of the FBX file at `path`, in the order they
// are written, the colour property `name`: one of `colours` ("r, g, b") each.
::testing::AssertionResult addMaterialColours(const std::string& path, const std::string& name,
                                              const std::vector<const char*>& colours)
{
    std::string text = test::readTextFile(path);
    std::size_t at = 0;
    for (const char* colour : colours) {
        at = text.find("Properties70:", text.find("\"Material::", at));
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "fewer materials than colours in " << path;
        at = text.find('\n', at);
        text.insert(at, "\n\t\t\tP: \"" + name + "\", \"Color\", \"\", \"A\", " + colour);
    }
    test::writeTextFile(path, text);
    return ::testing::AssertionSuccess();
}

class ModelLoaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        directory = test::makeScratchDirectory("tolvane-model");
        for (const char* name : {"red", "green", "white"}) {
            ASSERT_TRUE(test::writeTestPng(texture(name), name[0] == 'r' ? 255 : 0, name[0] == 'g' ? 255 : 0, 0));
            ASSERT_TRUE(test::writeTestPng(directory + "/" + name + "_nm.png", 128, 128, 255));
        }
        context = new SceneContext();
        modelLoader = new ModelLoader();
        loadingMessages.clear();
    }
    void TearDown() override
    {
        // The loader owns the geometries and textures of its meshes.
        for (Mesh* mesh : meshes)
            delete mesh;
        delete modelLoader;
        modelLoader = nullptr;
        delete context;
        loadingMessageHandler = nullptr;
        std::filesystem::remove_all(directory);
    }

    std::string texture(const std::string& name) const { return directory + "/" + name + ".png"; }

    std::string load(const std::vector<test::TestMesh>& description, const std::vector<std::string>& diffuse)
    {
        const std::string path = directory + "/model.fbx";
        EXPECT_TRUE(test::writeTestModel(path, description, diffuse));
        return captureStdout([&] { meshes = modelLoader->load(path); });
    }

    // Lowest y of a mesh's geometry: tells which test square it was made from.
    static float lowestY(const Mesh* mesh)
    {
        float lowest = 1e9f;
        const std::vector<float>& positions = mesh->geometry->positions;
        for (size_t i = 1; i < positions.size(); i += 3)
            lowest = std::min(lowest, positions[i]);
        return lowest;
    }

    // Mesh "low" uses the second material (green), "high" the first (red).
    // Compared by the texture each mesh samples: one texel read back.
    void expectLowGreenAndHighRed() const
    {
        ASSERT_EQ(meshes.size(), 2u);
        auto texelGreen = [](const Texture* t) {
            glBindTexture(GL_TEXTURE_2D, t->textureName());
            unsigned char rgb[4 * 4 * 4] = {};
            glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgb);
            return rgb[1];
        };
        const Mesh* low = lowestY(meshes[0]) < 1.0f ? meshes[0] : meshes[1];
        const Mesh* high = low == meshes[0] ? meshes[1] : meshes[0];
        EXPECT_GT(texelGreen(low->texture), 200) << "low uses the green material";
        EXPECT_LT(texelGreen(high->texture), 50) << "high uses the red material";
        EXPECT_TRUE(low->normalMap->isNormalMap);
    }

    std::string directory;
    SceneContext* context = nullptr;
    ModelLoader* modelLoader = nullptr;
    std::vector<Mesh*> meshes;
};

}  // namespace

TEST_F(ModelLoaderTest, EachMeshTakesItsOwnMaterialsTextures)
{
    load({{"low", 0.0f, 0}, {"high", 5.0f, 1}}, {texture("red"), texture("green")});
    ASSERT_EQ(meshes.size(), 2u);
    // The last mesh collected comes first.
    EXPECT_FLOAT_EQ(lowestY(meshes[0]), 5.0f);
    EXPECT_FLOAT_EQ(lowestY(meshes[1]), 0.0f);
    for (Mesh* mesh : meshes) {
        ASSERT_NE(mesh->texture, nullptr);
        ASSERT_NE(mesh->normalMap, nullptr);
        EXPECT_EQ(mesh->texture->unit, 0);
        EXPECT_TRUE(mesh->normalMap->isNormalMap);
        EXPECT_NE(mesh->geometry->tangents.size(), 0u) << "tangents come from the importer";
    }
    EXPECT_TRUE(modelLoader->geometries.empty());
    EXPECT_EQ(modelLoader->meshCounter, 0);
}

// Meshes of an earlier load go on drawing with the loader's material, so a
// second load shares it instead of making a new one the first meshes would
// never see again.
TEST_F(ModelLoaderTest, ASecondLoadSharesTheMaterial)
{
    load({{"first", 0.0f, 0}}, {texture("red")});
    ASSERT_EQ(meshes.size(), 1u);
    Mesh* first = meshes[0];
    load({{"second", 5.0f, 0}}, {texture("green")});
    ASSERT_EQ(meshes.size(), 1u);
    meshes.push_back(first);
    EXPECT_EQ(first->material, meshes[0]->material);
    EXPECT_EQ(modelLoader->normalMapMaterial, first->material);
}

TEST_F(ModelLoaderTest, MaterialsNamingTheSameImageShareOneTexture)
{
    load({{"a", 0.0f, 0}, {"b", 5.0f, 1}, {"c", 10.0f, 2}}, {texture("red"), texture("green"), texture("red")});
    ASSERT_EQ(meshes.size(), 3u);
    std::set<const Texture*> colours;
    std::set<const Texture*> normalMaps;
    for (const Mesh* mesh : meshes) {
        colours.insert(mesh->texture);
        normalMaps.insert(mesh->normalMap);
    }
    EXPECT_EQ(colours.size(), 2u);
    EXPECT_EQ(normalMaps.size(), 2u);
    // The colour image and its normal map stay apart even where they could
    // be confused: each unit keeps its own texture.
    for (const Mesh* mesh : meshes)
        EXPECT_NE(mesh->texture, mesh->normalMap);
}

TEST_F(ModelLoaderTest, PairsByMaterialIndexNotByPosition)
{
    load({{"low", 0.0f, 1}, {"high", 5.0f, 0}}, {texture("red"), texture("green")});
    expectLowGreenAndHighRed();
}

// With a prefetch the images are decoded on its worker while the import
// post-processes; each must still reach the mesh whose material names it.
TEST_F(ModelLoaderTest, PrefetchedTexturesPairTheSameWay)
{
    TexturePrefetch prefetch;
    modelLoader->prefetch = &prefetch;
    load({{"low", 0.0f, 1}, {"high", 5.0f, 0}}, {texture("red"), texture("green")});
    modelLoader->prefetch = nullptr;
    expectLowGreenAndHighRed();
}

// A colour texture with holes makes its meshes alpha-tested, drawn with the
// loader's one alpha-tested program, which otherwise draws like the shared
// material; the meshes of other textures keep the shared material, and a
// model without holes builds no second program. The holes are found where
// the prefetch decodes the images too.
TEST_F(ModelLoaderTest, MeshesOfATextureWithHolesAreAlphaTested)
{
    load({{"plain", 0.0f, 0}}, {texture("red")});
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_FALSE(meshes[0]->alphaTested);
    EXPECT_EQ(modelLoader->alphaTestedMaterial, nullptr);
    const std::vector<Mesh*> earlier = meshes;

    ASSERT_TRUE(test::writeHalfClearPng(texture("card")));
    ASSERT_TRUE(test::writeTestPng(directory + "/card_nm.png", 128, 128, 255));
    TexturePrefetch prefetch;
    modelLoader->prefetch = &prefetch;
    load({{"card", 0.0f, 0}, {"wall", 5.0f, 1}}, {texture("card"), texture("green")});
    modelLoader->prefetch = nullptr;
    meshes.insert(meshes.end(), earlier.begin(), earlier.end());
    ASSERT_EQ(meshes.size(), 3u);
    const Mesh* card = lowestY(meshes[0]) < 1.0f ? meshes[0] : meshes[1];
    const Mesh* wall = card == meshes[0] ? meshes[1] : meshes[0];
    EXPECT_TRUE(card->alphaTested);
    ASSERT_NE(modelLoader->alphaTestedMaterial, nullptr);
    EXPECT_EQ(card->material, modelLoader->alphaTestedMaterial);
    EXPECT_EQ(card->material->color, modelLoader->normalMapMaterial->color);
    EXPECT_EQ(card->material->shininess, modelLoader->normalMapMaterial->shininess);
    EXPECT_FALSE(wall->alphaTested);
    EXPECT_EQ(wall->material, modelLoader->normalMapMaterial);
}

// The exporter writes only the legacy "Emissive" vector; a file from another
// tool carries "EmissiveColor", which the import reads. Whatever it holds:
// a negative or absurd channel must not light the scene, or a NaN spread
// through the bloom.
TEST_F(ModelLoaderTest, EmissiveColoursReachTheirMeshesAndHostileOnesAreTamed)
{
    const std::string path = directory + "/model.fbx";
    ASSERT_TRUE(test::writeTestModel(path, {{"glowing", 0.0f, 0}, {"hostile", 5.0f, 1}, {"plain", 9.0f, 2}},
                                     {texture("red"), texture("green"), texture("white")}));
    ASSERT_TRUE(addMaterialColours(path, "EmissiveColor", {"4, 2, 0.5", "-3, 1e30, nan"}));
    captureStdout([&] { meshes = modelLoader->load(path); });
    ASSERT_EQ(meshes.size(), 3u);
    for (const Mesh* mesh : meshes) {
        const float y = lowestY(mesh);
        SCOPED_TRACE(y);
        if (y < 1.0f) {
            EXPECT_EQ(mesh->emission, glm::vec3(4.0f, 2.0f, 0.5f));
        } else if (y < 6.0f) {
            EXPECT_EQ(mesh->emission.r, 0.0f) << "a negative glow";
            EXPECT_GT(mesh->emission.g, 1.0f) << "capped, yet still glowing";
            EXPECT_LE(mesh->emission.g, 64.0f);
            EXPECT_FALSE(std::isnan(mesh->emission.b));
        } else {
            EXPECT_EQ(mesh->emission, glm::vec3(0.0f)) << "no emissive colour, no glow";
        }
    }
}

// A material's specular colour says how much of the highlight its surface
// gives: grey is a share, none is all of it, and what is not a number, or
// beyond white, must neither take it away nor blow it up.
TEST_F(ModelLoaderTest, SpecularColoursSetTheHighlightsShareAndHostileOnesAreTamed)
{
    const std::string path = directory + "/model.fbx";
    ASSERT_TRUE(test::writeTestModel(
        path, {{"needles", 0.0f, 0}, {"hostile", 5.0f, 1}, {"bright", 9.0f, 2}, {"plain", 13.0f, 3}},
        {texture("red"), texture("green"), texture("white"), texture("red")}));
    ASSERT_TRUE(addMaterialColours(path, "SpecularColor", {"0.25, 0.2, 0", "nan, nan, nan", "3, 7, 9"}));
    captureStdout([&] { meshes = modelLoader->load(path); });
    ASSERT_EQ(meshes.size(), 4u);
    for (const Mesh* mesh : meshes) {
        const float y = lowestY(mesh);
        SCOPED_TRACE(y);
        EXPECT_EQ(mesh->highlight, y < 1.0f ? 0.25f : 1.0f);
    }
}

// Only a material that glows and reflects nothing (black diffuse and
// specular colours) draws without lights: one that is dark without a glow,
// one that glows but also reflects, or one whose colour is not a number
// keeps the lit program.
TEST_F(ModelLoaderTest, OnlyMaterialsThatGlowAndReflectNothingDrawSelfLit)
{
    const std::string path = directory + "/model.fbx";
    ASSERT_TRUE(test::writeTestModel(path,
                                     {{"sky", 0.0f, 0}, {"soot", 5.0f, 1}, {"lamp", 9.0f, 2}, {"hostile", 13.0f, 3}},
                                     {texture("red"), texture("green"), texture("white"), texture("red")}));
    ASSERT_TRUE(addMaterialColours(path, "DiffuseColor", {"0, 0, 0", "0, 0, 0", "1, 1, 1", "nan, 0, 0"}));
    ASSERT_TRUE(addMaterialColours(path, "SpecularColor", {"0, 0, 0", "0, 0, 0", "0, 0, 0", "0, 0, 0"}));
    ASSERT_TRUE(addMaterialColours(path, "EmissiveColor", {"0.4, 0.4, 0.5", "0, 0, 0", "2, 2, 2", "1, 1, 1"}));
    captureStdout([&] { meshes = modelLoader->load(path); });
    ASSERT_EQ(meshes.size(), 4u);
    ASSERT_NE(modelLoader->selfLitMaterial, nullptr);
    EXPECT_EQ(modelLoader->selfLitMaterial->color, modelLoader->normalMapMaterial->color);
    for (const Mesh* mesh : meshes) {
        const float y = lowestY(mesh);
        SCOPED_TRACE(y);
        EXPECT_EQ(mesh->material, y < 1.0f ? modelLoader->selfLitMaterial : modelLoader->normalMapMaterial);
    }
}

TEST_F(ModelLoaderTest, MaterialWithoutDiffuseTextureGetsTheNeutralOne)
{
    // The neutral pair is named relative to the working directory; make it
    // there when the generated content has not.
    std::filesystem::create_directories("../Textures");
    std::vector<std::string> made;
    for (const std::string neutral : {ModelLoader::kNeutralTexture, "../Textures/white_nm.png"}) {
        if (std::filesystem::exists(neutral))
            continue;
        ASSERT_TRUE(test::writeTestPng(neutral, 255, 255, 255));
        made.push_back(neutral);
    }
    const std::string out = load({{"a", 0.0f, 0}, {"b", 5.0f, 1}}, {texture("red"), ""});
    EXPECT_NE(out.find("\tLoading Texture #2 ''"), std::string::npos) << out;
    ASSERT_EQ(meshes.size(), 2u);
    EXPECT_EQ(modelLoader->texturePaths.size(), 0u);
    for (const std::string& neutral : made)
        std::filesystem::remove(neutral);
}

TEST_F(ModelLoaderTest, MeshWithoutTextureCoordinatesIsSkippedWithAMessage)
{
    const std::string out = load({{"plain", 0.0f, 0, false}, {"mapped", 5.0f, 1}}, {texture("red"), texture("green")});
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_FLOAT_EQ(lowestY(meshes[0]), 5.0f);
    EXPECT_NE(out.find("Skipping mesh #"), std::string::npos) << out;
    EXPECT_NE(out.find("it has no texture coordinates"), std::string::npos) << out;
}

TEST_F(ModelLoaderTest, MissingFileGivesNoMeshesAndTheImportersError)
{
    const std::string out = captureStdout([&] { meshes = modelLoader->load(directory + "/absent.fbx"); });
    EXPECT_TRUE(meshes.empty());
    EXPECT_NE(out.find("Assimp: "), std::string::npos) << out;
    EXPECT_NE(out.find("OK, successfully loaded 0 models and 0 textures.\n\n"), std::string::npos);
    EXPECT_NE(out.find("OK, done with all 0 sets.\n\n"), std::string::npos);
    EXPECT_NE(modelLoader->normalMapMaterial, nullptr);
}

TEST_F(ModelLoaderTest, ConsoleAndLoadingScreenTellTheStory)
{
    loadingMessageHandler = recordLoadingMessage;
    const std::string out = load({{"a", 0.0f, 0}, {"b", 5.0f, 1}}, {texture("red"), texture("green")});
    const std::string expectedOrder[] = {
        "Loading file '",
        "\tLoading mesh #1 ...\n",
        "\tLoading mesh #2 ...\n",
        "\tLoading Texture #1 '",
        "\tLoading Texture #2 '",
        "OK, successfully loaded 2 models and 2 textures.\n\n",
        "Proccessing meshes, textures and normal maps...\n",
        "\tset #1 ...\n",
        "\tset #2 ...\n",
        "OK, done with all 2 sets.\n\n",
    };
    size_t at = 0;
    for (const std::string& line : expectedOrder) {
        const size_t found = out.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << out;
        at = found + line.size();
    }
    auto shown = [](const std::string& text) {
        return std::find(loadingMessages.begin(), loadingMessages.end(), text) != loadingMessages.end();
    };
    EXPECT_EQ(loadingMessages.front(), "Loading Scene...");
    EXPECT_TRUE(shown("Loading Textures... (0/2)"));
    EXPECT_TRUE(shown("Loading Textures... (1/2)"));
    EXPECT_TRUE(shown("Initializing... (0/2)"));
    EXPECT_TRUE(shown("Initializing... (1/2)"));
    EXPECT_TRUE(shown("Processing Scene... (0/2)"));
}
