// Reading what any program can see of a window: its caption, class name and control text.
// A window that has gone away reads as empty.
#pragma once

#include <windows.h>

#include "run/text.h"

using Window = HWND;

// The caption, as long as the window itself says it is (WM_GETTEXTLENGTH). A window that
// answers with a negative or unusable length reads as empty.
Text WindowTitle(Window window);
Text WindowClassName(Window window);  // up to 1023 bytes
Text ControlText(Window window);      // WM_GETTEXT, up to 32767 bytes
