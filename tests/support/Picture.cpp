#include "Picture.h"

#include "TestFiles.h"

#include <FreeImage.h>
#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace tolvane::test {

Picture::Picture(int pictureWidth, int pictureHeight) :
    width(pictureWidth),
    height(pictureHeight),
    pixels(static_cast<size_t>(pictureWidth * pictureHeight * 3), 0)
{
}

Picture Picture::readFramebuffer(int width, int height)
{
    Picture picture(width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, picture.pixels.data());
    return picture;
}

Picture Picture::load(const std::string& path)
{
    FIBITMAP* loaded = FreeImage_Load(FIF_PNG, path.c_str(), 0);
    if (loaded == nullptr)
        return Picture();
    FIBITMAP* bitmap = FreeImage_ConvertTo24Bits(loaded);
    FreeImage_Unload(loaded);
    Picture picture(static_cast<int>(FreeImage_GetWidth(bitmap)), static_cast<int>(FreeImage_GetHeight(bitmap)));
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < picture.width; ++x) {
            unsigned char* p = &picture.pixels[static_cast<size_t>((y * picture.width + x) * 3)];
            p[0] = row[x * 3 + FI_RGBA_RED];
            p[1] = row[x * 3 + FI_RGBA_GREEN];
            p[2] = row[x * 3 + FI_RGBA_BLUE];
        }
    }
    FreeImage_Unload(bitmap);
    return picture;
}

bool Picture::save(const std::string& path) const
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < width; ++x) {
            row[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(at(x, y, 0));
            row[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(at(x, y, 1));
            row[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>(at(x, y, 2));
        }
    }
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), 0) == TRUE;
    FreeImage_Unload(bitmap);
    return saved;
}

double Picture::meanBrightness(int x, int y, int radius) const
{
    double sum = 0.0;
    int count = 0;
    for (int j = std::max(0, y - radius); j <= std::min(height - 1, y + radius); ++j)
        for (int i = std::max(0, x - radius); i <= std::min(width - 1, x + radius); ++i) {
            sum += (at(i, j, 0) + at(i, j, 1) + at(i, j, 2)) / 3.0;
            ++count;
        }
    return count == 0 ? 0.0 : sum / count;
}

int Picture::maximum() const
{
    return pixels.empty() ? 0 : *std::max_element(pixels.begin(), pixels.end());
}

std::string referencePath(const std::string& name)
{
    return std::string(TOLVANE_SOURCE_DIR) + "/tests/references/" + name + ".png";
}

namespace {

bool updatingReferences()
{
    const char* flag = std::getenv("TOLVANE_UPDATE_REFERENCES");
    return flag != nullptr && std::string(flag) == "1";
}

// Differing pixels in red over a dimmed copy of the reference.
Picture differenceImage(const Picture& reference, const std::vector<bool>& differs)
{
    Picture difference(reference.width, reference.height);
    for (size_t i = 0; i < differs.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            difference.pixels[i * 3 + c] = differs[i] ? static_cast<unsigned char>(c == 0 ? 255 : 0)
                                                      : static_cast<unsigned char>(reference.pixels[i * 3 + c] / 4);
    return difference;
}

}  // namespace

::testing::AssertionResult matchesReference(const Picture& actual, const std::string& name, int tolerance,
                                            double maxDifferingShare)
{
    const std::string path = referencePath(name);
    if (updatingReferences()) {
        if (!actual.save(path))
            return ::testing::AssertionFailure() << "could not write " << path;
        return ::testing::AssertionSuccess() << "reference " << path << " rewritten";
    }
    Picture reference = Picture::load(path);
    if (reference.width != actual.width || reference.height != actual.height)
        return ::testing::AssertionFailure()
               << "no reference of the same size at " << path << " (run scripts/update-references.sh)";
    std::vector<bool> differs(static_cast<size_t>(actual.width * actual.height), false);
    size_t differing = 0;
    for (size_t i = 0; i < differs.size(); ++i)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(actual.pixels[i * 3 + c] - reference.pixels[i * 3 + c]) > tolerance)
                differs[i] = true;
    differing = static_cast<size_t>(std::count(differs.begin(), differs.end(), true));
    double share = static_cast<double>(differing) / static_cast<double>(differs.size());
    if (share <= maxDifferingShare)
        return ::testing::AssertionSuccess();
    std::string directory = makeScratchDirectory("tolvane-picture-" + name);
    actual.save(directory + "/actual.png");
    differenceImage(reference, differs).save(directory + "/difference.png");
    return ::testing::AssertionFailure() << name << ": " << differing << " pixels (" << share * 100.0
                                         << "%) differ by more than " << tolerance << " from " << path << "; see "
                                         << directory;
}

}  // namespace tolvane::test
