#pragma once

#include "capture/FrameImage.h"

#include <string>
#include <vector>

namespace tolvane {

// A grid of small pictures of evenly spaced frames of a capture, in reading
// order. The length of the capture need not be known in advance: frames are
// offered one by one, and the sheet keeps thumbnails of every stride-th
// frame in a fixed set of slots, doubling the stride and dropping every
// other thumbnail whenever the slots run full. Thumbnail storage is
// allocated once, at construction.
class ContactSheet {
public:
    // Placement of the cells on the sheet, in pixels.
    struct Layout {
        int columns = 0;
        int rows = 0;
        int cellWidth = 0;  // thumbnail size
        int cellHeight = 0;
        int gap = 0;    // border around and between the cells
        int width = 0;  // whole sheet
        int height = 0;
    };

    // Frames of frameWidth x frameHeight pixels, `cells` thumbnails of
    // thumbnailWidth pixels (height keeps the frame's aspect), `columns` to a row.
    ContactSheet(int frameWidth, int frameHeight, int cells = 24, int columns = 6, int thumbnailWidth = 200);

    // Takes the next frame of the capture (frames are numbered 0, 1, ...).
    void offer(const FrameImage& frame);

    int framesOffered() const { return offered; }

    // Draws the sheet from the frames offered so far and writes it as PNG.
    // Returns false with `error` when nothing was offered or the file cannot
    // be written whole.
    bool write(const std::string& path, std::string& error);

    // The grid for `cells` cells (the last row may be partly empty).
    static Layout layout(int cells, int columns, int cellWidth, int cellHeight);
    // `cells` indices spread evenly over 0 .. candidates - 1, first and last
    // included; all candidates when there are no more of them than cells.
    static std::vector<int> pickEvenly(int candidates, int cells);
    // Lower-left corner of cell `index` (row 0 is the top row of the picture,
    // stored at the highest y since rows are bottom-up).
    static void cellOrigin(const Layout& layout, int index, int& x, int& y);

    // Frame numbers of the thumbnails held now, oldest first.
    std::vector<int> heldFrames() const;

private:
    void dropEveryOther();

    int cells;
    int columns;
    int cellWidth;
    int cellHeight;
    int stride = 1;                 // frames between two held thumbnails
    int offered = 0;                // frames offered so far
    int held = 0;                   // thumbnails in use, slots[0 .. held-1]
    std::vector<FrameImage> slots;  // held thumbnails, in frame order
    FrameImage sheet;
};

}  // namespace tolvane
