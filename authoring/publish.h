// Launching the document in the authoring tool, pressing Publish, having the compiler errors
// collected and closing the tool.
#pragma once

#include "run/driver.h"
#include "run/text.h"
#include "windows/probes.h"

constexpr int kMainWindowTimeoutSeconds = 30;
constexpr int kPanelTimeoutSeconds = 10;

// Which compiler-error road a main window's caption asks for.
struct VersionMarks {
  bool cs3;
  bool cs4;
};

// A mark counts only when its first occurrence stands after the caption's first byte.
VersionMarks ReadVersionMarks(Text caption);

// Supplied by the Compiler Errors list harvest.
Window WaitForCompilerErrorsList(int timeoutSeconds);
Text ReadListViewRows(Window list);
// Supplied by the Output panel harvest; closes the panel it found.
Text HarvestOutputPanel(int timeoutSeconds);
