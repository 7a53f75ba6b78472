// The fogged square tunnel with its row of cubes.
#pragma once

#include "scenes/scene_unit.h"

#include <GL/gl.h>

#include <cstdint>

extern ImageWrapper* tunnelTexture;
extern ImageWrapper* tunnelKasseTexture;

extern const SceneUnit TUNNEL_UNIT;

extern GLuint tunnelList;

class PicturePrefetch;
void loadTunnelScene(PicturePrefetch* pictures = nullptr);
void tunnelScene(uint32_t t);
void renderTunnel(float phase);

// The time script, readable for any t without OpenGL.

// The camera's time offset in milliseconds: the last ladder row whose start t has reached.
int tunnelOffsetAt(uint32_t t);
// The phase handed to renderTunnel: (offset + t) * PHASE_SCALE.
float tunnelPhaseAt(uint32_t t);

// After this the view widens steadily; the projection is set back to 45 degrees in the same frame.
constexpr uint32_t TUNNEL_WIDENING_AFTER = 107710;
bool tunnelWidensView(uint32_t t);
// The vertical field of view in degrees at t: 45 until the widening starts.
float tunnelFieldOfView(uint32_t t);
