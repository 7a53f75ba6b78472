#include "gl_fixture.h"

#include "geometry/render_state.h"
#include "programme/screen.h"
#include "shell/programme_state.h"

#include <GL/gl.h>

#include <cstdlib>
#include <ostream>

void GlTest::SetUp()
{
    context = std::make_unique<HeadlessContext>(width, height);
    ASSERT_TRUE(context->ok()) << context->error();
    setStartupState(width, height);
    // Whatever an earlier test in this process drew or changed, each test
    // starts from the programme's state right after loading.
    resetProgrammeState();
    // The spike scene's loader draws its table from rand, never seeded in the
    // demo: the same sequence as after srand(1), whatever drew from it before.
    srand(1);
    slicesY = SLICES_Y;
    slicesX = SLICES_X;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlTest::TearDown()
{
    SLICES_Y = slicesY;
    SLICES_X = slicesX;
    context.reset();
}

void GlTest::readFrame()
{
    glFinish();
    frame = context->readRgb();
}

Rgb GlTest::pixel(int x, int y) const
{
    const unsigned char* p = &frame[(static_cast<size_t>(y) * width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
}

std::vector<unsigned char> readTextureRgba(int texture, int* format)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4 + 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

bool near(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::ostream& operator<<(std::ostream& out, Rgb c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
