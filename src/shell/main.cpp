// The demo's process: the GLUT window, its callbacks and the frame loop.
#include "shell/clock.h"
#include "shell/heap.h"
#include "shell/loading.h"
#include "shell/schedule.h"
#include "shell/screen.h"
#include "sound/mp3_player.h"

#include <GL/glut.h>

#include <cstdlib>

namespace {

int frameCount = 0;
MP3Player* music = nullptr;

void stopMusic()
{
    if (music) delete music;
}

// The first frame: the loading picture goes on screen while everything loads,
// and the music starts last, so t = 0 is the start of the music.
void loadAll()
{
    drawLoadingPicture();
    glutSwapBuffers();
    music = new MP3Player(MUSIC_PATH);
    loadScenesAndPictures();
    music->play();
}

void displayCallback()
{
    int previous = frameCount++;
    if (previous == 0)
        loadAll();
    else
        renderFrame(static_cast<uint32_t>(currentTimeMs()));
    // A frame drawn after the end is never shown.
    if (currentTimeMs() > PROGRAMME_END_MS) {
        stopMusic();
        exit(0);
    }
    glutSwapBuffers();
}

void idleCallback()
{
    glutPostRedisplay();
}

void keyboardCallback(unsigned char key, int, int)
{
    if (key == 27) {
        stopMusic();
        exit(0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    keepFreedMemoryForReuse();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Skarvelin by QARLO6");
    if (wantsFullScreen(argc, argv)) glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    glutDisplayFunc(displayCallback);
    glutIdleFunc(idleCallback);
    glutKeyboardFunc(keyboardCallback);
    setStartupState(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    glutMainLoop();
    return 0;
}
