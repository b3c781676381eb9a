// Searches of the window tree by caption and class-name substrings (case-sensitive).
// Subtree searches are depth-first, pre-order, topmost child first; null start: the desktop.
#pragma once

#include "run/text.h"
#include "windows/probes.h"

Window FindWindowByTitle(Window start, Text titleSub);
Window FindWindowByClass(Window start, Text classSub);
// The first window whose class matches and whose subtree, itself included, holds a matching
// caption; the class-matched window is returned, not the captioned one.
Window FindWindowByClassAndTitle(Window start, Text classSub, Text titleSub);
// The first visible top-level window, in z-order, whose caption matches.
Window FindTopLevelWindowByTitle(Text titleSub);
