// The twist column and the twist room: a display list drawn in 240 turned bands.
#pragma once

#include "scenes/scene_unit.h"

#include <GL/gl.h>

#include <cstdint>

extern ImageWrapper* twistBox;
extern ImageWrapper* twist1;
extern ImageWrapper* twist2;
extern ImageWrapper* twist3;
// 0..9 "maskine1".."maskine10", 10..12 "kost1".."kost3"
extern ImageWrapper* maskine[13];
// "maskine11".."maskine17"
extern ImageWrapper* maskineFlash[7];

extern const SceneUnit TWIST_UNIT;

extern GLuint twistBarsList;
extern GLuint twistBoxList;

class PicturePrefetch;
void loadTwistScene(PicturePrefetch* pictures = nullptr);
void twistColumnScene(uint32_t t);
// The column's script through a frame at t, without drawing: the maskine index
// (script.maskineIndex).
// True when the frame lays a masked overlay.
bool stepTwistColumnScene(uint32_t t);
void renderTwistColumn(float angle, float phase, float lookX, float distance);
void twistRoomScene(uint32_t t);
// The room's script through a frame at t, without drawing: the camera offset
// (script.twistRoomOffset).
// True when the frame lays a masked overlay.
bool stepTwistRoomScene(uint32_t t);
void renderTwistRoom(float angle, float phase);

// The time scripts, readable for any t without OpenGL.

// Where the column's camera stands at t; drawn is false where no row holds t
// (then the column is not drawn at all).
struct TwistColumnCamera {
    bool drawn;
    float lookX;
    float distance;
};
TwistColumnCamera twistColumnCameraAt(uint32_t t);

// The maskine overlay is drawn for every t after this.
constexpr uint32_t MASKINE_OVERLAY_AFTER = 10654;
// The maskine index after the thresholds that t exceeds; current where it exceeds none.
int updateMaskineIndex(uint32_t t, int current);
// The maskineFlash entry drawn at t, or -1 outside the flash window.
int maskineFlashIndex(uint32_t t);

// The room's camera offset at t: the last ladder row holding t, or previous where none does.
float twistRoomOffsetAt(uint32_t t, float previous);
// The slut entry ("ost" picture) laid over the room at t, or -1 for none.
int twistRoomOverlayIndex(uint32_t t);
