// The twist column and the twist room: a display list drawn in 240 turned bands.
#pragma once

#include <GL/gl.h>

#include <cstdint>

extern GLuint twistBarsList;
extern GLuint twistBoxList;
extern int maskineIndex;
extern float twistRoomOffset;

void loadTwistScene();
void twistColumnScene(uint32_t t);
void renderTwistColumn(float angle, float phase, float lookX, float distance);
void twistRoomScene(uint32_t t);
void renderTwistRoom(float angle, float phase);
