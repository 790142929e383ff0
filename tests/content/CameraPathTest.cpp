#include "ContentStage.h"
#include "base/ContentLayout.h"

#include <glm/geometric.hpp>
#include <glm/vec2.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>

using namespace content_test;

namespace {

// The renderer's fade as the timeline drives it: a request while another
// fade runs, or from the wrong end, is dropped.
struct Fade {
    float value = 0.0f;
    bool in = false;
    bool out = false;

    bool startIn()
    {
        if (out || value != 0.0f)
            return false;
        in = true;
        return true;
    }
    bool startOut()
    {
        if (in || value != 1.0f)
            return false;
        out = true;
        return true;
    }
    void advance(double dt)
    {
        if (in)
            value = static_cast<float>(value + 2.0 * dt);
        else if (out)
            value = static_cast<float>(value - 2.0 * dt);
        if (value <= 0.0f) {
            out = false;
            value = 0.0f;
        } else if (value >= 1.0f) {
            in = false;
            value = 1.0f;
        }
    }
};

struct Playback {
    std::vector<std::string> lostRequests;
    std::vector<float> fadeAtSwitch;   // picture brightness when a path ends
    std::vector<double> visibleShare;  // per path: positions shown at full brightness
    std::vector<std::string> eventOrder;
};

// Plays the four paths with frames of `dt` seconds, one step at most per
// frame once more than 0.02 s have gathered.
Playback play(double dt)
{
    Playback result;
    Fade fade;
    const auto& paths = playedPaths();
    double clock = 0.0;
    bool musicStarted = false;
    std::size_t path = 0;
    std::size_t next = 0;
    std::size_t positions = 0;
    std::size_t visible = 0;
    while (path < paths.size()) {
        fade.advance(dt);
        clock += dt;
        if (clock <= 0.02)
            continue;
        if (!musicStarted) {  // the first step starts the music and fades in
            musicStarted = true;
            if (!fade.startIn())
                result.lostRequests.push_back("initial fade_in");
            continue;
        }
        clock = 0.0;
        if (next == paths[path].size()) {
            result.fadeAtSwitch.push_back(fade.value);
            result.visibleShare.push_back(positions ? static_cast<double>(visible) / positions : 0.0);
            ++path;
            next = positions = visible = 0;
            continue;
        }
        const PathElement& e = paths[path][next++];
        if (e.name == "spline_position") {
            ++positions;
            visible += fade.value == 1.0f ? 1 : 0;
            continue;
        }
        result.eventOrder.push_back(std::to_string(path + 1) + ":" + e.name);
        const bool accepted = e.name == "fade_in" ? fade.startIn() : e.name == "fade_out" ? fade.startOut() : true;
        if (!accepted)
            result.lostRequests.push_back(result.eventOrder.back());
    }
    return result;
}

float groundBelow(const glm::vec3& p)
{
    static std::map<std::pair<int, int>, float> highest;
    if (highest.empty()) {
        const aiScene& scene = model();
        for (unsigned m = 0; m < scene.mNumMeshes; ++m)
            if (isTerrain(*scene.mMeshes[m]))
                for (unsigned v = 0; v < scene.mMeshes[m]->mNumVertices; ++v) {
                    const aiVector3D& q = scene.mMeshes[m]->mVertices[v];
                    auto key = std::make_pair(static_cast<int>(std::floor(q.x)), static_cast<int>(std::floor(q.z)));
                    auto it = highest.find(key);
                    highest[key] = it == highest.end() ? q.y : std::max(it->second, q.y);
                }
    }
    float h = -1e9f;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz) {
            auto it = highest.find({static_cast<int>(std::floor(p.x)) + dx, static_cast<int>(std::floor(p.z)) + dz});
            if (it != highest.end())
                h = std::max(h, it->second);
        }
    return h;
}

// Non-terrain triangles bucketed by the unit cells their x-z extent covers.
const std::map<std::pair<int, int>, std::vector<Triangle>>& propTriangles()
{
    static std::map<std::pair<int, int>, std::vector<Triangle>> cells;
    if (!cells.empty())
        return cells;
    for (const Triangle& t : trianglesOf([](const aiMesh& mesh) { return !isTerrain(mesh); })) {
        const int x0 = static_cast<int>(std::floor(std::min({t[0].x, t[1].x, t[2].x})));
        const int x1 = static_cast<int>(std::floor(std::max({t[0].x, t[1].x, t[2].x})));
        const int z0 = static_cast<int>(std::floor(std::min({t[0].z, t[1].z, t[2].z})));
        const int z1 = static_cast<int>(std::floor(std::max({t[0].z, t[1].z, t[2].z})));
        for (int x = x0; x <= x1; ++x)
            for (int z = z0; z <= z1; ++z)
                cells[{x, z}].push_back(t);
    }
    return cells;
}

// A closed solid seen from inside shows the back of the surface straight
// above: the nearest surface above the camera must face downwards.
bool insideSolid(const glm::vec3& p)
{
    const auto& cells = propTriangles();
    const auto it = cells.find({static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.z))});
    if (it == cells.end())
        return false;
    float nearest = 1e9f;
    bool facesUp = false;
    for (const Triangle& t : it->second) {
        const glm::vec2 a(t[0].x, t[0].z), b(t[1].x, t[1].z), c(t[2].x, t[2].z), q(p.x, p.z);
        const float area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
        if (std::fabs(area) < 1e-9f)
            continue;
        const float u = ((b.x - q.x) * (c.y - q.y) - (c.x - q.x) * (b.y - q.y)) / area;
        const float v = ((c.x - q.x) * (a.y - q.y) - (a.x - q.x) * (c.y - q.y)) / area;
        if (u < 0.0f || v < 0.0f || u + v > 1.0f)
            continue;
        const float y = u * t[0].y + v * t[1].y + (1.0f - u - v) * t[2].y;
        if (y > p.y && y < nearest) {
            nearest = y;
            facesUp = glm::cross(t[1] - t[0], t[2] - t[0]).y > 0.0f;
        }
    }
    return facesUp;
}

}  // namespace

TEST(CameraPaths, EveryPathHoldsPositionsAndKnownEvents)
{
    const auto& paths = playedPaths();
    ASSERT_EQ(paths.size(), 4u);
    for (const auto& path : paths) {
        std::size_t positions = 0;
        for (const PathElement& e : path) {
            positions += e.name == "spline_position" ? 1 : 0;
            EXPECT_TRUE(e.name == "spline_position" || e.name == "fade_in" || e.name == "fade_out" ||
                        e.name == "fire_on" || e.name == "fire_off" || e.name == "credits")
                << e.name;
        }
        EXPECT_GT(positions, 250u) << "each flight should last several seconds";
    }
    EXPECT_EQ(paths.back().back().name, "credits");
}

TEST(CameraPaths, FadesAreNeverLostAndEveryCutHappensInTheDark)
{
    for (double dt : {0.0201, 0.008, 1.0 / 60.0, 0.045}) {
        SCOPED_TRACE("frame time " + std::to_string(dt));
        const Playback p = play(dt);
        EXPECT_TRUE(p.lostRequests.empty()) << p.lostRequests.front();
        ASSERT_EQ(p.fadeAtSwitch.size(), 4u);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(p.fadeAtSwitch[i], 0.0f) << "cut after path " << i + 1 << " is visible";
        EXPECT_EQ(p.fadeAtSwitch[3], 0.0f) << "the film should end faded out";
        for (double share : p.visibleShare)
            EXPECT_GT(share, 0.8);
    }
}

TEST(CameraPaths, FireIsLitOnceBeforeTheCredits)
{
    const Playback p = play(0.0201);
    std::size_t fireOn = p.eventOrder.size();
    for (std::size_t i = 0; i < p.eventOrder.size(); ++i)
        if (p.eventOrder[i].find("fire_on") != std::string::npos && fireOn == p.eventOrder.size())
            fireOn = i;
    ASSERT_LT(fireOn, p.eventOrder.size());
    EXPECT_EQ(p.eventOrder.back(), "4:credits");
    for (const std::string& e : p.eventOrder)
        EXPECT_EQ(e.find("fire_off"), std::string::npos) << "nothing puts the fire out again";
}

TEST(CameraPaths, FlightStartsAtTheSceneCameraAndMovesSmoothly)
{
    const auto& first = playedPaths().front();
    ASSERT_EQ(first.front().name, "spline_position");
    EXPECT_LT(glm::length(first.front().position - tolvane::content::kCameraStart), 0.3f);
    for (const auto& path : playedPaths()) {
        const glm::vec3* previous = nullptr;
        for (const PathElement& e : path) {
            if (e.name != "spline_position")
                continue;
            if (previous)
                EXPECT_LT(glm::length(e.position - *previous), 0.15f);
            previous = &e.position;
        }
    }
}

TEST(CameraPaths, CameraStaysAboveGroundOutsideTheHutAndOutOfEverySolid)
{
    const Box hut = boundsOfMeshes("hut_");
    int failures = 0;
    for (std::size_t i = 0; i < playedPaths().size(); ++i) {
        for (const PathElement& e : playedPaths()[i]) {
            if (e.name != "spline_position" || failures > 5)
                continue;
            const glm::vec3& p = e.position;
            const std::string where = "path " + std::to_string(i + 1) + " at (" + std::to_string(p.x) + ", " +
                                      std::to_string(p.y) + ", " + std::to_string(p.z) + ")";
            const char* problem = p.y < groundBelow(p) + 0.3f ? "too close to the ground"
                                  : hut.contains(p, 0.15f)    ? "inside the hut's bounds"
                                  : insideSolid(p)            ? "inside a solid"
                                                              : nullptr;
            if (problem) {
                ADD_FAILURE() << "camera " << problem << ": " << where;
                ++failures;
            }
        }
    }
}
