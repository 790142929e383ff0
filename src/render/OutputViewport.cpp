#include "render/OutputViewport.h"

#include <cmath>

namespace tolvane {

OutputViewport fitPicture(int pictureWidth, int pictureHeight, int framebufferWidth, int framebufferHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || framebufferWidth <= 0 || framebufferHeight <= 0)
        return {};
    // Compared as integer cross products, so a framebuffer of exactly the
    // picture's proportions is filled to the last pixel.
    const long long wide = static_cast<long long>(framebufferWidth) * pictureHeight;
    const long long tall = static_cast<long long>(framebufferHeight) * pictureWidth;
    OutputViewport fit{0, 0, framebufferWidth, framebufferHeight};
    if (wide > tall)
        fit.width = static_cast<int>(std::lround(static_cast<double>(tall) / pictureHeight));
    else if (tall > wide)
        fit.height = static_cast<int>(std::lround(static_cast<double>(wide) / pictureWidth));
    fit.x = (framebufferWidth - fit.width) / 2;
    fit.y = (framebufferHeight - fit.height) / 2;
    return fit;
}

}  // namespace tolvane
