#include "ContentStage.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

using namespace content_test;

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// Loads the way the demo's texture loader does: type from the content,
// else from the name, no conversion.
Bitmap load(const std::string& path, FREE_IMAGE_FORMAT* format = nullptr)
{
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.c_str(), 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(path.c_str());
    if (format)
        *format = fif;
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return nullptr;
    return Bitmap(FreeImage_Load(fif, path.c_str(), 0));
}

bool powerOfTwoUpTo1024(unsigned n)
{
    return n >= 1 && n <= 1024 && (n & (n - 1)) == 0;
}

void expectLayout(const std::string& file, unsigned bpp, FREE_IMAGE_COLOR_TYPE colour)
{
    SCOPED_TRACE(file);
    const Bitmap image = load(stageDir() + "/Textures/" + file);
    ASSERT_TRUE(image);
    EXPECT_EQ(FreeImage_GetBPP(image.get()), bpp);
    EXPECT_EQ(FreeImage_GetColorType(image.get()), colour);
    if (file != "flame_sprite2.png") {
        EXPECT_TRUE(powerOfTwoUpTo1024(FreeImage_GetWidth(image.get())));
        EXPECT_TRUE(powerOfTwoUpTo1024(FreeImage_GetHeight(image.get())));
    }
}

// Mean absolute difference of two frames of the flame strip, over RGBA.
double frameDifference(FIBITMAP* strip, unsigned a, unsigned b)
{
    double sum = 0.0;
    const unsigned h = FreeImage_GetHeight(strip);
    for (unsigned y = 0; y < h; ++y) {
        const BYTE* line = FreeImage_GetScanLine(strip, static_cast<int>(y));
        for (unsigned x = 0; x < 112; ++x)
            for (unsigned c = 0; c < 4; ++c)
                sum += std::abs(line[(a * 112 + x) * 4 + c] - line[(b * 112 + x) * 4 + c]);
    }
    return sum / (h * 112.0 * 4.0);
}

// One texel of a 32-bit image as 0..1 values, colour still sRGB encoded;
// row 0 is the top.
struct Texel {
    double r, g, b, a;
};

Texel texelAt(FIBITMAP* image, unsigned x, unsigned row)
{
    const unsigned h = FreeImage_GetHeight(image);
    const BYTE* p = FreeImage_GetScanLine(image, static_cast<int>(h - 1 - row)) + x * 4;
    return {p[FI_RGBA_RED] / 255.0, p[FI_RGBA_GREEN] / 255.0, p[FI_RGBA_BLUE] / 255.0, p[FI_RGBA_ALPHA] / 255.0};
}

// The average a sprite's last mip level holds: colour in linear light, as
// the renderer builds its mip chain, alpha as it is.
Texel meanOf(FIBITMAP* image)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    Texel sum{0.0, 0.0, 0.0, 0.0};
    const unsigned w = FreeImage_GetWidth(image);
    const unsigned h = FreeImage_GetHeight(image);
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const Texel t = texelAt(image, x, y);
            sum = {sum.r + linear(t.r), sum.g + linear(t.g), sum.b + linear(t.b), sum.a + t.a};
        }
    const double n = static_cast<double>(w) * h;
    return {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
}

double saturation(const Texel& t)
{
    const double highest = std::max({t.r, t.g, t.b});
    return highest > 0.0 ? (highest - std::min({t.r, t.g, t.b})) / highest : 0.0;
}

}  // namespace

// Only the hanging needles' picture keeps alpha (its holes are cut out
// where it is drawn); every other picture and every normal map is opaque.
TEST(Textures, ModelTexturesAndNormalMapsAreOpaque24BitPowerOfTwoImagesButTheNeedles)
{
    const aiScene& scene = model();
    std::set<std::string> files;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
        const std::string diffuse = diffusePath(*scene.mMeshes[m]).substr(std::string("../Textures/").size());
        files.insert(diffuse);
        files.insert(normalMapPath(diffuse));
    }
    ASSERT_TRUE(files.count("pine_fringe.png"));
    for (const std::string& file : files) {
        if (file == "pine_fringe.png")
            expectLayout(file, 32, FIC_RGBALPHA);
        else
            expectLayout(file, 24, FIC_RGB);
    }
}

// The needles hang in sprays with clear gaps between them: a fair share of
// the picture is holes (below half alpha), none of it half-way, and the
// colour under the holes is the needles' own, since filtering mixes it into
// the needles' edges (a white or black under them would outline every
// needle).
TEST(Textures, HangingNeedlesAreSpraysWithHolesOverTheirOwnColour)
{
    const Bitmap image = load(stageDir() + "/Textures/pine_fringe.png");
    ASSERT_TRUE(image);
    ASSERT_EQ(FreeImage_GetBPP(image.get()), 32u);
    const unsigned w = FreeImage_GetWidth(image.get());
    const unsigned h = FreeImage_GetHeight(image.get());
    double holes = 0.0, between = 0.0;
    Texel solid{0, 0, 0, 0}, clear{0, 0, 0, 0};
    for (unsigned y = 0; y < h; ++y)
        for (unsigned x = 0; x < w; ++x) {
            const Texel t = texelAt(image.get(), x, y);
            Texel& sum = t.a < 0.5 ? clear : solid;
            sum = {sum.r + t.r, sum.g + t.g, sum.b + t.b, sum.a + 1.0};
            holes += t.a < 0.5 ? 1.0 : 0.0;
            between += t.a > 0.1 && t.a < 0.9 ? 1.0 : 0.0;
        }
    const double share = holes / (static_cast<double>(w) * h);
    EXPECT_GT(share, 0.3);
    EXPECT_LT(share, 0.8);
    EXPECT_EQ(between, 0.0);
    ASSERT_GT(clear.a * solid.a, 0.0);
    for (const auto channel : {&Texel::r, &Texel::g, &Texel::b})
        EXPECT_NEAR(clear.*channel / clear.a, solid.*channel / solid.a, 0.05);
}

// The grass picture varies at the scale of a footstep, not only blade by
// blade: patches of dark moss and pale dry grass, so the ground reads as
// patchy from a few metres away where the blades blur into their average.
TEST(Textures, GroundHasDarkAndPalePatchesAFootstepAcross)
{
    const Bitmap picture = load(stageDir() + "/Textures/ground.png");
    ASSERT_TRUE(picture);
    const Bitmap image(FreeImage_ConvertTo32Bits(picture.get()));
    const unsigned size = FreeImage_GetWidth(image.get());
    constexpr unsigned kBlock = 32;  // 12.5 cm of the picture's 4 m
    ASSERT_EQ(size % kBlock, 0u);
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    std::vector<double> blocks;
    for (unsigned by = 0; by < size; by += kBlock)
        for (unsigned bx = 0; bx < size; bx += kBlock) {
            double sum = 0.0;
            for (unsigned y = by; y < by + kBlock; ++y)
                for (unsigned x = bx; x < bx + kBlock; ++x) {
                    const Texel t = texelAt(image.get(), x, y);
                    sum += 0.2126 * linear(t.r) + 0.7152 * linear(t.g) + 0.0722 * linear(t.b);
                }
            blocks.push_back(sum / (kBlock * kBlock));
        }
    std::sort(blocks.begin(), blocks.end());
    const double darkest = blocks[blocks.size() / 10];
    const double palest = blocks[blocks.size() * 9 / 10];
    ASSERT_GT(darkest, 0.0);
    EXPECT_GT(palest / darkest, 4.0);
}

TEST(Textures, NormalMapsPointOutOfTheSurface)
{
    const Bitmap map = load(stageDir() + "/Textures/hut_wall_nm.png");
    ASSERT_TRUE(map);
    double blue = 0.0;
    const unsigned w = FreeImage_GetWidth(map.get());
    const unsigned h = FreeImage_GetHeight(map.get());
    for (unsigned y = 0; y < h; y += 7)
        for (unsigned x = 0; x < w; x += 7)
            blue += FreeImage_GetScanLine(map.get(), static_cast<int>(y))[x * 3 + FI_RGBA_BLUE];
    EXPECT_GT(blue / ((h / 7.0) * (w / 7.0)), 200.0);
}

TEST(Textures, ParticleAndSpriteImagesHaveTheFormatsTheSceneLoads)
{
    expectLayout("fire-p.png", 32, FIC_RGBALPHA);
    expectLayout("smoke.png", 32, FIC_RGBALPHA);
    expectLayout("fairydust.tif", 32, FIC_RGBALPHA);
    expectLayout("white.png", 24, FIC_RGB);
    expectLayout("white_nm.png", 24, FIC_RGB);
    expectLayout("flame_sprite2.png", 32, FIC_RGBALPHA);
    FREE_IMAGE_FORMAT format = FIF_UNKNOWN;
    load(stageDir() + "/Textures/fairydust.tif", &format);
    EXPECT_EQ(format, FIF_TIFF);
}

TEST(Textures, FlameStripHoldsFiftyFramesThatLoopWithoutAJump)
{
    const Bitmap strip = load(stageDir() + "/Textures/flame_sprite2.png");
    ASSERT_TRUE(strip);
    ASSERT_EQ(FreeImage_GetWidth(strip.get()), 5600u);
    ASSERT_EQ(FreeImage_GetHeight(strip.get()), 195u);
    double largestStep = 0.0;
    double smallestStep = 1e9;
    for (unsigned f = 0; f + 1 < 50; ++f) {
        const double d = frameDifference(strip.get(), f, f + 1);
        largestStep = std::max(largestStep, d);
        smallestStep = std::min(smallestStep, d);
    }
    EXPECT_GT(smallestStep, 0.05) << "the flame should move in every frame";
    EXPECT_LE(frameDifference(strip.get(), 49, 0), largestStep * 1.25);
}

// The particle billboard tells its three kinds apart by the sprite's average
// (see billboard.geom): a flame's is saturated, smoke's a translucent grey
// well below white, a spark's near white. A sprite that averages to another
// kind would burn down like a flame, billow like smoke or keep its size.
TEST(Textures, ParticleSpritesAverageToTheKindTheBillboardTakesThemFor)
{
    const Bitmap fire = load(stageDir() + "/Textures/fire-p.png");
    const Bitmap smoke = load(stageDir() + "/Textures/smoke.png");
    const Bitmap dust = load(stageDir() + "/Textures/fairydust.tif");
    ASSERT_TRUE(fire && smoke && dust);
    const Texel flame = meanOf(fire.get());
    const Texel puff = meanOf(smoke.get());
    const Texel spark = meanOf(dust.get());
    EXPECT_GT(saturation(flame), 0.7);
    EXPECT_LT(saturation(puff), 0.3);
    EXPECT_LT(std::max({puff.r, puff.g, puff.b}), 0.7);
    EXPECT_LT(puff.a, 0.999) << "smoke must have alpha, else it is taken for a glow on black";
    EXPECT_LT(saturation(spark), 0.3);
    EXPECT_GT(std::max({spark.r, spark.g, spark.b}), 0.85);
}

// The fire sprite is one tongue of flame, twice as tall as wide: clear at the
// sides, narrower high up than low down, hottest (yellow-white, the most
// green) low in the middle and red at the tip.
TEST(Textures, FireSpriteIsATongueHotLowInTheMiddleAndRedAtTheTip)
{
    const Bitmap fire = load(stageDir() + "/Textures/fire-p.png");
    ASSERT_TRUE(fire);
    const unsigned w = FreeImage_GetWidth(fire.get());
    const unsigned h = FreeImage_GetHeight(fire.get());
    ASSERT_EQ(h, 2 * w);
    const auto widthAt = [&](unsigned row) {
        unsigned covered = 0;
        for (unsigned x = 0; x < w; ++x)
            covered += texelAt(fire.get(), x, row).a > 0.25 ? 1 : 0;
        return covered;
    };
    for (unsigned row = 0; row < h; ++row) {
        EXPECT_LT(texelAt(fire.get(), 0, row).a, 0.05) << "row " << row;
        EXPECT_LT(texelAt(fire.get(), w - 1, row).a, 0.05) << "row " << row;
    }
    EXPECT_GT(widthAt(h * 2 / 3), 0u);
    EXPECT_LT(widthAt(h / 3), widthAt(h * 2 / 3));

    unsigned hottestX = 0, hottestRow = 0, tipX = 0, tipRow = h;
    for (unsigned row = 0; row < h; ++row)
        for (unsigned x = 0; x < w; ++x) {
            const Texel t = texelAt(fire.get(), x, row);
            if (t.a > 0.5 && t.g > texelAt(fire.get(), hottestX, hottestRow).g)
                hottestX = x, hottestRow = row;
            if (t.a > 0.25 && tipRow == h)
                tipX = x, tipRow = row;
        }
    EXPECT_GT(hottestRow, h / 2);
    EXPECT_GT(hottestX, w / 3);
    EXPECT_LT(hottestX, w * 2 / 3);
    const Texel hottest = texelAt(fire.get(), hottestX, hottestRow);
    EXPECT_GT(hottest.b, 0.6) << "the core is near white";
    ASSERT_LT(tipRow, h / 4) << "the tongue reaches up to a point";
    const Texel tip = texelAt(fire.get(), tipX, tipRow);
    EXPECT_LT(tip.g, 0.5 * tip.r) << "red at the tip";
}

// The sky pictures (four slices round the horizon) run from the zenith (top
// row) to below the horizon (the bottom fifth). A night sky: blue, darker
// overhead than at the horizon, with stars that are points of a texel or
// two, not a haze of blobs.
TEST(Textures, NightSkyIsBlueDarkerOverheadAndStarry)
{
    for (const char* slice : {"night_sky_0.png", "night_sky_1.png", "night_sky_2.png", "night_sky_3.png"}) {
        SCOPED_TRACE(slice);
        const Bitmap sky = load(stageDir() + "/Textures/" + slice);
        ASSERT_TRUE(sky);
        const unsigned w = FreeImage_GetWidth(sky.get());
        const unsigned h = FreeImage_GetHeight(sky.get());
        // FreeImage keeps the bottom row first.
        const auto at = [&](unsigned x, unsigned row, int channel) {
            return FreeImage_GetScanLine(sky.get(), static_cast<int>(h - 1 - row))[x * 3 + channel];
        };
        const auto meanOfRows = [&](double from, double to, int channel) {
            double sum = 0.0;
            unsigned n = 0;
            for (auto row = static_cast<unsigned>(from * h); row < static_cast<unsigned>(to * h); ++row)
                for (unsigned x = 0; x < w; ++x, ++n)
                    sum += at(x, row, channel);
            return sum / n;
        };
        const double zenith = meanOfRows(0.0, 0.15, FI_RGBA_GREEN);
        const double horizon = meanOfRows(0.7, 0.8, FI_RGBA_GREEN);
        EXPECT_LT(zenith * 1.5, horizon) << "the sky should pale towards the horizon";
        EXPECT_GT(meanOfRows(0.0, 0.8, FI_RGBA_BLUE), meanOfRows(0.0, 0.8, FI_RGBA_RED) * 1.3);
        EXPECT_LT(horizon, 128.0) << "it is night";
        // Texels well above the sky three texels to either side (which the
        // moon's smooth glow is not), and the stars among them: their
        // brightest texels.
        unsigned starTexels = 0;
        unsigned stars = 0;
        for (unsigned row = 1; row < h / 2; ++row)
            for (unsigned x = 3; x + 3 < w; ++x) {
                const int g = at(x, row, FI_RGBA_GREEN);
                const int around = std::min(at(x - 3, row, FI_RGBA_GREEN), at(x + 3, row, FI_RGBA_GREEN));
                if (g - around < 40)
                    continue;
                ++starTexels;
                stars += g >= at(x - 1, row, FI_RGBA_GREEN) && g > at(x + 1, row, FI_RGBA_GREEN) &&
                         g >= at(x, row - 1, FI_RGBA_GREEN) && g > at(x, row + 1, FI_RGBA_GREEN);
            }
        EXPECT_GT(stars, 300u);
        EXPECT_LE(starTexels, 3 * stars) << "stars should be points of a texel or two";
    }
}
