#pragma once
#include "Image.h"

namespace tolvane::content {

// Pictures for particles and billboards; all but `white` carry alpha.
class SpriteTextures {
public:
    static constexpr int kFlameFrames = 50;
    static constexpr int kFlameFrameWidth = 112;
    static constexpr int kFlameFrameHeight = 195;

    static Image fireParticle(int width);  // twice as tall as wide
    static Image smokePuff(int size);
    static Image fairyDust(int size);
    static Image white(int size);
    // All frames side by side; the last frame leads back into the first.
    static Image flameStrip();
    static Image flameFrame(int frame);
};

}  // namespace tolvane::content
