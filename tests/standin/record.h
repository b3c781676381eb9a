// The stand-in's record of what reached it, one line per event, written through at once so a
// test can read it while the stand-in still runs.
//
// Each line is "<tick> <event>\n", tick being GetTickCount() when the event happened. Events,
// in the order they happen:
//   open <path>            the document path as the command line gave it (first line)
//   fixture error <line>   a document line that was not understood
//   show main|above|errors|output
//                          a window became visible (errors: the panel's rows are in place)
//   key down|up vk=XX scan=XX shift=none|left|right|both window=<name>
//                          a key message taken from the queue: virtual key and scan code in
//                          hex, the Shift keys' state as GetKeyState tells it then, and the
//                          window it was addressed to (main, above, errors, list, output, ...)
//   publish                Shift+F12 with the left Shift key down was taken as Publish
//   list count <n>         the list view answered LVM_GETITEMCOUNT
//   close <window>         WM_CLOSE arrived at main, above or output
//   timeout                the stand-in's lifetime ran out
//   exit                   the stand-in is about to end (last line)
#pragma once

#include <string>

void AppendRecord(const std::string& path, const std::string& event);
