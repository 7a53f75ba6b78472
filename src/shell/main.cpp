// The demo's process: the GLUT window, its callbacks and the frame loop.
#include "command_line/version.h"
#include "data_folder/data_folder.h"
#include "programme/screen.h"
#include "shell/arguments.h"
#include "shell/clock.h"
#include "shell/escape_key.h"
#include "shell/heap.h"
#include "shell/loading.h"
#include "shell/player.h"
#include "shell/programme_state.h"
#include "shell/schedule.h"
#include "shell/timeline_overlay.h"
#include "sound/mp3_player.h"

#include <GL/glut.h>
// After glut.h, whose definitions it builds on: glutFullScreenToggle.
#include <GL/freeglut_ext.h>

#include <algorithm>
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
// Set once everything is loaded and the music started: the player's keys
// act from then on.
bool loaded = false;
// A move or a resume while running: the next frame is caught up to its time.
bool catchUpBeforeNextFrame = false;
// The left button went down on the timeline's bar and is still down.
bool draggingOnBar = false;
// --aspect 4:3: the programme at its own shape between black bars.
bool fourByThree = false;

double steadyMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
// Where the data set was looked for, and the folder found (none: data/).
DataSearch dataSearch;

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

// Without a data set the demo ends at the music's "File not found"; these
// lines follow it and say where the set was looked for and how to make one.
void printDataFolderHint()
{
    for (const std::string& line : noDataSetHint(dataSearch, "skarvelin", std::getenv))
        std::fprintf(stderr, "skarvelin: %s\n", line.c_str());
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
    if (dataSearch.folder.empty()) std::atexit(printDataFolderHint);
    drawLoadingPicture();
    glutSwapBuffers();
    music = new MP3Player(dataFile(MUSIC_PATH).c_str());
    loadScenesAndPictures(quitIfEscapeWasPressed);
    catchUpProgrammeState(startMs, DISPLAY_FPS);
    quitIfEscapeWasPressed();
    startMusic();
    if (player) player->start(steadyMs());
    else if (startMs > 0) startClockAt(static_cast<int32_t>(startMs));
    loaded = true;
}

// A frame with the player, which keeps the programme's time. A programme
// that has run past its end holds on the end, the music stopped. A held frame
// is caught up before it is drawn, so it is the still of its time however
// often it is drawn again (expose, resize, overlay), and so is the first
// frame after a move; the timeline goes over the finished frame, across the
// whole window.
void drawPlayerFrame()
{
    const double now = steadyMs();
    if (player->holdIfPastEnd(now)) {
        music->pause();
        glutIdleFunc(nullptr);
    }
    const int64_t position = player->positionMs(now);
    const uint32_t t = static_cast<uint32_t>(position < 0 ? 0 : std::min<int64_t>(position, PROGRAMME_END_MS));
    if (player->held() || catchUpBeforeNextFrame) catchUpProgrammeState(t, DISPLAY_FPS);
    catchUpBeforeNextFrame = false;
    renderFrame(t);
    if (!player->held()) player->frameShown(now);
    if (player->overlayShown())
        drawTimelineOverlay(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), t,
                            {player->framesPerSecond(now), player->held(), player->muted()});
}

void displayCallback()
{
    int previous = frameCount++;
    if (previous == 0) loadAll();
    else if (player) drawPlayerFrame();
    else renderFrame(static_cast<uint32_t>(currentTimeMs()));
    // A frame drawn after the end is never shown; the player holds on the end instead.
    if (!player && currentTimeMs() > PROGRAMME_END_MS) {
        stopMusic();
        exit(0);
    }
    glutSwapBuffers();
}

void idleCallback()
{
    glutPostRedisplay();
}

// Carries out what the player asks for. A move while running takes the
// music there (the player's time is there already) and the next frame is
// caught up to its time, as a start there is; held, only the held time
// moves, and the music follows when it plays on.
void carryOut(const PlayerAction& action)
{
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
        catchUpBeforeNextFrame = true;
        break;
    case PlayerAction::MOVE:
        if (player->held()) break;
        music->moveTo(action.ms);
        catchUpBeforeNextFrame = true;
        break;
    case PlayerAction::TOGGLE_OVERLAY:
        // The pointer shows with the timeline, whose bar it can click.
        glutSetCursor(player->overlayShown() ? GLUT_CURSOR_LEFT_ARROW : GLUT_CURSOR_NONE);
        draggingOnBar = false;
        break;
    case PlayerAction::TOGGLE_FULL_SCREEN:
        glutFullScreenToggle();
        break;
    case PlayerAction::TOGGLE_MUTE:
        music->setMuted(player->muted());
        break;
    }
    // Held, the frame is drawn when asked for only; running, back to back.
    glutIdleFunc(player->held() ? nullptr : idleCallback);
    glutPostRedisplay();
}

// A key for the player.
void playerKey(int key)
{
    // Until loading is done there is nothing to hold or move: only Esc counts.
    if (!loaded && key != 27) return;
    carryOut(player->press(key, steadyMs()));
}

// A click on the timeline's bar seeks to the time under it, and so does
// every place the pointer is dragged to while the button stays down.
void seekToColumn(int x)
{
    carryOut(player->seek(timelineTimeAtColumn(glutGet(GLUT_WINDOW_WIDTH), x), steadyMs()));
}

void mouseCallback(int button, int state, int x, int y)
{
    if (button != GLUT_LEFT_BUTTON) return;
    draggingOnBar = false;
    if (state != GLUT_DOWN || !loaded || !player->overlayShown()) return;
    if (!onTimelineBar(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), x, y)) return;
    draggingOnBar = true;
    seekToColumn(x);
}

void motionCallback(int x, int)
{
    if (draggingOnBar) seekToColumn(x);
}

// With --aspect 4:3, the programme is drawn in the largest 4:3 part of the
// window, centred, and the scenes see that part as their window, as the
// renderer's scenes see its picture; renderFrame's clear blackens the bars.
void reshapeCallback(int width, int height)
{
    const PictureArea area = pictureArea(width, height, fourByThree);
    windowWidth = area.width;
    windowHeight = area.height;
    pictureLeft = area.x;
    pictureBottom = height - area.y - area.height;
    glViewport(pictureLeft, pictureBottom, area.width, area.height);
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
        std::fputs(
            "skarvelin: there is no display to open a window on; skarvelin-render draws the programme "
            "without one: skarvelin-render --video FILE, in the folder that holds data/\n",
            stderr);
}

}  // namespace

int main(int argc, char** argv)
{
    keepFreedMemoryForReuse();
    if (argc == 2) {
        const std::string document = demoBuildDocument(argv[1]);
        if (!document.empty()) return std::fputs(document.c_str(), stdout) < 0;
    }
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
    if (arguments.version) {
        std::printf("%s\n", versionLine("skarvelin").c_str());
        return 0;
    }
    if (!chooseDataFolder("skarvelin", arguments.dataDir, &dataSearch)) return 2;
    startMs = arguments.fromMs;
    fourByThree = arguments.fourByThree;
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
    if (player) {
        glutSpecialFunc(specialKeyCallback);
        glutMouseFunc(mouseCallback);
        glutMotionFunc(motionCallback);
    }
    // Without it GLUT's own reshape gives the whole window to the picture.
    if (fourByThree) glutReshapeFunc(reshapeCallback);
    setStartupState(glutGet(GLUT_SCREEN_WIDTH), glutGet(GLUT_SCREEN_HEIGHT));
    glutMainLoop();
    return 0;
}
