// The demo's process: the GLUT window, its callbacks and the frame loop.
#include "shell/arguments.h"
#include "shell/clock.h"
#include "shell/escape_key.h"
#include "shell/heap.h"
#include "shell/loading.h"
#include "shell/player.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"
#include "shell/screen.h"
#include "shell/timeline_overlay.h"
#include "sound/mp3_player.h"

#include <GL/glut.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

int frameCount = 0;
MP3Player* music = nullptr;
// Where the programme starts (--from), in milliseconds.
uint32_t startMs = 0;
// With --controls, the player: the programme can be held, moved and stepped.
// Null without: the demo plays from its start to its end and knows only Esc.
Player* player = nullptr;
// The time of the frame on screen, where the player holds.
uint32_t shownMs = 0;
// Set once everything is loaded and the music started: the player's keys
// act from then on.
bool loaded = false;

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

// The music starts where the programme does; a player that starts held
// (--paused) starts it silent there, and draws its held frame next.
void startMusic()
{
    if (!player || !player->held()) {
        music->play(startMs);
        return;
    }
    music->playHeld(startMs);
    glutIdleFunc(nullptr);
    glutPostRedisplay();
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
    startMusic();
    if (startMs > 0) startClockAt(static_cast<int32_t>(startMs));
    loaded = true;
}

double steadyMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The programme's time: the clock's, or the held time while the player holds.
int32_t programmeTimeMs()
{
    return player && player->held() ? static_cast<int32_t>(player->heldMs()) : currentTimeMs();
}

// A frame with the player: a held frame is caught up before it is drawn, so
// it is the still of its time however often it is drawn again (expose,
// resize, overlay); the timeline goes over the finished frame.
void drawPlayerFrame()
{
    const uint32_t t = static_cast<uint32_t>(programmeTimeMs());
    if (player->held()) catchUpProgrammeState(t, DISPLAY_FPS);
    renderFrame(t);
    shownMs = t;
    if (!player->held()) player->frameShown(steadyMs());
    if (player->overlayShown()) drawTimelineOverlay(t, player->framesPerSecond(steadyMs()), player->held());
}

void displayCallback()
{
    int previous = frameCount++;
    if (previous == 0)
        loadAll();
    else if (player)
        drawPlayerFrame();
    else
        renderFrame(static_cast<uint32_t>(currentTimeMs()));
    // A frame drawn after the end is never shown.
    if (programmeTimeMs() > PROGRAMME_END_MS) {
        stopMusic();
        exit(0);
    }
    glutSwapBuffers();
}

void idleCallback()
{
    glutPostRedisplay();
}

// A key for the player. A move while running is a catch-up to its time, as a
// start there is, then the music and the clock moved there together; held,
// only the held time moves, and the music follows when it plays on.
void playerKey(int key)
{
    // Until loading is done there is nothing to hold or move: only Esc counts.
    if (!loaded && key != 27) return;
    const PlayerAction action = player->press(key, shownMs);
    switch (action.kind) {
    case PlayerAction::NOTHING:
        return;
    case PlayerAction::QUIT:
        stopMusic();
        exit(0);
    case PlayerAction::HOLD:
        music->pause();
        break;
    case PlayerAction::RESUME:
        music->moveTo(action.ms);
        music->resume();
        startClockAt(static_cast<int32_t>(action.ms));
        break;
    case PlayerAction::MOVE:
        if (player->held()) break;
        catchUpProgrammeState(action.ms, DISPLAY_FPS);
        music->moveTo(action.ms);
        startClockAt(static_cast<int32_t>(action.ms));
        break;
    case PlayerAction::TOGGLE_OVERLAY:
        break;
    }
    // Held, the frame is drawn when asked for only; running, back to back.
    glutIdleFunc(player->held() ? nullptr : idleCallback);
    glutPostRedisplay();
}

void keyboardCallback(unsigned char key, int, int)
{
    if (player) {
        playerKey(key);
        return;
    }
    if (key == 27) {
        stopMusic();
        exit(0);
    }
}

// Arrows and Home, for the player only.
void specialKeyCallback(int key, int, int)
{
    switch (key) {
    case GLUT_KEY_LEFT:
        return playerKey(PLAYER_KEY_LEFT);
    case GLUT_KEY_RIGHT:
        return playerKey(PLAYER_KEY_RIGHT);
    case GLUT_KEY_UP:
        return playerKey(PLAYER_KEY_UP);
    case GLUT_KEY_DOWN:
        return playerKey(PLAYER_KEY_DOWN);
    case GLUT_KEY_HOME:
        return playerKey(PLAYER_KEY_HOME);
    }
}

// GLUT ends the process when it cannot open a display, after its own
// message ("failed to open display"); this line follows it.
bool displayOpened = false;
void printNoDisplayHint()
{
    if (!displayOpened)
        std::fputs("skarvelin: there is no display to open a window on; skarvelin-render draws the programme "
                   "without one: skarvelin-render --video FILE, in the folder that holds data/\n",
                   stderr);
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
    shownMs = startMs;
    if (arguments.controls) player = new Player(startMs, arguments.paused);
    std::atexit(printNoDisplayHint);
    glutInit(&argc, argv);
    displayOpened = true;
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Skarvelin by QARLO6");
    if (arguments.fullScreen) glutFullScreen();
    glutSetCursor(GLUT_CURSOR_NONE);
    glutDisplayFunc(displayCallback);
    glutIdleFunc(idleCallback);
    glutKeyboardFunc(keyboardCallback);
    if (player) glutSpecialFunc(specialKeyCallback);
    setStartupState(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    glutMainLoop();
    return 0;
}
