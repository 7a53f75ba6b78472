// The loading sequence, less the sound and the buffer swap, which the demo
// does itself; the renderer runs the same steps headless.
#pragma once

// Clears, creates the loading picture, puts it full-screen and draws it.
void drawLoadingPicture();

// The scene loaders in their fixed order, then the image catalogue.
void loadScenesAndPictures();
