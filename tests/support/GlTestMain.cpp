// Entry point of the GL test executable: every test in it runs with one real
// OpenGL 3.3 core context current (a hidden GLFW window; under Xvfb and
// llvmpipe when there is no display).
#include "GlTestContext.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Death tests fork; "threadsafe" re-executes the binary, which keeps the
    // child's GL context valid.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::AddGlobalTestEnvironment(new tolvane::test::GlTestContext());
    ::testing::UnitTest::GetInstance()->listeners().Append(new tolvane::test::DriverMessageCheck());
    return RUN_ALL_TESTS();
}
