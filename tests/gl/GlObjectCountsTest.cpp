// The owners' counts of GL objects: what a soak run's census reads to find a
// leak. Each name made must show once, each name deleted once, however the
// owners are moved about.
#include "GlTestContext.h"
#include "TestScene.h"
#include "base/GlObject.h"
#include "bench/ResidentMemory.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using namespace tolvane;

namespace {

// Made and deleted since `before`, for one kind.
struct Change {
    int made;
    int deleted;
};

Change since(const GlObjectCounts& before, GlKind kind)
{
    const GlObjectCounts now = glObjectCounts();
    const int i = static_cast<int>(kind);
    return {now.made[i] - before.made[i], now.deleted[i] - before.deleted[i]};
}

}  // namespace

TEST(GlObjectCounts, EachKindCountsItsOwnNamesAsTheyAreMadeAndDeleted)
{
    const GlObjectCounts before = glObjectCounts();
    {
        GlTexture texture;
        GlBuffer buffers[2];
        GlVertexArray vertexArray;
        GlProgram program;
        GlShader shader = GlShader::adopt(glCreateShader(GL_VERTEX_SHADER));
        const GlObjectCounts during = glObjectCounts();
        EXPECT_EQ(during.live(GlKind::Texture), before.live(GlKind::Texture) + 1);
        EXPECT_EQ(during.live(GlKind::Buffer), before.live(GlKind::Buffer) + 2);
        EXPECT_EQ(during.live(GlKind::VertexArray), before.live(GlKind::VertexArray) + 1);
        EXPECT_EQ(during.live(GlKind::Program), before.live(GlKind::Program) + 1);
        EXPECT_EQ(during.live(GlKind::Shader), before.live(GlKind::Shader) + 1);
        EXPECT_EQ(during.live(GlKind::Framebuffer), before.live(GlKind::Framebuffer));
        EXPECT_EQ(during.totalLive(), before.totalLive() + 6);
    }
    for (GlKind kind : {GlKind::Texture, GlKind::VertexArray, GlKind::Program, GlKind::Shader})
        EXPECT_EQ(since(before, kind).made, 1) << glKindName(kind);
    EXPECT_EQ(since(before, GlKind::Buffer).deleted, 2);
    EXPECT_EQ(glObjectCounts().totalLive(), before.totalLive());
}

// A move hands the name over: one made, one deleted, whichever owner ends
// up deleting it; an owner that is moved into deletes what it held first.
TEST(GlObjectCounts, MovesNeitherCountTwiceNorLoseAName)
{
    const GlObjectCounts before = glObjectCounts();
    {
        GlFramebuffer first;
        GlFramebuffer second(std::move(first));
        GlFramebuffer third;
        third = std::move(second);  // deletes third's own name
        EXPECT_EQ(since(before, GlKind::Framebuffer).made, 2);
        EXPECT_EQ(since(before, GlKind::Framebuffer).deleted, 1);
        third.reset();
        third.reset();  // holds none: deletes nothing
        EXPECT_EQ(since(before, GlKind::Framebuffer).deleted, 2);
    }
    EXPECT_EQ(since(before, GlKind::Framebuffer).deleted, 2);
}

// An owner without a name (NoCreate, or a failed glCreateShader adopted)
// counts nothing, made or deleted.
TEST(GlObjectCounts, OwnersWithoutANameCountNothing)
{
    const GlObjectCounts before = glObjectCounts();
    {
        GlQuery none(NoCreate);
        GlShader failed = GlShader::adopt(0);
    }
    EXPECT_EQ(since(before, GlKind::Query).made, 0);
    EXPECT_EQ(since(before, GlKind::Query).deleted, 0);
    EXPECT_EQ(since(before, GlKind::Shader).made, 0);
    EXPECT_EQ(since(before, GlKind::Shader).deleted, 0);
}

// The program's own objects: a whole scene with its renderer, shadow map,
// meshes, materials and textures gives back every name it made.
TEST(GlObjectCounts, ASceneGivesBackEverythingItMade)
{
    const GlObjectCounts before = glObjectCounts();
    {
        test::TestScene scene(64, 48);
        scene.renderFrame(1.0f);
        EXPECT_GT(glObjectCounts().totalLive(), before.totalLive() + 10);
    }
    const GlObjectCounts after = glObjectCounts();
    for (int kind = 0; kind < kGlKindCount; ++kind)
        EXPECT_EQ(after.live(static_cast<GlKind>(kind)), before.live(static_cast<GlKind>(kind)))
            << glKindName(static_cast<GlKind>(kind));
}

// Resident, not reserved, memory in kilobytes: reserving 64 MiB leaves it
// nearly alone, touching every page of them adds about 65536.
TEST(ResidentMemory, CountsTouchedKilobytes)
{
    constexpr size_t kBytes = size_t{64} << 20;
    const long before = residentKilobytes();
    std::unique_ptr<char[]> block(new char[kBytes]);
    const long reserved = residentKilobytes();
    volatile char* pages = block.get();
    for (size_t at = 0; at < kBytes; at += 4096)
        pages[at] = 1;
    const long touched = residentKilobytes();
    EXPECT_GT(before, 1000);
    EXPECT_LT(reserved - before, 8192);
    EXPECT_GT(touched - reserved, 60000);
    EXPECT_LT(touched - reserved, 72000);
}
