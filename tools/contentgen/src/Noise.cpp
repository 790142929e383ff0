#include "Noise.h"

#include <cmath>

namespace tolvane::content {
namespace {

int wrap(int value, int period)
{
    int m = value % period;
    return m < 0 ? m + period : m;
}

float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

}  // namespace

std::uint32_t Noise::hash(int x, int y) const
{
    std::uint32_t h =
        seed_ ^ (static_cast<std::uint32_t>(x) * 0x8DA6B343u) ^ (static_cast<std::uint32_t>(y) * 0xD8163841u);
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

float Noise::gradient(float x, float y, int periodX, int periodY) const
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0);
    const float fy = y - static_cast<float>(y0);
    auto dotCorner = [&](int cx, int cy, float dx, float dy) {
        const std::uint32_t h = hash(wrap(x0 + cx, periodX), wrap(y0 + cy, periodY));
        const float angle = static_cast<float>(h & 0xFFFFu) * (6.2831853f / 65536.0f);
        return std::cos(angle) * dx + std::sin(angle) * dy;
    };
    const float a = dotCorner(0, 0, fx, fy);
    const float b = dotCorner(1, 0, fx - 1.0f, fy);
    const float c = dotCorner(0, 1, fx, fy - 1.0f);
    const float d = dotCorner(1, 1, fx - 1.0f, fy - 1.0f);
    const float u = fade(fx);
    return 1.41f * lerp(lerp(a, b, u), lerp(c, d, u), fade(fy));
}

float Noise::fbm(float u, float v, int basePeriod, int octaves, float gain) const
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * gradient(u * period, v * period, period, period);
        norm += amplitude;
        amplitude *= gain;
        period *= 2;
    }
    return sum / norm;
}

float Noise::ridged(float u, float v, int basePeriod, int octaves) const
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    int period = basePeriod;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * (1.0f - std::fabs(gradient(u * period, v * period, period, period)));
        norm += amplitude;
        amplitude *= 0.5f;
        period *= 2;
    }
    return sum / norm;
}

Noise::CellSample Noise::cellular(float u, float v, int cells) const
{
    const float x = u * cells;
    const float y = v * cells;
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    CellSample sample{10.0f, 10.0f, 0u};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            const std::uint32_t h = hash(wrap(cx + i, cells), wrap(cy + j, cells) + 7919);
            const float px = static_cast<float>(cx + i) + static_cast<float>(h & 0xFFFu) / 4096.0f;
            const float py = static_cast<float>(cy + j) + static_cast<float>((h >> 12) & 0xFFFu) / 4096.0f;
            const float d = std::hypot(px - x, py - y);
            if (d < sample.nearest) {
                sample.secondNearest = sample.nearest;
                sample.nearest = d;
                sample.id = h;
            } else if (d < sample.secondNearest) {
                sample.secondNearest = d;
            }
        }
    }
    return sample;
}

}  // namespace tolvane::content
