#pragma once

#include <glm/glm.hpp>
#include <gtest/gtest.h>

// Element-wise comparisons of GLM values that report the failing element.
namespace tolvane::test {

inline constexpr float kTolerance = 1e-5f;

inline void expectVecNear(glm::vec3 expected, glm::vec3 actual, float tolerance = kTolerance)
{
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(expected[i], actual[i], tolerance) << "element " << i;
    }
}

inline void expectVecNear(glm::vec4 expected, glm::vec4 actual, float tolerance = kTolerance)
{
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(expected[i], actual[i], tolerance) << "element " << i;
    }
}

inline void expectMatNear(const glm::mat4& expected, const glm::mat4& actual, float tolerance = kTolerance)
{
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            EXPECT_NEAR(expected[column][row], actual[column][row], tolerance)
                << "element [" << column << "][" << row << "]";
        }
    }
}

}  // namespace tolvane::test
