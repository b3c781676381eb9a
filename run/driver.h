// The run: the document path from the command line, the log entry from header to status,
// and at most one publish attempt in between.
#pragma once

#include <windows.h>

#include "run/text.h"

struct PublishOutcome {
  bool toolLoaded;
  Text errorText;  // compiler errors collected after publishing; empty when none
};

// Opens the document in the authoring tool, publishes it, collects the compiler errors and
// closes the tool. Blocks until the tool was asked to close or was never found.
PublishOutcome PublishDocument(Text flaPath, Text flaName);
