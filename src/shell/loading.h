// The loading sequence, less the sound and the buffer swap, which the demo
// does itself; the renderer runs the same steps headless.
#pragma once

// The soundtrack, read whole by the demo and muxed into videos by the renderer.
extern const char* const MUSIC_PATH;

// Clears, creates the loading picture, puts it full-screen and draws it.
void drawLoadingPicture();

// The scene loaders in their fixed order, then the image catalogue.
void loadScenesAndPictures();
