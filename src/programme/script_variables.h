// The scenes' script variables: what their scripts carry from frame to frame.
// The programme's carried state is owned, reset and caught up by
// shell/programme_state.h; the scenes step these members and read them.
#pragma once

// The member values given here are the values right after loading: a reset
// assigns a fresh ScriptVariables, so a new carried variable is one new member.
struct ScriptVariables {
    int beatOffset = 0;                // spike: the offset ladder's last value
    float waveSpeed = 20.0f;           // bitmap: steps once per frame of the slow-down
    int endingIndex = 0;               // bitmap: the ending picture
    float blobAngleDivisor = 1500.0f;  // blob: the camera's angle divisor
    int maskineIndex = 0;              // twist column: the maskine overlay
    float twistRoomOffset = 0.0f;      // twist room: the camera's offset
};

extern ScriptVariables script;
