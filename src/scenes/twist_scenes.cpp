#include "scenes/twist_scenes.h"

#include "image/picture_table.h"

GLuint twistBarsList = 0;
GLuint twistBoxList = 0;
int maskineIndex = 0;
float twistRoomOffset = 0.0f;

void loadTwistScene()
{
    createSprites(TWIST_SPRITES);
}

void twistColumnScene(uint32_t) {}
void renderTwistColumn(float, float, float, float) {}
void twistRoomScene(uint32_t) {}
void renderTwistRoom(float, float) {}
