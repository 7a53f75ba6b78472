// The three scenes that show nothing but full-screen pictures.
#pragma once

#include <cstdint>

void hearingScene(uint32_t t);
void creditsScene(uint32_t t);
void soyaScene(uint32_t t);
