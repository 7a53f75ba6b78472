#include "shell/escape_key.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <vector>

bool escapePressedInCurrentWindow()
{
    Display* display = glXGetCurrentDisplay();
    // GLUT draws on the window itself: the drawable is the window the keys go to.
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!display || window == None) return false;
    bool escape = false;
    std::vector<XEvent> otherKeys;
    XEvent event;
    // Looks through the queue and whatever the server has sent since, without
    // blocking; key releases stay where they are.
    while (XCheckTypedWindowEvent(display, window, KeyPress, &event)) {
        if (XLookupKeysym(&event.xkey, 0) == XK_Escape) escape = true;
        else otherKeys.push_back(event);
    }
    // Each goes back to the head of the queue: the last one first.
    for (auto key = otherKeys.rbegin(); key != otherKeys.rend(); ++key) XPutBackEvent(display, &*key);
    return escape;
}
