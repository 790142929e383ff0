#include "render/SpriteSheet.h"

namespace tolvane {

SpriteSheet::SpriteSheet(const std::string& path, std::uint32_t frameWidth, std::uint32_t frameHeight,
                         std::uint32_t frameCount, std::uint32_t framesPerSecond, TexturePrefetch* prefetch) :
    Texture(path, 0, prefetch),
    frameWidth(frameWidth),
    frameHeight(frameHeight),
    frameCount(frameCount),
    currentFrame(0),
    framesPerSecond(framesPerSecond)
{
}

bool SpriteSheet::isSpriteSheet() const
{
    return true;
}

glm::vec4 SpriteSheet::frameRect() const
{
    float sheetWidth = static_cast<float>(width);
    float sheetHeight = static_cast<float>(height);
    return glm::vec4(static_cast<float>(frameWidth) * static_cast<float>(currentFrame) / sheetWidth, 0.0f,
                     static_cast<float>(frameWidth) / sheetWidth, static_cast<float>(frameHeight) / sheetHeight);
}

}  // namespace tolvane
