// The pure parts of the model import: progress texts and normal-map names.
#include "base/Diagnostics.h"
#include "import/DisplayProgressHandler.h"
#include "import/ModelLoader.h"

#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tolvane;

namespace {

std::vector<std::string> loadingMessages;

void recordLoadingMessage(std::string message)
{
    loadingMessages.push_back(message);
}

}  // namespace

TEST(DisplayProgressHandler, DotsCycleAndFractionsRoundHalfAwayFromZero)
{
    loadingMessages.clear();
    loadingMessageHandler = recordLoadingMessage;
    DisplayProgressHandler handler;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(handler.Update(-1.0f));
    EXPECT_TRUE(handler.Update(0.125f));
    handler.Update(0.0f);
    handler.Update(1.0f);
    loadingMessageHandler = nullptr;
    const std::vector<std::string> expected = {
        "Loading Scene", "Loading Scene.",         "Loading Scene..",       "Loading Scene...",
        "Loading Scene", "Loading Scene... (13%)", "Loading Scene... (0%)", "Loading Scene... (100%)",
    };
    EXPECT_EQ(loadingMessages, expected);
}

// The importer flags a scene it could only partly read; other flags (such as
// the validation's) may come with it and must not hide it.
TEST(ModelImport, AnIncompleteSceneIsRefusedWhateverElseItIsFlagged)
{
    aiScene scene;
    EXPECT_FALSE(isComplete(&scene)) << "no root node";
    scene.mRootNode = new aiNode();
    EXPECT_TRUE(isComplete(&scene));
    scene.mFlags = AI_SCENE_FLAGS_VALIDATED;
    EXPECT_TRUE(isComplete(&scene));
    scene.mFlags = AI_SCENE_FLAGS_INCOMPLETE;
    EXPECT_FALSE(isComplete(&scene));
    scene.mFlags = AI_SCENE_FLAGS_INCOMPLETE | AI_SCENE_FLAGS_VALIDATED;
    EXPECT_FALSE(isComplete(&scene));
    EXPECT_FALSE(isComplete(nullptr));
}

TEST(NormalMapPath, LastDotAnywhereInThePath)
{
    EXPECT_EQ(normalMapPathFor("../Textures/wood.png"), "../Textures/wood_nm.png");
    EXPECT_EQ(normalMapPathFor("a.b.jpg"), "a.b_nm.jpg");
    EXPECT_EQ(normalMapPathFor("../Textures/roof"), "._nm./Textures/roof");
    EXPECT_EQ(normalMapPathFor("roof"), "../Textures/white_nm.png") << "no dot at all: the flat map";
}
