// Splits the program's own name off the raw command line, the way the run expects: the rest
// is the document path, byte for byte.
#pragma once

// Points into raw at the first byte after the program's name and the blanks that follow it.
// The lead-byte table must be loaded first, so that a trail byte is never taken for a quote.
const char* SkipProgramName(const char* raw);
