#include "scene/Camera.h"
#include "scene/Object3D.h"

#include "GlmAssertions.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace tolvane {
namespace {

using test::expectMatNear;
using test::expectVecNear;

TEST(WorldTransform, RootWorldMatrixIsItsLocalMatrix)
{
    Object3D node;
    node.rotate(30.0f, glm::vec3(1.0f, 1.0f, 0.0f));
    node.translate(4.0f, -5.0f, 6.0f);

    expectMatNear(node.localMatrix, node.getWorldMatrix());
    const glm::vec4 column = node.localMatrix[3];
    expectVecNear(glm::vec3(column), node.getWorldPosition());
}

TEST(WorldTransform, TranslateMovesAFreshNode)
{
    Object3D node;
    node.translate(1.0f, 2.0f, 3.0f);
    expectVecNear(glm::vec3(1.0f, 2.0f, 3.0f), node.getWorldPosition());

    Object3D overlay;
    overlay.translate(4.0f, 5.0f);
    expectVecNear(glm::vec3(4.0f, 5.0f, 0.0f), overlay.getWorldPosition());
}

TEST(WorldTransform, ChildIsPlacedInItsParentsFrame)
{
    Object3D parent;
    auto* child = new Object3D();
    parent.addChild(child);
    parent.translate(2.0f, 0.0f, 0.0f);
    child->translate(0.0f, 1.0f, 0.0f);

    expectVecNear(glm::vec3(2.0f, 1.0f, 0.0f), child->getWorldPosition());
}

TEST(WorldTransform, AskingAChildRewritesEveryAncestor)
{
    Object3D root;
    auto* middle = new Object3D();
    auto* leaf = new Object3D();
    root.addChild(middle);
    middle->addChild(leaf);
    root.rotate(90.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    middle->translate(1.0f, 0.0f, 0.0f);
    leaf->translate(0.0f, 0.0f, 1.0f);
    root.worldMatrix = glm::mat4(0.0f);
    middle->worldMatrix = glm::mat4(0.0f);

    leaf->updateWorldMatrix();

    expectMatNear(root.localMatrix, root.worldMatrix);
    expectMatNear(root.localMatrix * middle->localMatrix, middle->worldMatrix);
    // A quarter turn about +y takes (1, 0, 1) to (1, 0, -1).
    expectVecNear(glm::vec3(1.0f, 0.0f, -1.0f), glm::vec3(leaf->worldMatrix[3]));
}

TEST(WorldTransform, NothingIsCachedBetweenQueries)
{
    Object3D parent;
    auto* child = new Object3D();
    parent.addChild(child);
    expectVecNear(glm::vec3(0.0f), child->getWorldPosition());

    parent.translate(0.0f, 0.0f, -7.0f);

    expectVecNear(glm::vec3(0.0f, 0.0f, -7.0f), child->getWorldPosition());
}

TEST(LocalTransform, LaterTransformsActInTheFrameOfEarlierOnes)
{
    Object3D translatedFirst;
    translatedFirst.translate(1.0f, 0.0f, 0.0f);
    translatedFirst.rotate(90.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    expectVecNear(glm::vec3(1.0f, 0.0f, 0.0f), translatedFirst.getWorldPosition());
    // Turned about its own vertical axis: its x axis now points along -z.
    expectVecNear(glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(translatedFirst.worldMatrix[0]));

    Object3D rotatedFirst;
    rotatedFirst.rotate(90.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    rotatedFirst.translate(1.0f, 0.0f, 0.0f);
    expectVecNear(glm::vec3(0.0f, 0.0f, -1.0f), rotatedFirst.getWorldPosition());
}

TEST(LocalTransform, RotationAnglesAreDegreesAboutANormalisedAxis)
{
    Object3D halfTurn;
    halfTurn.rotate(180.0f, glm::vec3(0.0f, 0.0f, 1.0f));
    expectVecNear(glm::vec4(-1.0f, 0.0f, 0.0f, 1.0f), halfTurn.localMatrix * glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));

    Object3D unitAxis;
    Object3D longAxis;
    unitAxis.rotate(90.0f, glm::vec3(0.0f, 1.0f, 0.0f));
    longAxis.rotate(90.0f, glm::vec3(0.0f, 2.0f, 0.0f));
    expectMatNear(unitAxis.localMatrix, longAxis.localMatrix);
}

// Appends "<name>.<operation>" to a shared log for every call it receives,
// then forwards like any node.
class RecordingNode : public Object3D {
public:
    RecordingNode(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

    void update(double elapsedSeconds) override
    {
        log_.push_back(name_ + ".update(" + std::to_string(elapsedSeconds) + ")");
        Object3D::update(elapsedSeconds);
    }
    void drawShadow(Camera* camera, ODShadowMap* shadowMap) override
    {
        log_.push_back(name_ + ".drawShadow");
        lastCamera = camera;
        Object3D::drawShadow(camera, shadowMap);
    }
    void draw(Camera* camera) override
    {
        log_.push_back(name_ + ".draw");
        lastCamera = camera;
        Object3D::draw(camera);
    }

    Camera* lastCamera = nullptr;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

TEST(Forwarding, OperationsReachEveryNodeDepthFirstInInsertionOrder)
{
    std::vector<std::string> log;
    Object3D root;
    auto* plainMiddle = new Object3D();
    auto* a = new RecordingNode("a", log);
    auto* b = new RecordingNode("b", log);
    auto* c = new RecordingNode("c", log);
    root.addChild(plainMiddle);
    plainMiddle->addChild(a);
    a->addChild(b);
    root.addChild(c);

    root.update(0.25);
    EXPECT_EQ((std::vector<std::string>{"a.update(0.250000)", "b.update(0.250000)", "c.update(0.250000)"}), log);

    // The shadow map a pass hands down is a GL object: that it reaches a
    // nested mesh is shown by the depth the mesh leaves (ShadowMapTest).
    log.clear();
    Camera camera;
    root.drawShadow(&camera, nullptr);
    EXPECT_EQ((std::vector<std::string>{"a.drawShadow", "b.drawShadow", "c.drawShadow"}), log);
    EXPECT_EQ(&camera, b->lastCamera);

    log.clear();
    Camera other;
    root.draw(&other);
    EXPECT_EQ((std::vector<std::string>{"a.draw", "b.draw", "c.draw"}), log);
    EXPECT_EQ(&other, b->lastCamera);
    EXPECT_EQ(&other, c->lastCamera);
}

TEST(Forwarding, AddChildLinksParentAndKeepsOrder)
{
    Object3D root;
    auto* first = new Object3D();
    auto* second = new Object3D();
    root.addChild(first);
    root.addChild(second);

    ASSERT_EQ(2u, root.children.size());
    EXPECT_EQ(first, root.children[0]);
    EXPECT_EQ(second, root.children[1]);
    EXPECT_EQ(&root, first->parent);
    EXPECT_EQ(nullptr, root.parent);
}

// Records its id in a shared list when destroyed.
class CountingNode : public Object3D {
public:
    CountingNode(int id, std::vector<int>& destroyed) : id_(id), destroyed_(destroyed) {}
    ~CountingNode() override { destroyed_.push_back(id_); }

private:
    int id_;
    std::vector<int>& destroyed_;
};

TEST(Destruction, DestroysEveryDescendantExactlyOnce)
{
    std::vector<int> destroyed;
    auto* root = new CountingNode(0, destroyed);
    auto* left = new CountingNode(1, destroyed);
    auto* plain = new Object3D();
    root->addChild(left);
    root->addChild(plain);
    left->addChild(new CountingNode(2, destroyed));
    left->addChild(new CountingNode(3, destroyed));
    plain->addChild(new CountingNode(4, destroyed));

    delete root;

    // The root's own destructor body runs before its base destroys children.
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), destroyed);
}

}  // namespace
}  // namespace tolvane
