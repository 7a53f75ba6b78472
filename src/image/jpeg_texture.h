// JPEG files into OpenGL textures.
#pragma once

// Decodes a JPEG file into packed RGB rows, top row first (3 * width bytes a row).
// Returns a malloc'd array that the caller frees, or null when the file
// cannot be opened or decoded; width and height are written once the header is read.
unsigned char* loadJpeg(const char* path, int* width, int* height);

// Uploads one picture as a texture (luminance when every pixel is grey).
// Returns the texture name, or -1 when the picture could not be loaded.
int loadTexture(const char* path);

// Uploads an RGBA texture: colour from the colour picture, opacity from the
// red channel of the alpha picture. Returns the texture name, or -1.
int loadAlphaTexture(const char* alphaPath, const char* colourPath);
