#include "render/SpriteSheet.h"

namespace tolvane {

SpriteSheet::SpriteSheet(const std::string& path, std::uint32_t frameWide, std::uint32_t frameHigh,
                         std::uint32_t frames, std::uint32_t rate, TexturePrefetch* prefetch) :
    Texture(path, 0, prefetch),
    frameWidth(frameWide),
    frameHeight(frameHigh),
    frameCount(frames),

    framesPerSecond(rate)
{
}

bool SpriteSheet::isSpriteSheet() const
{
    return true;
}

glm::vec4 SpriteSheet::frameRect() const
{
    auto sheetWidth = static_cast<float>(width);
    auto sheetHeight = static_cast<float>(height);
    return {static_cast<float>(frameWidth) * static_cast<float>(currentFrame) / sheetWidth, 0.0f,
            static_cast<float>(frameWidth) / sheetWidth, static_cast<float>(frameHeight) / sheetHeight};
}

}  // namespace tolvane
