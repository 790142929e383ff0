// What the capture does with pictures without a GL context: downscaling,
// the contact sheet's choice and placement of frames and the progress line
// (the video has VideoEncoderTest).
#include "capture/ContactSheet.h"
#include "capture/FrameImage.h"
#include "session/ProgressBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tolvane;

namespace {

// A frame whose every pixel carries the frame's number in all channels.
FrameImage numberedFrame(int number, int width = 40, int height = 20)
{
    FrameImage frame(width, height);
    frame.fill(static_cast<std::uint8_t>(number));
    return frame;
}

TEST(FrameImageTest, DownscalingAveragesBlocksAndKeepsRowOrder)
{
    FrameImage source(4, 4);
    // Bottom two rows 0, top two rows 200: GL's bottom-up order.
    for (int y = 0; y < 4; ++y)
        std::fill(source.row(y), source.row(y) + source.rowBytes(), y < 2 ? 0 : 200);
    source.row(0)[0] = 100;  // one odd pixel in the lower-left block

    FrameImage target(4, 3);
    target.fill(7);
    source.downscaleInto(target, 1, 1, 2, 2);
    EXPECT_EQ(target.row(1)[3], 25);  // (100 + 0 + 0 + 0) / 4, lower-left cell
    EXPECT_EQ(target.row(1)[6], 0);
    EXPECT_EQ(target.row(2)[3], 200);  // upper cells stay above
    EXPECT_EQ(target.row(0)[3], 7);    // outside the rectangle: untouched
    EXPECT_EQ(target.row(1)[0], 7);

    // Clipped at the target's edge instead of writing past it.
    source.downscaleInto(target, 3, 2, 4, 4);
    EXPECT_EQ(target.row(2)[9], 100);  // source pixel (0, 0) lands on (3, 2)
    EXPECT_EQ(target.row(2)[10], 0);
}

TEST(ContactSheetTest, PicksFirstLastAndEvenlySpacedFrames)
{
    EXPECT_EQ(ContactSheet::pickEvenly(5, 24), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(ContactSheet::pickEvenly(101, 5), (std::vector<int>{0, 25, 50, 75, 100}));
    EXPECT_EQ(ContactSheet::pickEvenly(10, 1), (std::vector<int>{0}));
    EXPECT_TRUE(ContactSheet::pickEvenly(0, 4).empty());
}

TEST(ContactSheetTest, LayoutFillsRowsTopDown)
{
    const ContactSheet::Layout grid = ContactSheet::layout(7, 3, 100, 60);
    EXPECT_EQ(grid.columns, 3);
    EXPECT_EQ(grid.rows, 3);
    EXPECT_EQ(grid.width, 3 * 100 + 4 * grid.gap);
    EXPECT_EQ(grid.height, 3 * 60 + 4 * grid.gap);
    int x = 0;
    int y = 0;
    ContactSheet::cellOrigin(grid, 0, x, y);
    EXPECT_EQ(x, grid.gap);
    EXPECT_EQ(y + 60 + grid.gap, grid.height);  // first cell at the top
    ContactSheet::cellOrigin(grid, 6, x, y);
    EXPECT_EQ(x, grid.gap);
    EXPECT_EQ(y, grid.gap);  // seventh cell at the bottom left
    // Fewer cells than columns: one short row.
    EXPECT_EQ(ContactSheet::layout(2, 6, 10, 10).columns, 2);
}

// However long the capture, the held thumbnails stay evenly spaced from the
// first frame and cover nearly all of it.
TEST(ContactSheetTest, ThumbnailsStaySpreadOverAnyLength)
{
    for (const int length : {3, 24, 192, 193, 1000, 3100}) {
        ContactSheet sheet(40, 20, 24, 6, 8);
        for (int i = 0; i < length; ++i)
            sheet.offer(numberedFrame(i % 256));
        const std::vector<int> held = sheet.heldFrames();
        ASSERT_FALSE(held.empty());
        EXPECT_EQ(held.front(), 0);
        EXPECT_LE(held.size(), 24u * 8u);
        EXPECT_GE(held.size(), std::min<std::size_t>(length, 24u * 4u)) << length;
        const int spacing = held.size() > 1 ? held[1] - held[0] : 1;
        for (std::size_t i = 1; i < held.size(); ++i)
            EXPECT_EQ(held[i] - held[i - 1], spacing);
        EXPECT_GT(held.back() + 2 * spacing, length - 1) << length;
        EXPECT_LT(held.back(), length);
    }
}

TEST(ProgressBarTest, ShowsFramesRateAndTimeLeft)
{
    char line[160];
    ProgressBar::format(line, sizeof line, 50, 200, 10.0);
    EXPECT_NE(std::string(line).find("50/200 frames"), std::string::npos) << line;
    EXPECT_NE(std::string(line).find("5.0 fps"), std::string::npos) << line;
    EXPECT_NE(std::string(line).find("0:30 left"), std::string::npos) << line;
    EXPECT_NE(std::string(line).find("[######------------------]"), std::string::npos) << line;

    ProgressBar::format(line, sizeof line, 12, 0, 0.0);
    EXPECT_EQ(std::string(line), "12 frames  0.0 fps");
    // Past an underestimated total the bar is full, never negative.
    ProgressBar::format(line, sizeof line, 250, 200, 10.0);
    EXPECT_NE(std::string(line).find("0:00 left"), std::string::npos) << line;
}

}  // namespace
