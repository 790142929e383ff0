// The soak run's object census must see objects come and go.
#include "capture/GlObjectCensus.h"
#include "GlTestContext.h"
#include "base/GlObject.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tolvane;

TEST(GlObjectCensus, CountsObjectsAsTheyAreCreatedAndDeleted)
{
    const GlObjectCensus census(512);
    const GlObjectCensus::Counts before = census.take();
    GlTexture texture;
    GlBuffer buffer;
    GlVertexArray vertexArray;
    glBindTexture(GL_TEXTURE_2D, texture.name());  // a name becomes an object when bound
    glBindBuffer(GL_ARRAY_BUFFER, buffer.name());
    glBindVertexArray(vertexArray.name());
    const GlObjectCensus::Counts during = census.take();
    EXPECT_EQ(during.textures, before.textures + 1);
    EXPECT_EQ(during.buffers, before.buffers + 1);
    EXPECT_EQ(during.vertexArrays, before.vertexArrays + 1);
    EXPECT_EQ(during.total(), before.total() + 3);

    glBindVertexArray(0);
    vertexArray.reset();
    buffer.reset();
    texture.reset();
    EXPECT_EQ(census.take().total(), before.total());
}

// Resident, not reserved, memory in kilobytes: reserving 64 MiB leaves it
// nearly alone, touching every page of them adds about 65536.
TEST(GlObjectCensus, ResidentMemoryCountsTouchedKilobytes)
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
