// Esc in the demo's window while GLUT reads no keys: inside a display
// callback, such as the loading frame.
#pragma once

// Whether Esc has been pressed in the window of the current GLX context since
// the last look. Reads what the X server has sent on the window's own
// connection, without waiting; other key presses are put back for GLUT, in
// their order, and no other event is touched. False when no GLX window is current.
bool escapePressedInCurrentWindow();
