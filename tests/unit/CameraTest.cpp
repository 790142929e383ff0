#include "scene/Camera.h"
#include "scene/BoundingBox.h"
#include "scene/CubeGeometry.h"
#include "scene/Frustum.h"
#include "scene/OrthogonalCamera.h"
#include "scene/PerspectiveCamera.h"

#include "GlmAssertions.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace tolvane {
namespace {

using test::expectMatNear;
using test::expectVecNear;

glm::vec3 toNdc(const glm::mat4& projection, glm::vec3 viewPoint)
{
    const glm::vec4 clip = projection * glm::vec4(viewPoint, 1.0f);
    return glm::vec3(clip) / clip.w;
}

TEST(CameraView, DefaultCameraLooksFromPlusXAtTheOrigin)
{
    Camera camera;

    expectVecNear(glm::vec4(0.0f, 0.0f, -1.0f, 1.0f), camera.localMatrix * glm::vec4(0.0f, 0.0f, 0.0f, 1.0f));
    expectVecNear(glm::vec4(0.0f, 0.0f, 0.0f, 1.0f), camera.localMatrix * glm::vec4(camera.position, 1.0f));
    // Up stays up in view space.
    expectVecNear(glm::vec4(0.0f, 1.0f, -1.0f, 1.0f), camera.localMatrix * glm::vec4(0.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(nullptr, camera.frustum);
    expectMatNear(glm::mat4(1.0f), camera.projection);
}

TEST(CameraView, UpdateViewFollowsTheAimingFields)
{
    PerspectiveCamera camera(60.0f, 1.5f, 0.1f, 100.0f);
    camera.position = glm::vec3(-1.0f, 1.0f, 6.0f);
    camera.target = glm::vec3(-0.5f, 1.0f, 0.1f);

    camera.updateView();

    const glm::mat4 view = glm::lookAt(camera.position, camera.target, camera.up);
    expectMatNear(view, camera.localMatrix);
    expectMatNear(camera.projection * view, camera.frustum->matrix);
}

TEST(CameraView, FrustumIncludesTheParentOnlyAtUpdateView)
{
    Object3D pivot;
    auto* camera = new PerspectiveCamera(90.0f, 1.0f, 0.1f, 15.0f);
    pivot.addChild(camera);
    pivot.translate(3.0f, 0.0f, 0.0f);
    const glm::mat4 before = camera->frustum->matrix;

    camera->updateView();
    const glm::mat4 withParent = camera->projection * pivot.localMatrix * camera->localMatrix;
    expectMatNear(withParent, camera->frustum->matrix);
    EXPECT_NE(before, camera->frustum->matrix);

    pivot.translate(0.0f, 5.0f, 0.0f);
    expectMatNear(withParent, camera->frustum->matrix);
}

TEST(PerspectiveProjection, MatchesTheOpenGlPerspectiveMatrix)
{
    PerspectiveCamera square(90.0f, 1.0f, 0.1f, 15.0f);
    EXPECT_NEAR(1.0f, square.projection[0][0], 1e-5f);
    EXPECT_NEAR(1.0f, square.projection[1][1], 1e-5f);

    PerspectiveCamera wide(60.0f, 2.0f, 0.5f, 10.0f);
    const float sqrt3 = std::sqrt(3.0f);
    EXPECT_NEAR(sqrt3, wide.projection[1][1], 1e-5f);
    EXPECT_NEAR(sqrt3 / 2.0f, wide.projection[0][0], 1e-5f);
    EXPECT_NEAR(-10.5f / 9.5f, wide.projection[2][2], 1e-5f);
    EXPECT_NEAR(-1.0f, wide.projection[2][3], 1e-6f);
    EXPECT_NEAR(-10.0f / 9.5f, wide.projection[3][2], 1e-5f);
    EXPECT_FLOAT_EQ(0.0f, wide.projection[3][3]);
    EXPECT_FLOAT_EQ(60.0f, wide.fov);
    EXPECT_FLOAT_EQ(2.0f, wide.aspect);
    EXPECT_FLOAT_EQ(0.5f, wide.near);
    EXPECT_FLOAT_EQ(10.0f, wide.far);
}

TEST(PerspectiveProjection, NearMapsToMinusOneAndFarToPlusOne)
{
    PerspectiveCamera camera(60.0f, 16.0f / 9.0f, 0.1f, 100.0f);

    EXPECT_NEAR(-1.0f, toNdc(camera.projection, glm::vec3(0.0f, 0.0f, -0.1f)).z, 1e-5f);
    EXPECT_NEAR(1.0f, toNdc(camera.projection, glm::vec3(0.0f, 0.0f, -100.0f)).z, 1e-4f);
}

TEST(PerspectiveProjection, ConstructionLeavesFrustumInStepWithTheView)
{
    PerspectiveCamera camera(60.0f, 1.0f, 0.1f, 100.0f);
    ASSERT_NE(nullptr, camera.frustum);
    expectMatNear(camera.projection * camera.localMatrix, camera.frustum->matrix);
}

TEST(OrthographicProjection, MapsTheWindowRectangleOntoClipSpace)
{
    OrthogonalCamera camera(0.0f, 800.0f, 0.0f, 600.0f, 0.01f, 10.0f);

    expectVecNear(glm::vec3(1.0f, 1.0f, 0.0f), toNdc(camera.projection, glm::vec3(800.0f, 600.0f, 0.0f)));
    expectVecNear(glm::vec3(-1.0f, -1.0f, 0.0f), toNdc(camera.projection, glm::vec3(0.0f)));
    // Depth passes through as -z.
    EXPECT_NEAR(0.5f, toNdc(camera.projection, glm::vec3(0.0f, 0.0f, -0.5f)).z, 1e-6f);
    EXPECT_EQ(nullptr, camera.frustum);

    OrthogonalCamera otherDepth(0.0f, 800.0f, 0.0f, 600.0f, 1.0f, 500.0f);
    EXPECT_EQ(camera.projection, otherDepth.projection);
}

// A camera at (0, 0, 5) looking down -z, 60 degrees, square aspect: at the
// origin the view is about 2.89 units wide on each side.
class FrustumTest : public ::testing::Test {
protected:
    FrustumTest() : camera(60.0f, 1.0f, 0.1f, 100.0f), box(cube, nullptr)
    {
        camera.position = glm::vec3(0.0f, 0.0f, 5.0f);
        camera.target = glm::vec3(0.0f);
        camera.updateView();
    }

    int test(const glm::mat4& model) const { return camera.frustum->testBox(box, model); }

    static glm::mat4 at(float x, float y, float z, glm::vec3 scale = glm::vec3(1.0f))
    {
        return glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, z)), scale);
    }

    PerspectiveCamera camera;
    CubeGeometry cube;
    BoundingBox box;
};

TEST_F(FrustumTest, BoxesInsideOrAroundTheViewAreVisible)
{
    EXPECT_EQ(Frustum::kVisible, test(at(0.0f, 0.0f, 0.0f)));
    // Containing the eye: corners lie on both sides of every plane.
    EXPECT_EQ(Frustum::kVisible, test(at(0.0f, 0.0f, 5.0f, glm::vec3(4.0f))));
    // Straddling the left plane.
    EXPECT_EQ(Frustum::kVisible, test(at(-2.9f, 0.0f, 0.0f)));
}

TEST_F(FrustumTest, BoxesWhollyBeyondOnePlaneAreCulled)
{
    EXPECT_EQ(Frustum::kOutside, test(at(0.0f, 0.0f, 10.0f)));    // behind the eye
    EXPECT_EQ(Frustum::kOutside, test(at(-10.0f, 0.0f, 0.0f)));   // left
    EXPECT_EQ(Frustum::kOutside, test(at(10.0f, 0.0f, 0.0f)));    // right
    EXPECT_EQ(Frustum::kOutside, test(at(0.0f, 10.0f, 0.0f)));    // above
    EXPECT_EQ(Frustum::kOutside, test(at(0.0f, -10.0f, 0.0f)));   // below
    EXPECT_EQ(Frustum::kOutside, test(at(0.0f, 0.0f, -200.0f)));  // past far
}

TEST_F(FrustumTest, BoxBeyondDifferentPlanesCountsAsVisible)
{
    // A thin diamond off the upper-left edge of the view: its right tip is
    // only above the view, its bottom tip only left of it, and no part of
    // it is inside. The test is conservative and keeps it.
    glm::mat4 model = at(-3.5f, 3.5f, 0.0f);
    model = glm::rotate(model, glm::radians(45.0f), glm::vec3(0.0f, 0.0f, 1.0f));
    model = glm::scale(model, glm::vec3(std::sqrt(2.0f), std::sqrt(2.0f), 0.01f));

    EXPECT_EQ(Frustum::kVisible, test(model));
}

TEST_F(FrustumTest, ModelMatrixPlacesTheBox)
{
    EXPECT_EQ(Frustum::kOutside, test(at(0.0f, 0.0f, 10.0f)));
    // A half turn about +y at the eye's side brings a box from behind to in front.
    glm::mat4 turned = glm::rotate(glm::mat4(1.0f), glm::radians(180.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(Frustum::kVisible, test(turned * at(0.0f, 0.0f, 2.0f)));
    EXPECT_EQ(Frustum::kOutside, test(turned * at(0.0f, 0.0f, -10.0f)));
}

}  // namespace
}  // namespace tolvane
