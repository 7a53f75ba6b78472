// The fogged square tunnel with its row of cubes.
#pragma once

#include <GL/gl.h>

#include <cstdint>

extern GLuint tunnelList;

void loadTunnelScene();
void tunnelScene(uint32_t t);
void renderTunnel(float phase);
