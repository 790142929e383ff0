#pragma once
#include "base/ContentLayout.h"

#include <glm/vec3.hpp>

namespace tolvane::content {

// Where things stand. The demo places its lights, flames and particle
// emitters at fixed coordinates; the model is built around those points.
namespace layout {

// Log walls: centre lines of the logs. The door wall faces +z.
constexpr float kWallWest = -1.15f;
constexpr float kWallEast = 1.40f;
constexpr float kWallNorth = -1.35f;  // back
constexpr float kWallSouth = 1.25f;   // front, with the door
constexpr float kLogRadius = 0.1f;
constexpr float kPlinthTop = 0.16f;
constexpr int kLogCourses = 9;          // per wall, alternating with the cross walls
constexpr float kCourseHeight = 0.19f;  // the walls top out at about 1.9
constexpr float kEaveHeight = kPlinthTop + kLogCourses * kCourseHeight;
constexpr float kRidgeHeight = 2.55f;
constexpr float kRoofOverhangSide = 0.2f;
constexpr float kRoofOverhangEnd = 0.25f;
constexpr float kThatchThickness = 0.13f;

// The hut, roof included, stays below this height and inside this radius.
constexpr float kHutMaxHeight = 2.8f;
constexpr float kHutMaxRadius = 2.7f;

// Openings in the front wall and in the east wall.
constexpr float kDoorLeft = -0.78f;
constexpr float kDoorRight = -0.08f;
constexpr float kDoorTop = 1.46f;
constexpr float kWindowLeft = 0.45f;  // front window, along x
constexpr float kWindowRight = 1.05f;
constexpr float kWindowBottom = 0.78f;
constexpr float kWindowTop = 1.30f;
constexpr float kSideWindowNear = -0.85f;  // east window, along z
constexpr float kSideWindowFar = -0.25f;

// Flames of the two torches (the demo's billboards) and the camp fire, where
// the demo places them.
using content::kFireEmitter;
using content::kFirePit;
using content::kFireSpread;
using content::kTorchFlameA;
using content::kTorchFlameB;

// The clearing: flat near the hut and the fire, rising into a wooded rim
// that is highest kRimTop out. The ground reaches beyond the last ring of
// trees, which stand three deep so that no sky shows between the trunks.
constexpr float kTerrainHalfSize = 26.0f;
constexpr float kClearingRadius = 11.0f;
constexpr float kRimTop = 25.0f;
constexpr float kTreeRingInner = 12.5f;

}  // namespace layout
}  // namespace tolvane::content
