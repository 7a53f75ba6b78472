// Small render-state helpers the scenes share: fog, field of view, banded drawing, boxes.
#pragma once

#include <GL/gl.h>

extern float fogColour[4];
extern int SLICES_Y;
extern int SLICES_X;

void setFog(float start, float end, float density);
void setFieldOfView(float fovy);
void drawSlicesY(GLuint list, float phase);
void drawSlicesX(GLuint list, float phase);
void drawBox(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V);
// The same box's two faces across z (back, front) alone, and its four faces along z
// (left, right, bottom, top) alone, with the same corners and texture coordinates.
void drawBoxEnds(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V);
void drawBoxSides(float cx, float cy, float cz, float hx, float hy, float hz, float U, float V);
