#include "contact_sheet.h"

#include "glyphs.h"
#include "png_writer.h"

#include "command_line/option_table.h"
#include "shell/schedule.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// The sheet's proportions, in pixels.
constexpr int MARGIN = 20;      // around the whole grid
constexpr int GAP = 12;         // between two columns
constexpr int TITLE_SCALE = 3;  // the header line, in pixels a font pixel
constexpr int HEADER_HEIGHT = MARGIN + GLYPH_ROWS * TITLE_SCALE + 16;
constexpr int LABEL_SCALE = 2;  // the labels under each still
constexpr int LABEL_LINE = GLYPH_ROWS * LABEL_SCALE;
constexpr int LABEL_HEIGHT = 6 + LABEL_LINE + 5 + LABEL_LINE + 12;  // both lines and the gap to the next row

const unsigned char BACKGROUND[3] = {22, 22, 26};
const unsigned char FRAME[3] = {70, 70, 78};
const unsigned char TITLE[3] = {235, 235, 235};
const unsigned char TIME[3] = {235, 235, 235};
const unsigned char NAMES[3] = {150, 200, 240};

// The width of words in the font at scale, with one blank font column between letters.
int textWidth(const std::string& words, int scale)
{
    return words.empty() ? 0 : static_cast<int>(words.size() * (GLYPH_COLUMNS + 1) - 1) * scale;
}

}  // namespace

std::vector<uint32_t> sheetTimes()
{
    std::vector<uint32_t> times;
    for (const ScheduleRow& row : SCHEDULE) times.push_back(row.first);
    for (uint32_t t = SHEET_STEP_MS; t <= static_cast<uint32_t>(PROGRAMME_END_MS); t += SHEET_STEP_MS) {
        bool drawn = false, nearStart = false;
        for (const ScheduleRow& row : SCHEDULE) {
            drawn = drawn || rowContains(row, t);
            nearStart = nearStart || (t >= row.first && t - row.first < SHEET_STEP_MS / 4);
        }
        if (drawn && !nearStart) times.push_back(t);
    }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

std::string sceneNamesAt(uint32_t t)
{
    std::string names;
    for (const ScheduleRow& row : SCHEDULE)
        if (rowContains(row, t)) names += (names.empty() ? "" : " + ") + std::string(row.name);
    return names;
}

int SheetLayout::pictureX(size_t i) const
{
    return MARGIN + static_cast<int>(i % columns) * (pictureWidth + GAP);
}

int SheetLayout::pictureY(size_t i) const
{
    return HEADER_HEIGHT + static_cast<int>(i / columns) * (pictureHeight + LABEL_HEIGHT);
}

SheetLayout sheetLayout(int stillWidth, int stillHeight, size_t stills)
{
    SheetLayout layout;
    layout.pictureWidth = std::min(SHEET_CELL_WIDTH, stillWidth);
    layout.pictureHeight = std::max(
        1, static_cast<int>((static_cast<int64_t>(stillHeight) * layout.pictureWidth + stillWidth / 2) / stillWidth));
    layout.columns = SHEET_COLUMNS;
    layout.rows = static_cast<int>((stills + SHEET_COLUMNS - 1) / SHEET_COLUMNS);
    layout.width = 2 * MARGIN + SHEET_COLUMNS * layout.pictureWidth + (SHEET_COLUMNS - 1) * GAP;
    layout.height = HEADER_HEIGHT + layout.rows * (layout.pictureHeight + LABEL_HEIGHT) + MARGIN - 12;
    return layout;
}

std::vector<unsigned char> scaleDown(const std::vector<unsigned char>& rgb, int fromWidth, int fromHeight, int width,
                                     int height)
{
    // Each output pixel along one axis covers [o * step, (o + 1) * step) of
    // the input; an input pixel counts with the part of it inside that span.
    auto weights = [](int from, int to) {
        struct Span {
            int first;
            std::vector<double> weight;
        };
        std::vector<Span> spans(static_cast<size_t>(to));
        const double step = static_cast<double>(from) / to;
        for (int o = 0; o < to; ++o) {
            const double begin = o * step, end = (o + 1) * step;
            Span& span = spans[o];
            span.first = static_cast<int>(std::floor(begin));
            for (int i = span.first; i < from && i < end; ++i)
                span.weight.push_back((std::min<double>(i + 1, end) - std::max<double>(i, begin)) / step);
        }
        return spans;
    };
    const auto columns = weights(fromWidth, width), rows = weights(fromHeight, height);
    // Across first, into rows of doubles; then down.
    std::vector<double> across(static_cast<size_t>(fromHeight) * width * 3, 0.0);
    for (int y = 0; y < fromHeight; ++y)
        for (int x = 0; x < width; ++x)
            for (size_t k = 0; k < columns[x].weight.size(); ++k) {
                const unsigned char* in = &rgb[(static_cast<size_t>(y) * fromWidth + columns[x].first + k) * 3];
                double* out = &across[(static_cast<size_t>(y) * width + x) * 3];
                for (int c = 0; c < 3; ++c) out[c] += columns[x].weight[k] * in[c];
            }
    std::vector<unsigned char> result(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                double sum = 0;
                for (size_t k = 0; k < rows[y].weight.size(); ++k)
                    sum += rows[y].weight[k] * across[((rows[y].first + k) * width + x) * 3 + c];
                result[(static_cast<size_t>(y) * width + x) * 3 + c] = static_cast<unsigned char>(
                    std::clamp(std::lround(sum), 0L, 255L));
            }
    return result;
}

ContactSheet::ContactSheet(int stillWidth, int stillHeight, std::vector<uint32_t> times, int fps)
    : stillWidth_(stillWidth),
      stillHeight_(stillHeight),
      times_(std::move(times)),
      layout_(sheetLayout(stillWidth, stillHeight, times_.size()))
{
    rgb_.resize(static_cast<size_t>(layout_.width) * layout_.height * 3);
    fill(0, 0, layout_.width, layout_.height, BACKGROUND);
    text("SKARVELIN  0:00 TO " + minutesAndSeconds(PROGRAMME_END_MS).substr(0, 4) + "  STILLS OF A RUN AT " +
             std::to_string(fps) + " FPS",
         MARGIN, MARGIN, TITLE_SCALE, TITLE);
    for (size_t i = 0; i < times_.size(); ++i) {
        // A thin frame around each picture, outside it.
        fill(layout_.pictureX(i) - 1, layout_.pictureY(i) - 1, layout_.pictureWidth + 2, layout_.pictureHeight + 2,
             FRAME);
        fill(layout_.pictureX(i), layout_.pictureY(i), layout_.pictureWidth, layout_.pictureHeight, BACKGROUND);
        const int labelY = layout_.pictureY(i) + layout_.pictureHeight + 6;
        text(minutesAndSeconds(times_[i]), layout_.pictureX(i), labelY, LABEL_SCALE, TIME);
        // Two scenes' names may be too long for the picture's width at the
        // label's size: then without the blanks around the '+', or at half
        // the size.
        std::string names = sceneNamesAt(times_[i]);
        if (textWidth(names, LABEL_SCALE) > layout_.pictureWidth) {
            const size_t plus = names.find(" + ");
            if (plus != std::string::npos) names.replace(plus, 3, "+");
        }
        const int scale = textWidth(names, LABEL_SCALE) <= layout_.pictureWidth ? LABEL_SCALE : 1;
        text(names, layout_.pictureX(i), labelY + LABEL_LINE + 5, scale, NAMES);
    }
}

void ContactSheet::place(size_t i, const std::vector<unsigned char>& stillRgb)
{
    const std::vector<unsigned char> picture = scaleDown(stillRgb, stillWidth_, stillHeight_, layout_.pictureWidth,
                                                         layout_.pictureHeight);
    const size_t rowBytes = static_cast<size_t>(layout_.pictureWidth) * 3;
    for (int y = 0; y < layout_.pictureHeight; ++y)
        std::copy_n(&picture[y * rowBytes], rowBytes,
                    &rgb_[(static_cast<size_t>(layout_.pictureY(i) + y) * layout_.width + layout_.pictureX(i)) * 3]);
}

void ContactSheet::placeDrawnStill(size_t i)
{
    const size_t rowBytes = static_cast<size_t>(stillWidth_) * 3;
    std::vector<unsigned char> bottomUp(rowBytes * stillHeight_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, stillWidth_, stillHeight_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    // OpenGL's rows come bottom first.
    std::vector<unsigned char> still(bottomUp.size());
    for (int y = 0; y < stillHeight_; ++y)
        std::copy_n(&bottomUp[(stillHeight_ - 1 - y) * rowBytes], rowBytes, &still[y * rowBytes]);
    place(i, still);
}

bool ContactSheet::write(const std::string& path, std::string* error) const
{
    return writePng(path, layout_.width, layout_.height, rgb_, error);
}

void ContactSheet::fill(int x, int y, int width, int height, const unsigned char colour[3])
{
    for (int row = std::max(0, y); row < std::min(layout_.height, y + height); ++row)
        for (int column = std::max(0, x); column < std::min(layout_.width, x + width); ++column)
            std::copy_n(colour, 3, &rgb_[(static_cast<size_t>(row) * layout_.width + column) * 3]);
}

void ContactSheet::text(const std::string& words, int x, int y, int scale, const unsigned char colour[3])
{
    for (size_t i = 0; i < words.size(); ++i) {
        const char* const* rows = glyphRows(words[i]);
        if (!rows) continue;
        const int left = x + static_cast<int>(i) * (GLYPH_COLUMNS + 1) * scale;
        for (int r = 0; r < GLYPH_ROWS; ++r)
            for (int c = 0; c < GLYPH_COLUMNS; ++c)
                if (rows[r][c] == '#') fill(left + c * scale, y + r * scale, scale, scale, colour);
    }
}
