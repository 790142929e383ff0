// The soak run's object census must see objects come and go.
#include "capture/GlObjectCensus.h"
#include "GlTestContext.h"

#include <gtest/gtest.h>

using namespace tolvane;

TEST(GlObjectCensus, CountsObjectsAsTheyAreCreatedAndDeleted)
{
    const GlObjectCensus census(512);
    const GlObjectCensus::Counts before = census.take();
    GLuint texture = 0, buffer = 0, vertexArray = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);  // a name becomes an object when bound
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGenVertexArrays(1, &vertexArray);
    glBindVertexArray(vertexArray);
    const GlObjectCensus::Counts during = census.take();
    EXPECT_EQ(during.textures, before.textures + 1);
    EXPECT_EQ(during.buffers, before.buffers + 1);
    EXPECT_EQ(during.vertexArrays, before.vertexArrays + 1);
    EXPECT_EQ(during.total(), before.total() + 3);

    glBindVertexArray(0);
    glDeleteVertexArrays(1, &vertexArray);
    glDeleteBuffers(1, &buffer);
    glDeleteTextures(1, &texture);
    EXPECT_EQ(census.take().total(), before.total());
}

TEST(GlObjectCensus, ResidentMemoryIsKnownOnLinux)
{
    EXPECT_GT(residentKilobytes(), 1000);
}
