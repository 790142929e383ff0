#pragma once

namespace tolvane {

// The rectangle of the window's framebuffer that the finished picture fills,
// in framebuffer pixels from the bottom-left corner.
struct OutputViewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const OutputViewport& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

// The largest rectangle of a picture's proportions that fits a framebuffer
// of framebufferWidth x framebufferHeight, centred, the rest left to black
// bars. A framebuffer the picture's size gives the whole framebuffer; an
// empty one (a minimised window) gives an empty rectangle.
OutputViewport fitPicture(int pictureWidth, int pictureHeight, int framebufferWidth, int framebufferHeight);

}  // namespace tolvane
