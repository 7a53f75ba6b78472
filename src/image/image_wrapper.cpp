#include "image/image_wrapper.h"

#include "data_folder/data_folder.h"
#include "image/jpeg_texture.h"
#include "image/picture_prefetch.h"

#include <GL/gl.h>

#include <cstdio>

namespace {

// The overlays keep texels whose opacity byte is 128 or more and drop 127 and
// less: the cut at one half. OpenGL turns the alpha reference into the colour
// buffer's fixed point before comparing, and 0.5 on an 8-bit buffer rounds to
// 128, which would drop 128 as well; just under 0.5 it becomes 127.
const float MASK_THRESHOLD = 0.499f;

}  // namespace

ImageWrapper::ImageWrapper() : size(1) {}

ImageWrapper::ImageWrapper(const char* path, PicturePrefetch* pictures)
{
    // The name in the scene's picture row is the prefetch's key; the file is in the data folder.
    if (!pictures || !pictures->take(nullptr, path, &texture)) texture = loadTexture(dataFile(path).c_str());
    if (texture == -1) {
        fprintf(stderr, "Error loading %s\n", dataFile(path).c_str());
        texture = 0;
    }
}

ImageWrapper::~ImageWrapper() = default;

AlphaImageWrapper::AlphaImageWrapper(const char* alphaPath, const char* colourPath, PicturePrefetch* pictures)
    : ImageWrapper()
{
    if (!pictures || !pictures->take(alphaPath, colourPath, &texture))
        texture = loadAlphaTexture(dataFile(alphaPath).c_str(), dataFile(colourPath).c_str());
    if (texture == -1) {
        fprintf(stderr, "Error loading\n");
        texture = 0;
    }
}

void ImageWrapper::setPosition(float newX, float newY, float newZ)
{
    x = newX;
    y = newY;
    z = newZ;
}

void ImageWrapper::setSize(float newSize)
{
    size = newSize;
}

void ImageWrapper::draw()
{
    const float s = size;
    glPushMatrix();
    glDepthMask(GL_FALSE);
    glTranslatef(x, y, z);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(-s, -s, 0);
    glTexCoord2f(1, 1);
    glVertex3f(s, -s, 0);
    glTexCoord2f(1, 0);
    glVertex3f(s, s, 0);
    glTexCoord2f(0, 0);
    glVertex3f(-s, s, 0);
    glEnd();
    glDepthMask(GL_TRUE);
    glPopMatrix();
}

void ImageWrapper::drawBlended()
{
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    draw();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
}

void ImageWrapper::drawTriangles()
{
    glBegin(GL_TRIANGLES);
    glTexCoord2f(0, 1);
    glVertex3f(x - size, y - size, z);
    glTexCoord2f(1, 1);
    glVertex3f(x + size, y - size, z);
    glTexCoord2f(1, 0);
    glVertex3f(x + size, y + size, z);
    glTexCoord2f(1, 0);
    glVertex3f(x + size, y + size, z);
    glTexCoord2f(0, 0);
    glVertex3f(x - size, y + size, z);
    glTexCoord2f(0, 1);
    glVertex3f(x - size, y - size, z);
    glEnd();
}

void placeOnScreen(ImageWrapper* sprite)
{
    sprite->setSize(1);
    sprite->setPosition(0, 0, -2.421f);
}

void drawMasked(ImageWrapper* sprite)
{
    glPushMatrix();
    glAlphaFunc(GL_GREATER, MASK_THRESHOLD);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glBindTexture(GL_TEXTURE_2D, sprite->texture);
    sprite->drawTriangles();
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
}
