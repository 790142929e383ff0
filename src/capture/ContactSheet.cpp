#include "capture/ContactSheet.h"

#include "base/PngFile.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tolvane {

namespace {

constexpr int kGap = 4;
constexpr std::uint8_t kBackground = 24;
// Eight candidates per cell keep the picked frames within a sixteenth of
// the ideal spacing of their neighbours.
constexpr int kSlotsPerCell = 8;

}  // namespace

ContactSheet::ContactSheet(int frameWidth, int frameHeight, int cellCount, int columnCount, int thumbnailWidth) :
    cells(std::max(cellCount, 1)),
    columns(std::max(columnCount, 1)),
    cellWidth(std::max(thumbnailWidth, 1))
{
    const double aspect = frameWidth > 0 ? static_cast<double>(frameHeight) / frameWidth : 1.0;
    cellHeight = std::max(1, static_cast<int>(std::lround(cellWidth * aspect)));
    slots.resize(static_cast<std::size_t>(this->cells) * kSlotsPerCell);
    for (FrameImage& slot : slots)
        slot.resize(cellWidth, cellHeight);
}

ContactSheet::Layout ContactSheet::layout(int cells, int columns, int cellWidth, int cellHeight)
{
    Layout result;
    result.columns = std::max(1, std::min(columns, cells));
    result.rows = std::max(1, (cells + result.columns - 1) / result.columns);
    result.cellWidth = cellWidth;
    result.cellHeight = cellHeight;
    result.gap = kGap;
    result.width = result.columns * cellWidth + (result.columns + 1) * kGap;
    result.height = result.rows * cellHeight + (result.rows + 1) * kGap;
    return result;
}

std::vector<int> ContactSheet::pickEvenly(int candidates, int cells)
{
    std::vector<int> picked;
    if (candidates <= 0 || cells <= 0)
        return picked;
    if (candidates <= cells || cells == 1) {
        for (int i = 0; i < std::min(candidates, cells); ++i)
            picked.push_back(i);
        return picked;
    }
    for (int i = 0; i < cells; ++i)
        picked.push_back(static_cast<int>(std::lround(static_cast<double>(i) * (candidates - 1) / (cells - 1))));
    return picked;
}

void ContactSheet::cellOrigin(const Layout& layout, int index, int& x, int& y)
{
    const int column = index % layout.columns;
    const int row = index / layout.columns;
    x = layout.gap + column * (layout.cellWidth + layout.gap);
    y = layout.height - (row + 1) * (layout.cellHeight + layout.gap);
}

void ContactSheet::dropEveryOther()
{
    for (int i = 0; 2 * i < held; ++i)
        std::swap(slots[static_cast<std::size_t>(i)], slots[2 * static_cast<std::size_t>(i)]);
    held = (held + 1) / 2;
    stride *= 2;
}

void ContactSheet::offer(const FrameImage& frame)
{
    const int number = offered++;
    if (number % stride != 0)
        return;
    if (held == static_cast<int>(slots.size())) {
        dropEveryOther();
        if (number % stride != 0)
            return;
    }
    frame.downscaleInto(slots[static_cast<std::size_t>(held)], 0, 0, cellWidth, cellHeight);
    ++held;
}

std::vector<int> ContactSheet::heldFrames() const
{
    std::vector<int> frames;
    frames.reserve(held);
    for (int i = 0; i < held; ++i)
        frames.push_back(i * stride);
    return frames;
}

bool ContactSheet::write(const std::string& path, std::string& error)
{
    if (held == 0) {
        error = path + ": no frame was kept for it";
        return false;
    }
    const std::vector<int> picked = pickEvenly(held, cells);
    const Layout grid = layout(static_cast<int>(picked.size()), columns, cellWidth, cellHeight);
    sheet.resize(grid.width, grid.height);
    sheet.fill(kBackground);
    for (std::size_t cell = 0; cell < picked.size(); ++cell) {
        int x = 0;
        int y = 0;
        cellOrigin(grid, static_cast<int>(cell), x, y);
        slots[static_cast<std::size_t>(picked[cell])].downscaleInto(sheet, x, y, cellWidth, cellHeight);
    }
    return writePng(sheet.rows(), path, error, PngCompression::Fast);
}

}  // namespace tolvane
