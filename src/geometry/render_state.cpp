#include "geometry/render_state.h"

float fogColour[4] = {0, 0, 0, 0};
int SLICES_Y = 240;
int SLICES_X = 240;

void setFog(float, float, float) {}
void setFieldOfView(float) {}
void drawSlicesY(GLuint, float) {}
void drawSlicesX(GLuint, float) {}
void drawBox(float, float, float, float, float, float, float, float) {}
