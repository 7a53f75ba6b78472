// The demo's process: the GLUT window, its callbacks and the frame loop.
#include "shell/arguments.h"
#include "shell/clock.h"
#include "shell/escape_key.h"
#include "shell/heap.h"
#include "shell/loading.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"
#include "shell/screen.h"
#include "sound/mp3_player.h"

#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>

namespace {

int frameCount = 0;
MP3Player* music = nullptr;
// Where the programme starts (--from), in milliseconds.
uint32_t startMs = 0;

void stopMusic()
{
    if (music) delete music;
}

// GLUT reads no key while the loading frame runs: the loading looks for Esc
// itself, and it ends the demo as it does later. The pictures being decoded
// ahead touch nothing that the exit tears down; the process's end stops them.
void quitIfEscapeWasPressed()
{
    if (!escapePressedInCurrentWindow()) return;
    stopMusic();
    exit(0);
}

// Without a data/ folder the demo ends at the music's "File not found"; this
// line follows it and says where the data set was looked for and how to make one.
void printDataFolderHint()
{
    const std::string hint = missingDataFolderHint();
    if (!hint.empty()) std::fprintf(stderr, "skarvelin: %s\n", hint.c_str());
}

// The first frame: the loading picture goes on screen while everything loads,
// and the music starts last, so t = 0 is the start of the music. The carried
// state is brought to where the programme has it at the start, 0 or --from:
// started later, the music starts there and the clock reads that time from now on.
void loadAll()
{
    if (!missingDataFolderHint().empty()) std::atexit(printDataFolderHint);
    drawLoadingPicture();
    glutSwapBuffers();
    music = new MP3Player(MUSIC_PATH);
    loadScenesAndPictures(quitIfEscapeWasPressed);
    catchUpProgrammeState(startMs, DISPLAY_FPS);
    quitIfEscapeWasPressed();
    music->play(startMs);
    if (startMs > 0) startClockAt(static_cast<int32_t>(startMs));
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
    DemoArguments arguments;
    std::string error;
    if (!parseDemoArguments(argc, argv, &arguments, &error)) {
        std::fprintf(stderr, "skarvelin: %s\n", error.c_str());
        return 2;
    }
    for (const std::string& warning : arguments.warnings) std::fprintf(stderr, "skarvelin: %s\n", warning.c_str());
    if (arguments.help) {
        std::fputs(demoUsage().c_str(), stdout);
        return 0;
    }
    startMs = arguments.fromMs;
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Skarvelin by QARLO6");
    if (arguments.fullScreen) glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    glutDisplayFunc(displayCallback);
    glutIdleFunc(idleCallback);
    glutKeyboardFunc(keyboardCallback);
    setStartupState(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    glutMainLoop();
    return 0;
}
