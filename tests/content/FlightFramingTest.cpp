// How the generated flight frames its two subjects, the hut and the camp
// fire, second by second at the film's own pace (30 timeline steps a second
// from 2 s), through the demo's camera (60 degrees high, 1024x600) looking at
// each flight's target.
#include "ContentStage.h"
#include "base/ContentLayout.h"

#include <glm/geometric.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/mat4x4.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <iostream>
#include <optional>
#include <sstream>

using namespace content_test;
using tolvane::content::kFirePit;
using tolvane::content::kFlightTargets;

namespace {

constexpr double kStepsPerSecond = 30.0;
constexpr double kFilmStart = 2.0;
// The longest-lived particles of the fire and its smoke, in seconds: once
// they have burnt this long the fire looks as it will for the rest of the
// film.
constexpr double kFireWarmUp = 4.0;

struct Moment {
    double time = 0.0;  // demo seconds
    int flight = 0;     // 0 to 3
    glm::vec3 camera{0.0f};
    bool fireBurning = false;
};

// Every position the film shows, with the time it is shown at.
std::vector<Moment> film()
{
    std::vector<Moment> moments;
    double time = kFilmStart + 1.0 / kStepsPerSecond;  // the first step starts the music
    bool fire = false;
    for (std::size_t flight = 0; flight < playedPaths().size(); ++flight) {
        for (const PathElement& e : playedPaths()[flight]) {
            time += 1.0 / kStepsPerSecond;
            fire = fire || e.name == "fire_on";
            if (e.name == "spline_position")
                moments.push_back({time, static_cast<int>(flight), e.position, fire});
        }
        time += 1.0 / kStepsPerSecond;  // the switch to the next flight
    }
    return moments;
}

// Where a point lands in the picture, -1 to 1 across and up; none when it
// is behind the camera.
std::optional<glm::vec2> inPicture(const Moment& m, const glm::vec3& point)
{
    const glm::mat4 view = glm::lookAt(m.camera, kFlightTargets[m.flight], glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 1024.0f / 600.0f, 0.1f, 100.0f);
    const glm::vec4 clip = projection * view * glm::vec4(point, 1.0f);
    if (clip.w < 0.1f)
        return std::nullopt;
    return glm::vec2(clip) / clip.w;
}

bool onScreen(const std::optional<glm::vec2>& p)
{
    return p && std::fabs(p->x) <= 1.0f && std::fabs(p->y) <= 1.0f;
}

// The middle of nine equal fields of the picture.
bool centred(const std::optional<glm::vec2>& p)
{
    return p && std::fabs(p->x) < 1.0f / 3.0f && std::fabs(p->y) < 1.0f / 3.0f;
}

// Whether the segment from a to b passes through the triangle
// (Moeller and Trumbore).
bool crosses(const Triangle& t, const glm::vec3& a, const glm::vec3& b)
{
    const glm::vec3 d = b - a;
    const glm::vec3 e1 = t[1] - t[0];
    const glm::vec3 e2 = t[2] - t[0];
    const glm::vec3 p = glm::cross(d, e2);
    const float det = glm::dot(e1, p);
    if (std::fabs(det) < 1e-9f)
        return false;
    const glm::vec3 s = a - t[0];
    const float u = glm::dot(s, p) / det;
    if (u < 0.0f || u > 1.0f)
        return false;
    const glm::vec3 q = glm::cross(s, e1);
    const float v = glm::dot(d, q) / det;
    if (v < 0.0f || u + v > 1.0f)
        return false;
    const float along = glm::dot(e2, q) / det;
    return along > 0.0f && along < 1.0f;
}

struct Subjects {
    std::vector<Triangle> hutSurfaces =
        trianglesOf([](const aiMesh& mesh) { return materialName(mesh).rfind("hut_", 0) == 0; });
    glm::vec3 hutMiddle = [] {
        const Box hut = boundsOfMeshes("hut_");
        return 0.5f * (hut.min + hut.max);
    }();
    // The middle of the flames, and points round them where a glimpse of the
    // fire would show first.
    glm::vec3 flames = kFirePit + glm::vec3(0.0f, 0.45f, 0.0f);
    std::array<glm::vec3, 5> fireOutline = {
        flames, kFirePit + glm::vec3(0.0f, 1.2f, 0.0f), kFirePit + glm::vec3(0.0f, 0.15f, 0.0f),
        kFirePit + glm::vec3(0.45f, 0.3f, 0.45f), kFirePit + glm::vec3(-0.45f, 0.3f, -0.45f)};

    bool hidden(const glm::vec3& from, const glm::vec3& point) const
    {
        return std::any_of(hutSurfaces.begin(), hutSurfaces.end(),
                           [&](const Triangle& t) { return crosses(t, from, point); });
    }
    bool fireInSight(const Moment& m) const
    {
        return std::any_of(fireOutline.begin(), fireOutline.end(),
                           [&](const glm::vec3& p) { return onScreen(inPicture(m, p)) && !hidden(m.camera, p); });
    }
    bool anyCentred(const Moment& m) const
    {
        return centred(inPicture(m, hutMiddle)) || (centred(inPicture(m, flames)) && !hidden(m.camera, flames));
    }
};

// The first moment of each second of the film.
std::vector<Moment> everySecond(const std::vector<Moment>& moments)
{
    std::vector<Moment> seconds;
    for (const Moment& m : moments)
        if (seconds.empty() || std::floor(m.time) > std::floor(seconds.back().time))
            seconds.push_back(m);
    return seconds;
}

}  // namespace

// A film that keeps its subject in the middle of the picture reads as a
// turntable: most seconds should show the hut and the fire off the middle.
TEST(FlightFraming, HutAndFireSitOffTheMiddleMostOfTheFilm)
{
    const Subjects subjects;
    const std::vector<Moment> seconds = everySecond(film());
    ASSERT_GT(seconds.size(), 60u);
    std::ostringstream centredAt;
    int count = 0;
    for (const Moment& m : seconds)
        if (subjects.anyCentred(m)) {
            ++count;
            centredAt << static_cast<int>(m.time) << " ";
        }
    EXPECT_LE(count, 0.4 * seconds.size()) << "centred at " << centredAt.str();
    std::cout << "Centred in " << count << " of " << seconds.size() << " seconds: " << centredAt.str() << "\n";
}

// The fire is lit as the film starts and first comes into sight once its
// flames and smoke have risen, early in the first flight; it never pops in.
TEST(FlightFraming, FireBurnsFullyWhenFirstSeenWithinTenSeconds)
{
    const Subjects subjects;
    const std::vector<Moment> moments = film();
    const auto lit = std::find_if(moments.begin(), moments.end(), [](const Moment& m) { return m.fireBurning; });
    ASSERT_NE(lit, moments.end()) << "the fire is never lit";
    const auto seen =
        std::find_if(moments.begin(), moments.end(), [&](const Moment& m) { return subjects.fireInSight(m); });
    ASSERT_NE(seen, moments.end()) << "the fire is never seen";
    EXPECT_GE(seen->time, lit->time + kFireWarmUp) << "the fire comes into sight before it has risen";
    EXPECT_LE(seen->time, kFilmStart + 10.0) << "the fire is first seen too late";
    std::cout << "The fire is lit at " << lit->time << " s and first seen at " << seen->time << " s\n";
}

// Low along the ground, at eye height and high over the roofs.
TEST(FlightFraming, CameraFliesLowAndHigh)
{
    float lowest = 1e9f;
    float highest = -1e9f;
    for (const Moment& m : film()) {
        lowest = std::min(lowest, m.camera.y);
        highest = std::max(highest, m.camera.y);
    }
    EXPECT_LE(lowest, 0.8f);
    EXPECT_GE(highest, 5.0f);
}
