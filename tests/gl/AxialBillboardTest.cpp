// The flame billboards' turning towards the camera, on real meshes.
#include "GlTestContext.h"

#include "import/QuadGeometry.h"
#include "render/AxialBillboard.h"
#include "render/Material.h"
#include "render/SceneContext.h"
#include "render/ShaderFiles.h"
#include "scene/PerspectiveCamera.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <memory>

namespace tolvane::test {
namespace {

class ProbeNode : public Object3D {
public:
    void update(double) override { ++updates; }
    int updates = 0;
};

// A camera `degrees` away from the billboard's +z, towards +x for positive
// angles and towards -x for negative ones, at distance 5 and height 1.
glm::vec3 onCircle(float degrees)
{
    const float radians = degrees * 3.1415927f / 180.0f;
    return glm::vec3(5.0f * std::sin(radians), 1.0f, 5.0f * std::cos(radians));
}

class AxialBillboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        context = std::make_unique<SceneContext>();
        material = std::make_unique<Material>(ShaderFiles::kColorVertex, ShaderFiles::kColorFragment, "");
        geometry = std::make_unique<QuadGeometry>();
        camera = std::make_unique<PerspectiveCamera>(60.0f, 1.0f, 0.1f, 100.0f);
        billboard = std::make_unique<AxialBillboard>(geometry.get(), material.get(), camera.get());
        probe = new ProbeNode();
        billboard->addChild(probe);
    }

    void lookFrom(const glm::vec3& position)
    {
        camera->position = position;
        billboard->update(0.016);
    }

    // Where the billboard's front (+z) points, in its parent's frame.
    glm::vec3 front() const { return glm::normalize(glm::vec3(billboard->localMatrix[2])); }

    std::unique_ptr<SceneContext> context;
    std::unique_ptr<Material> material;
    std::unique_ptr<QuadGeometry> geometry;
    std::unique_ptr<PerspectiveCamera> camera;
    std::unique_ptr<AxialBillboard> billboard;
    ProbeNode* probe = nullptr;
};

void expectNear(const glm::vec3& actual, const glm::vec3& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
    EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

// Wherever the camera goes, and however it jumps between updates (across
// the billboard's z axis too, as a cut between two shots does), the front
// faces it.
TEST_F(AxialBillboardTest, FacesTheCameraFromEverySide)
{
    for (const float degrees : {90.0f, 45.0f, -45.0f, -60.0f, 170.0f, -170.0f, 180.0f, 0.5f, -0.5f, 0.0f, 120.0f}) {
        SCOPED_TRACE(degrees);
        lookFrom(onCircle(degrees));
        const glm::vec3 toCamera = glm::normalize(glm::vec3(camera->position.x, 0.0f, camera->position.z));
        expectNear(front(), toCamera);
        expectNear(glm::vec3(billboard->localMatrix[1]), glm::vec3(0.0f, 1.0f, 0.0f));
    }
    EXPECT_EQ(probe->updates, 11) << "children are updated whether or not it turned";
}

TEST_F(AxialBillboardTest, HoldsStillWithTheCameraDirectlyAboveOrBelow)
{
    lookFrom(onCircle(30.0f));
    const glm::mat4 facing = billboard->localMatrix;
    lookFrom(glm::vec3(0.0f, 3.0f, 0.0f));   // straight above
    lookFrom(glm::vec3(0.0f, -3.0f, 0.0f));  // straight below
    EXPECT_EQ(billboard->localMatrix, facing);
    EXPECT_NEAR(billboard->currentAngle, 30.0f, 1e-4f);
    EXPECT_EQ(probe->updates, 3);
}

TEST_F(AxialBillboardTest, KeepsItsPlacementAndScaleWhileTurning)
{
    billboard->translate(-1.384822f, 1.367798f, 0.000135755f);
    billboard->localMatrix = glm::scale(billboard->localMatrix, glm::vec3(0.1f));
    const glm::vec3 position = billboard->getWorldPosition();
    lookFrom(position + glm::vec3(-3.0f, 0.5f, 0.0f));  // due -x of the billboard
    EXPECT_NEAR(billboard->currentAngle, -90.0f, 1e-4f);
    expectNear(billboard->getWorldPosition(), position);
    expectNear(front(), glm::vec3(-1.0f, 0.0f, 0.0f));
    EXPECT_NEAR(glm::length(glm::vec3(billboard->localMatrix[2])), 0.1f, 1e-6f);
    EXPECT_NEAR(glm::length(glm::vec3(billboard->localMatrix[1])), 0.1f, 1e-6f);
}

}  // namespace
}  // namespace tolvane::test
