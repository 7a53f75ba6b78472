#include "shell/timeline_overlay.h"

#include "shell/player.h"

#include <GL/glut.h>

#include <string>
#include <vector>

namespace {

// A GLUT bitmap font and its line's measures in pixels.
struct Font {
    void* glut;
    int line;     // from one baseline to the next
    int descent;  // below the baseline
};
const Font HELVETICA_10 = {GLUT_BITMAP_HELVETICA_10, 13, 3};
const Font HELVETICA_12 = {GLUT_BITMAP_HELVETICA_12, 15, 3};
const Font HELVETICA_18 = {GLUT_BITMAP_HELVETICA_18, 22, 5};

// Windows from this wide up take the large fonts; below the small one the
// smallest.
constexpr int LARGE_WIDTH = 1280;
constexpr int SMALL_WIDTH = 480;
// Between the bar's lines of text and their neighbours.
constexpr int GAP = 4;

// Where each part of the strip lies, in pixels from the window's bottom.
struct Layout {
    Font text;   // the time, the scenes and the status
    Font small;  // the scenes' names under the bar and the keys
    int margin;
    int hintBaseline;
    int labelBaseline;
    int barBottom, barTop;
    int textBottom;  // the first line of text stands on textBottom + text.descent
    int barLeft, barRight;
};

Layout layoutFor(int width)
{
    Layout layout;
    int barHeight;
    if (width >= LARGE_WIDTH) {
        layout.text = HELVETICA_18;
        layout.small = HELVETICA_12;
        layout.margin = 12;
        barHeight = 14;
    } else if (width >= SMALL_WIDTH) {
        layout.text = HELVETICA_12;
        layout.small = HELVETICA_10;
        layout.margin = 8;
        barHeight = 10;
    } else {
        layout.text = HELVETICA_10;
        layout.small = HELVETICA_10;
        layout.margin = 5;
        barHeight = 8;
    }
    int y = layout.margin;
    layout.hintBaseline = y + layout.small.descent;
    y += layout.small.line;
    layout.labelBaseline = y + layout.small.descent;
    y += layout.small.line;
    layout.barBottom = y;
    layout.barTop = y + barHeight;
    layout.textBottom = layout.barTop + GAP + 2;
    layout.barLeft = layout.margin;
    layout.barRight = width - layout.margin;
    return layout;
}

int textWidth(const Font& font, const std::string& text)
{
    return glutBitmapLength(font.glut, reinterpret_cast<const unsigned char*>(text.c_str()));
}

void drawText(const Font& font, int x, int y, const std::string& text)
{
    glRasterPos2i(x, y);
    for (char c : text) glutBitmapCharacter(font.glut, static_cast<unsigned char>(c));
}

void fillRectangle(double x0, double y0, double x1, double y1)
{
    glBegin(GL_QUADS);
    glVertex2d(x0, y0);
    glVertex2d(x1, y0);
    glVertex2d(x1, y1);
    glVertex2d(x0, y1);
    glEnd();
}

// A line of text: on the left, and on the right edge.
struct TextLine {
    std::string left, right;
};

// The time, the scenes and the status on one line where they fit, the
// scenes on a line of their own below the others where not.
std::vector<TextLine> textLines(const Font& font, int room, const TimelineText& text)
{
    const std::string oneLine = text.time + "   " + text.scenes;
    if (textWidth(font, oneLine) + 2 * textWidth(font, "  ") + textWidth(font, text.status) <= room)
        return {{oneLine, text.status}};
    return {{text.time, text.status}, {text.scenes, ""}};
}

}  // namespace

void drawTimelineOverlay(int width, int height, uint32_t t, const TimelineState& state)
{
    const Layout layout = layoutFor(width);
    const int room = width - 2 * layout.margin;
    const std::vector<TextLine> lines = textLines(layout.text, room,
                                                  timelineText(t, state.framesPerSecond, state.held, state.muted));
    const int stripHeight = layout.textBottom + static_cast<int>(lines.size()) * layout.text.line + layout.margin / 2;

    // Everything below is undone at the end: every attribute group (the
    // viewport with them), both matrices, and the matrix mode with the
    // transform group.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glActiveTextureARB(GL_TEXTURE1_ARB);
    glDisable(GL_TEXTURE_2D);
    glActiveTextureARB(GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    for (GLenum capability : {GL_DEPTH_TEST, GL_FOG, GL_ALPHA_TEST, GL_SCISSOR_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
                              GL_CULL_FACE, GL_LIGHTING})
        glDisable(capability);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // A dark strip for legibility.
    glColor4f(0, 0, 0, 0.65f);
    fillRectangle(0, 0, width, stripHeight);

    // The bar: the gaps between scenes darkest, every scene a segment of its
    // own in one of two greys by turns with a dark seam where it starts, the
    // part played tinted, the position a white mark across it.
    const double left = layout.barLeft, barWidth = layout.barRight - layout.barLeft;
    const double bottom = layout.barBottom, top = layout.barTop;
    glColor4f(0.18f, 0.18f, 0.18f, 1);
    fillRectangle(left, bottom, left + barWidth, top);
    const std::vector<TimelineSpan> spans = timelineSceneSpans();
    for (size_t i = 0; i < spans.size(); ++i) {
        const float grey = i % 2 == 0 ? 0.5f : 0.62f;
        glColor4f(grey, grey, grey, 1);
        fillRectangle(left + spans[i].from * barWidth, bottom, left + spans[i].to * barWidth, top);
    }
    glColor4f(0.05f, 0.05f, 0.05f, 1);
    for (const TimelineSpan& span : spans) {
        const double x = left + span.from * barWidth;
        fillRectangle(x, bottom, x + 1, top);
    }
    const double position = left + timelinePosition(t) * barWidth;
    glColor4f(1.0f, 0.55f, 0.1f, 0.6f);
    fillRectangle(left, bottom, position, top);
    glColor4f(1, 1, 1, 1);
    fillRectangle(position - 1, bottom - 3, position + 1, top + 3);

    // Each scene's name under its segment where it fits there.
    glColor4f(0.8f, 0.8f, 0.8f, 1);
    for (const TimelineSpan& span : spans) {
        const int labelWidth = textWidth(layout.small, span.name);
        const double from = left + span.from * barWidth, to = left + span.to * barWidth;
        if (labelWidth + 4 > to - from) continue;
        drawText(layout.small, static_cast<int>((from + to - labelWidth) / 2), layout.labelBaseline, span.name);
    }

    // The keys: the longest form of the hint that fits.
    const std::vector<std::string>& hints = timelineKeyHints();
    std::string hint = hints.back();
    for (const std::string& form : hints)
        if (textWidth(layout.small, form) <= room) {
            hint = form;
            break;
        }
    glColor4f(0.6f, 0.6f, 0.6f, 1);
    drawText(layout.small, layout.margin, layout.hintBaseline, hint);

    // The time and scenes in white, the status in grey at the right; the
    // first line is the top one.
    for (size_t i = 0; i < lines.size(); ++i) {
        const int baseline = layout.textBottom + static_cast<int>(lines.size() - 1 - i) * layout.text.line +
                             layout.text.descent;
        glColor4f(1, 1, 1, 1);
        drawText(layout.text, layout.margin, baseline, lines[i].left);
        glColor4f(0.75f, 0.75f, 0.75f, 1);
        drawText(layout.text, layout.barRight - textWidth(layout.text, lines[i].right), baseline, lines[i].right);
    }

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

bool onTimelineBar(int width, int height, int x, int y)
{
    const Layout layout = layoutFor(width);
    // Rows counted from the bottom, with a few rows either side to grab.
    const int row = height - 1 - y;
    return x >= layout.barLeft - GAP && x <= layout.barRight + GAP && row >= layout.barBottom - GAP &&
           row < layout.barTop + GAP;
}

uint32_t timelineTimeAtColumn(int width, int x)
{
    const Layout layout = layoutFor(width);
    return timelineTimeAt(static_cast<double>(x - layout.barLeft) / (layout.barRight - layout.barLeft));
}
