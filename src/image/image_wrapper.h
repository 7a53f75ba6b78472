// Sprites: a texture, a position and a half-size, drawn as a textured square.
#pragma once

class PicturePrefetch;

class ImageWrapper {
public:
    ImageWrapper();
    // The texture of the picture at path, from the prefetch when it has it.
    explicit ImageWrapper(const char* path, PicturePrefetch* pictures = nullptr);
    virtual ~ImageWrapper();

    void setPosition(float x, float y, float z);
    void setSize(float size);

    // A self-contained, opaque draw of the textured quad (no depth writes).
    void draw();
    // The same draw with alpha blending.
    void drawBlended();
    // Emits the two triangles at the sprite's position; binds nothing.
    void drawTriangles();

    int texture = 0;
    float x = 0, y = 0, z = 0;
    float size = 1;
};

class AlphaImageWrapper : public ImageWrapper {
public:
    AlphaImageWrapper(const char* alphaPath, const char* colourPath, PicturePrefetch* pictures = nullptr);
};

// Size 1 at (0, 0, -2.421): fills the window under the 45-degree projection.
void placeOnScreen(ImageWrapper* sprite);

// The alpha-tested overlay draw: opacity above 0.5 drawn opaque, the rest
// discarded; leaves the depth test enabled.
void drawMasked(ImageWrapper* sprite);
