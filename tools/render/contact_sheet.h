// The whole programme as one picture: a grid of stills, each scaled down and
// labelled with its time and the scenes that draw it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Stills are drawn at least this many rows tall and then scaled down: on a
// shorter frame the band-sliced twist scenes draw nothing, as the programme
// does on such a screen.
constexpr int SHEET_MIN_STILL_ROWS = 240;
// The stills' width on the sheet, the columns, and the grid step of the times.
constexpr int SHEET_CELL_WIDTH = 240;
constexpr int SHEET_COLUMNS = 6;
constexpr uint32_t SHEET_STEP_MS = 4000;

// The times of the stills, in order: every scene's first millisecond, and the
// multiples of the step at which some scene draws, but for those less than a
// quarter step after a scene's start (they would show that start again).
std::vector<uint32_t> sheetTimes();

// The names of the scenes that draw at t, in drawing order, joined by " + ".
std::string sceneNamesAt(uint32_t t);

// Where everything lies on a sheet of `stills` stills of stillWidth x
// stillHeight, in pixels from the sheet's top-left corner.
struct SheetLayout {
    int pictureWidth = 0;  // a still scaled down
    int pictureHeight = 0;
    int columns = 0;
    int rows = 0;
    int width = 0;  // the whole sheet
    int height = 0;
    int pictureX(size_t i) const;  // still i's scaled picture, row by row
    int pictureY(size_t i) const;
};
SheetLayout sheetLayout(int stillWidth, int stillHeight, size_t stills);

// 8-bit RGB rows, top first, scaled down to width x height: each pixel is the
// mean of the area it covers, the edge pixels of that area weighed by the
// share of them it covers. Neither side may grow.
std::vector<unsigned char> scaleDown(const std::vector<unsigned char>& rgb, int fromWidth, int fromHeight, int width,
                                     int height);

class ContactSheet {
public:
    // A sheet for the stills at times, of stillWidth x stillHeight each, from a
    // run at fps frames a second (the header says so).
    ContactSheet(int stillWidth, int stillHeight, std::vector<uint32_t> times, int fps);

    const SheetLayout& layout() const { return layout_; }
    const std::vector<unsigned char>& rgb() const { return rgb_; }

    // Places still i (8-bit RGB rows, top first) scaled down in its cell and
    // labels it.
    void place(size_t i, const std::vector<unsigned char>& stillRgb);

    // Reads the still of times[i] back from the current OpenGL render target
    // and places it.
    void placeDrawnStill(size_t i);

    // Writes the sheet as a PNG that appears under path only once it is whole.
    bool write(const std::string& path, std::string* error) const;

private:
    void fill(int x, int y, int width, int height, const unsigned char colour[3]);
    // Text in the bitmap font at `scale` pixels a font pixel, its top-left at (x, y).
    void text(const std::string& words, int x, int y, int scale, const unsigned char colour[3]);

    int stillWidth_;
    int stillHeight_;
    std::vector<uint32_t> times_;
    SheetLayout layout_;
    std::vector<unsigned char> rgb_;
};
