// Path helpers of the run: the document's file name, the program's own directory and the
// existence probe for the document.
#pragma once

#include <windows.h>

#include "run/text.h"

// The bytes after the last backslash character; empty when there is none.
Text FileNameOf(Text path);
// Directory of the running executable, without a trailing backslash ("C:" for C:\kelvane.exe).
Text ToolDirectory(HINSTANCE instance);
// Trailing blanks and then at most one trailing backslash removed.
Text StripTrailingBackslash(Text text);
// True when the path opens for reading with read sharing; directories and files held open
// for writing count as missing.
bool FileExists(Text path);
