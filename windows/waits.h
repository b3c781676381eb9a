// Waiting, up to a limit in whole seconds, for a visible top-level window to show up.
#pragma once

#include "run/text.h"
#include "windows/probes.h"

// Polls with short pauses; the limit is tested before each attempt, with the signed tick
// difference, so the counter's wrap does not disturb it. A negative limit makes no attempt.
Window WaitForTopLevelWindow(Text titleSub, int timeoutSeconds);

// True while the ticks since start have not passed the limit (signed 32-bit difference).
bool WithinLimit(DWORD start, int timeoutSeconds);
