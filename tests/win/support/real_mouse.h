// The mouse as a user moves it: real input through the system, so that
// low-level hooks see it. Nothing here marks the input as the program's own.
#pragma once

#include <windows.h>

#include <string>

namespace kv::test {

void mouseMoveTo(POINT screen);
void mouseLeftDown();
void mouseLeftUp();
// Moves in `steps` equal steps from `from` to `to`, pausing between them.
void mouseGlide(POINT from, POINT to, int steps, DWORD pauseMs);

// Waits until the system's cursor is at the point (input is handled
// asynchronously); false after the timeout.
bool waitForCursorAt(POINT screen, DWORD timeoutMs = 2000);

// The centre of a rectangle.
POINT centreOf(const RECT& rect);

// Saves the whole screen as a BMP file (for looking at it afterwards).
bool saveScreenBmp(const std::wstring& path);

}  // namespace kv::test
