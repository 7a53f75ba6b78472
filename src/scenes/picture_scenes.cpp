#include "scenes/picture_scenes.h"

void hearingScene(uint32_t) {}
void creditsScene(uint32_t) {}
void soyaScene(uint32_t) {}
