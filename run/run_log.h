// The run log: kelvane.txt beside the executable, to which every run appends one entry,
// a piece at a time. It is the only place where a run's outcome is told.
#pragma once

#include "run/text.h"

constexpr char kLogFileName[] = "kelvane.txt";
constexpr char kNotFoundError[] = "ERROR: FLA not found";
constexpr char kNotQualifiedError[] = "ERROR: a fully qualified path to the FLA is required";
constexpr char kNotLoadedError[] = "ERROR: Flash failed to load";

// Appends text at the end of the file, creating it when missing. An empty text touches
// nothing. True when every byte was written.
bool AppendToFile(Text path, Text text);

// Blank line, separator, the document path, separator, blank line.
void AppendEntryHeader(Text logPath, Text flaPath);
void AppendErrorLine(Text logPath, Text errorLine);
// "OK: " and the path when the run neither failed nor collected errors; otherwise "FAILED: "
// and the path, followed by a blank line and the errors when there are any.
void AppendStatus(Text logPath, Text flaPath, Text errorText, bool runFailed);
