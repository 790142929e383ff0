#include "HutBuilder.h"

#include "Layout.h"
#include "Noise.h"
#include "SceneModel.h"
#include "Shapes.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <utility>
#include <vector>

namespace tolvane::content {
namespace {

// How brightly the window panes glow, as a multiple of their picture: the
// warm glass then stands far above the bloom threshold and haloes, while
// the dark frame painted on them stays a frame.
constexpr glm::vec3 kLampLitGlass(10.0f);

using namespace layout;

constexpr float kEndOverhang = 0.16f;  // log ends stick out past the corners
constexpr float kRidgeUnderside = 2.55f;

float frontCourseY(int i)
{
    return kPlinthTop + kLogRadius + i * kCourseHeight;
}
float sideCourseY(int i)
{
    return kPlinthTop + kLogRadius + (i - 0.5f) * kCourseHeight;
}
float halfSpan()
{
    return 0.5f * (kWallEast - kWallWest);
}
float eaveReach()
{
    return halfSpan() + kLogRadius + kRoofOverhangSide;
}

void addLog(MeshBuilder& mesh, glm::vec3 a, glm::vec3 b, std::uint32_t seed)
{
    Shapes::LogStyle style;
    style.seed = seed;
    style.rings = std::max(2, static_cast<int>(glm::length(b - a) / 0.25f));
    mesh.append(Shapes::log(glm::length(b - a), kLogRadius, style), Shapes::alongSegment(a, b));
}

// A course is cut for an opening when its log's core reaches into it.
bool crosses(float y, std::pair<float, float> height)
{
    return y + 0.5f * kLogRadius > height.first && y - 0.5f * kLogRadius < height.second;
}

// The hole the cut courses really leave, from the top of the last whole log
// below to the bottom of the first whole log above; frames fill all of it.
std::pair<float, float> holeBetweenLogs(bool sideWall, std::pair<float, float> opening)
{
    float low = 0.0f;
    float high = 10.0f;
    for (int i = 0; i <= kLogCourses + 1; ++i) {
        const float y = sideWall ? sideCourseY(i) : frontCourseY(i);
        if (crosses(y, opening))
            continue;
        if (y < opening.first)
            low = std::max(low, y + kLogRadius);
        else
            high = std::min(high, y - kLogRadius);
    }
    return {low, high};
}

// Splits [from, to] around the openings that a log at height y crosses.
std::vector<std::pair<float, float>> cutAround(float from, float to, float y,
                                               const std::vector<std::pair<float, float>>& spans,
                                               const std::vector<std::pair<float, float>>& heights)
{
    std::vector<std::pair<float, float>> pieces{{from, to}};
    for (std::size_t k = 0; k < spans.size(); ++k) {
        if (!crosses(y, heights[k]))
            continue;
        std::vector<std::pair<float, float>> next;
        for (auto [a, b] : pieces) {
            if (spans[k].first > a)
                next.emplace_back(a, std::min(b, spans[k].first));
            if (spans[k].second < b)
                next.emplace_back(std::max(a, spans[k].second), b);
        }
        pieces.swap(next);
    }
    return pieces;
}

}  // namespace

float HutBuilder::centreX()
{
    return 0.5f * (kWallWest + kWallEast);
}

float HutBuilder::roofSlope()
{
    const float eaveTop = sideCourseY(kLogCourses) + kLogRadius;
    return (kRidgeUnderside - eaveTop) / halfSpan();
}

float HutBuilder::roofUnderside(float x)
{
    return kRidgeUnderside - roofSlope() * std::fabs(x - centreX());
}

void HutBuilder::build(SceneModel& model) const
{
    plinth(model.part("hut_plinth", "stone"));
    walls(model.part("hut_walls", "hut_wall"));
    roof(model.part("hut_roof", "hut_thatch"));
    gableBoards(model.part("hut_gable_boards", "fence"));
    door(model.part("hut_door", "hut_door"));
    // The panes glow with the lamplight inside; the sills are plain wood.
    windows(model.part("hut_windows", "hut_window", kLampLitGlass), model.part("hut_window_sills", "firewood"));
}

void HutBuilder::walls(MeshBuilder& mesh) const
{
    frontWall(mesh);
    for (int i = 0; i < kLogCourses; ++i) {
        const float y = frontCourseY(i);
        addLog(mesh, {kWallWest - kEndOverhang, y, kWallNorth}, {kWallEast + kEndOverhang, y, kWallNorth}, 100 + i);
    }
    sideWall(mesh, kWallWest, false);
    sideWall(mesh, kWallEast, true);
    gables(mesh);
}

void HutBuilder::frontWall(MeshBuilder& mesh) const
{
    const std::vector<std::pair<float, float>> spans{{kDoorLeft, kDoorRight}, {kWindowLeft, kWindowRight}};
    const std::vector<std::pair<float, float>> heights{{0.0f, kDoorTop}, {kWindowBottom, kWindowTop}};
    for (int i = 0; i < kLogCourses; ++i) {
        const float y = frontCourseY(i);
        int piece = 0;
        for (auto [a, b] : cutAround(kWallWest - kEndOverhang, kWallEast + kEndOverhang, y, spans, heights))
            addLog(mesh, {a, y, kWallSouth}, {b, y, kWallSouth}, 200 + 7 * i + piece++);
    }
}

void HutBuilder::sideWall(MeshBuilder& mesh, float x, bool withWindow) const
{
    std::vector<std::pair<float, float>> spans;
    std::vector<std::pair<float, float>> heights;
    if (withWindow) {
        spans.emplace_back(kSideWindowNear, kSideWindowFar);
        heights.emplace_back(kWindowBottom, kWindowTop);
    }
    for (int i = 0; i <= kLogCourses; ++i) {
        const float y = sideCourseY(i);
        int piece = 0;
        for (auto [a, b] : cutAround(kWallNorth - kEndOverhang, kWallSouth + kEndOverhang, y, spans, heights))
            addLog(mesh, {x, y, a}, {x, y, b}, 300 + 11 * i + piece++ + (withWindow ? 5 : 0));
    }
}

void HutBuilder::gables(MeshBuilder& mesh) const
{
    for (int i = kLogCourses;; ++i) {
        const float y = frontCourseY(i);
        const float reach = (kRidgeUnderside - (y + kLogRadius)) / roofSlope();
        if (reach < 0.15f)
            break;
        for (float z : {kWallNorth, kWallSouth})
            addLog(mesh, {centreX() - reach, y, z}, {centreX() + reach, y, z}, 400 + 3 * i + (z > 0 ? 1 : 0));
    }
}

// Boards close each gable behind its stepped logs, so that no roof underside
// shows in the gaps between the log ends and the slope. Both faces, as the
// flight looks at them from outside only but a light sees both.
void HutBuilder::gableBoards(MeshBuilder& mesh) const
{
    const float eave = sideCourseY(kLogCourses) + kLogRadius;
    const float left = centreX() - halfSpan();
    const float right = centreX() + halfSpan();
    for (const float z : {kWallNorth, kWallSouth}) {
        const float outwards = z > 0.0f ? 1.0f : -1.0f;
        for (const float face : {outwards, -outwards}) {
            const glm::vec3 normal(0.0f, 0.0f, face);
            const auto corner = [&](float x, float y) {
                return mesh.addVertex({x, y, z - 0.02f * outwards}, normal, glm::vec2(x, y) / 0.8f);
            };
            const std::uint32_t a = corner(left, eave);
            const std::uint32_t b = corner(right, eave);
            const std::uint32_t c = corner(centreX(), kRidgeUnderside);
            if (face > 0.0f)
                mesh.addTriangle(a, b, c);
            else
                mesh.addTriangle(a, c, b);
        }
    }
}

void HutBuilder::roof(MeshBuilder& mesh) const
{
    MeshBuilder slab;
    roofSlab(slab);
    const glm::mat4 east = glm::translate(glm::mat4(1.0f), glm::vec3(centreX(), 0.0f, 0.0f));
    mesh.append(slab, east);
    mesh.append(slab, glm::scale(east, glm::vec3(-1.0f, 1.0f, 1.0f)));
    // A bundled ridge along the top.
    Shapes::LogStyle ridge;
    ridge.segments = 16;
    ridge.rings = 12;
    ridge.wobble = 0.12f;
    ridge.uvLength = 1.2f;
    const float top = kRidgeUnderside + kThatchThickness - 0.01f;
    const float z0 = kWallNorth - kLogRadius - kRoofOverhangEnd;
    const float z1 = kWallSouth + kLogRadius + kRoofOverhangEnd;
    mesh.append(Shapes::log(z1 - z0, 0.055f, ridge), Shapes::alongSegment({centreX(), top, z0}, {centreX(), top, z1}));
}

// One slope in a frame whose x runs from the ridge (0) down to the eave.
void HutBuilder::roofSlab(MeshBuilder& mesh) const
{
    const Noise noise(17);
    const float z0 = kWallNorth - kLogRadius - kRoofOverhangEnd;
    const float z1 = kWallSouth + kLogRadius + kRoofOverhangEnd;
    const float reach = eaveReach();
    const float slope = roofSlope();
    const int na = 64;
    const int nb = 30;
    const glm::vec3 up = glm::normalize(glm::vec3(slope, 1.0f, 0.0f));
    auto under = [&](float b, float z) { return glm::vec3(b, kRidgeUnderside - slope * b, z); };
    auto top = [&](float b, float z) {
        const float course = b / 0.2f - std::floor(b / 0.2f);
        const float lump = 0.015f * noise.fbm(z / 4.0f, b / 2.0f, 8, 3) + 0.03f * course;
        return under(b, z) + up * (kThatchThickness + lump - 0.015f);
    };
    const auto base = static_cast<std::uint32_t>(mesh.vertices().size());
    for (int j = 0; j <= nb; ++j)
        for (int i = 0; i <= na; ++i) {
            const float z = z0 + (z1 - z0) * i / na;
            const float b = reach * j / nb;
            mesh.addVertex(top(b, z), up, glm::vec2(z / 1.2f, 1.0f - b / 1.2f));
        }
    for (int j = 0; j < nb; ++j)
        for (int i = 0; i < na; ++i) {
            const std::uint32_t a = base + j * (na + 1) + i;
            mesh.addQuad(a, a + 1, a + na + 2, a + na + 1);
        }
    // Underside, eave edge and gable edges.
    const glm::vec3 down = -up;
    auto quad = [&](glm::vec3 p0, glm::vec3 p1, glm::vec3 p2, glm::vec3 p3, glm::vec3 n, float uScale) {
        const std::uint32_t a = mesh.addVertex(p0, n, {0.0f, 0.0f});
        const std::uint32_t b = mesh.addVertex(p1, n, {glm::length(p1 - p0) / uScale, 0.0f});
        const std::uint32_t c = mesh.addVertex(p2, n, {glm::length(p1 - p0) / uScale, glm::length(p2 - p1) / uScale});
        const std::uint32_t d = mesh.addVertex(p3, n, {0.0f, glm::length(p2 - p1) / uScale});
        mesh.addQuad(a, b, c, d);
    };
    quad(under(0, z0), under(reach, z0), under(reach, z1), under(0, z1), down, 1.2f);
    for (int i = 0; i < na; ++i) {
        const float za = z0 + (z1 - z0) * i / na;
        const float zb = z0 + (z1 - z0) * (i + 1) / na;
        quad(under(reach, za), top(reach, za), top(reach, zb), under(reach, zb), {1, 0, 0}, 0.3f);
    }
    for (int j = 0; j < nb; ++j) {
        const float ba = reach * j / nb;
        const float bb = reach * (j + 1) / nb;
        quad(under(ba, z1), under(bb, z1), top(bb, z1), top(ba, z1), {0, 0, 1}, 0.3f);
        quad(under(bb, z0), under(ba, z0), top(ba, z0), top(bb, z0), {0, 0, -1}, 0.3f);
    }
}

void HutBuilder::door(MeshBuilder& mesh) const
{
    const float width = kDoorRight - kDoorLeft;
    const float doorTop = holeBetweenLogs(false, {0.0f, kDoorTop}).second;
    const float height = doorTop - kPlinthTop;
    const float cx = 0.5f * (kDoorLeft + kDoorRight);
    auto place = [](glm::vec3 at) { return glm::translate(glm::mat4(1.0f), at); };
    mesh.append(Shapes::box({width, height, 0.06f}, 0.0f), place({cx, kPlinthTop + 0.5f * height, kWallSouth}));
    // Frame: two posts and a lintel, proud of the logs.
    const float postH = height + 0.12f;
    for (float x : {kDoorLeft - 0.04f, kDoorRight + 0.04f})
        mesh.append(Shapes::box({0.08f, postH, 0.24f}, 0.5f), place({x, kPlinthTop + 0.5f * postH, kWallSouth}));
    mesh.append(Shapes::box({width + 0.24f, 0.1f, 0.26f}, 0.5f), place({cx, doorTop + 0.05f, kWallSouth}));
}

void HutBuilder::windows(MeshBuilder& mesh, MeshBuilder& sills) const
{
    auto place = [](glm::vec3 at) { return glm::translate(glm::mat4(1.0f), at); };
    const auto front = holeBetweenLogs(false, {kWindowBottom, kWindowTop});
    const float w = kWindowRight - kWindowLeft;
    const float xc = 0.5f * (kWindowLeft + kWindowRight);
    const float h = front.second - front.first + 0.02f;
    mesh.append(Shapes::box({w, h, 0.1f}, 0.0f), place({xc, 0.5f * (front.first + front.second), kWallSouth}));
    sills.append(Shapes::box({w + 0.12f, 0.05f, 0.3f}, 0.0f), place({xc, front.first, kWallSouth + 0.02f}));
    const auto side = holeBetweenLogs(true, {kWindowBottom, kWindowTop});
    const float d = kSideWindowFar - kSideWindowNear;
    const float zc = 0.5f * (kSideWindowNear + kSideWindowFar);
    const float hs = side.second - side.first + 0.02f;
    mesh.append(Shapes::box({0.1f, hs, d}, 0.0f), place({kWallEast, 0.5f * (side.first + side.second), zc}));
    sills.append(Shapes::box({0.3f, 0.05f, d + 0.12f}, 0.0f), place({kWallEast + 0.02f, side.first, zc}));
}

void HutBuilder::plinth(MeshBuilder& mesh) const
{
    const float x0 = kWallWest - 0.2f;
    const float x1 = kWallEast + 0.2f;
    const float z0 = kWallNorth - 0.2f;
    const float z1 = kWallSouth + 0.2f;
    const glm::vec3 size(x1 - x0, kPlinthTop, z1 - z0);
    mesh.append(Shapes::box(size, 0.8f),
                glm::translate(glm::mat4(1.0f), glm::vec3(0.5f * (x0 + x1), 0.5f * kPlinthTop, 0.5f * (z0 + z1))));
    // A flat step stone before the door.
    const float cx = 0.5f * (kDoorLeft + kDoorRight);
    mesh.append(Shapes::box({0.85f, 0.08f, 0.42f}, 0.8f),
                glm::translate(glm::mat4(1.0f), glm::vec3(cx, 0.04f, z1 + 0.2f)));
}

}  // namespace tolvane::content
