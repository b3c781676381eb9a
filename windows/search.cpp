// Window tree searches. Nothing is cached: every step asks the window system afresh, so a
// window that goes away mid-search simply ends the walk below and beside it.
#include "windows/search.h"

namespace {

Window StartOrDesktop(Window start) {
  return start != nullptr ? start : GetDesktopWindow();
}

}  // namespace

Window FindWindowByTitle(Window start, Text titleSub) {
  Window window = StartOrDesktop(start);
  if (WindowTitle(window).Find(titleSub) != -1) {
    return window;
  }
  for (Window child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Window found = FindWindowByTitle(child, titleSub);
    if (found != nullptr) {
      return found;
    }
  }
  return nullptr;
}

Window FindWindowByClass(Window start, Text classSub) {
  Window window = StartOrDesktop(start);
  if (WindowClassName(window).Find(classSub) != -1) {
    return window;
  }
  for (Window child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Window found = FindWindowByClass(child, classSub);
    if (found != nullptr) {
      return found;
    }
  }
  return nullptr;
}

Window FindWindowByClassAndTitle(Window start, Text classSub, Text titleSub) {
  Window window = StartOrDesktop(start);
  if (WindowClassName(window).Find(classSub) != -1 &&
      FindWindowByTitle(window, titleSub) != nullptr) {
    return window;
  }
  for (Window child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    Window found = FindWindowByClassAndTitle(child, classSub, titleSub);
    if (found != nullptr) {
      return found;
    }
  }
  return nullptr;
}

Window FindTopLevelWindowByTitle(Text titleSub) {
  for (Window window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if ((GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0 &&
        WindowTitle(window).Find(titleSub) != -1) {
      return window;
    }
  }
  return nullptr;
}
