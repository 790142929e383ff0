// The order in which EGL's devices are tried: a graphics card before Mesa's
// software renderer, whatever order EGL lists them in, and the surfaceless
// platform only as the last resort.
#include "session/EglContext.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using tolvane::EglCandidate;
using Kind = EglCandidate::Kind;

EglCandidate device(Kind kind, int index)
{
    EglCandidate option;
    option.kind = kind;
    option.device = index;
    return option;
}

std::vector<int> order(const std::vector<EglCandidate>& ranked)
{
    std::vector<int> indices;
    for (const EglCandidate& option : ranked)
        indices.push_back(option.device);
    return indices;
}

TEST(EglCandidatesTest, HardwareFirstInEglOrderThenSoftwareThenSurfaceless)
{
    const std::vector<EglCandidate> listed = {device(Kind::Software, 0), device(Kind::Hardware, 1),
                                              device(Kind::Software, 2), device(Kind::Hardware, 3)};
    const std::vector<EglCandidate> ranked = tolvane::rankEglCandidates(listed, true);
    EXPECT_EQ(order(ranked), (std::vector<int>{1, 3, 0, 2, -1}));
    EXPECT_EQ(ranked.back().kind, Kind::Surfaceless);
}

TEST(EglCandidatesTest, NothingToTryWithoutDevicesOrSurfaceless)
{
    EXPECT_TRUE(tolvane::rankEglCandidates({}, false).empty());
    const std::vector<EglCandidate> onlySurfaceless = tolvane::rankEglCandidates({}, true);
    ASSERT_EQ(onlySurfaceless.size(), 1u);
    EXPECT_EQ(onlySurfaceless[0].kind, Kind::Surfaceless);
    EXPECT_EQ(order(tolvane::rankEglCandidates({device(Kind::Software, 0)}, false)), (std::vector<int>{0}));
}

}  // namespace
