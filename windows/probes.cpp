// Window probes: each reads into a zeroed buffer of the size it hands over, so whatever the
// call copies is cut and terminated inside the buffer.
#include "windows/probes.h"

#include <climits>
#include <new>

namespace {

constexpr int kClassNameCapacity = 1024;
constexpr int kControlTextCapacity = 32768;

char* NewZeroedBuffer(LRESULT capacity) {
  return new (std::nothrow) char[static_cast<std::size_t>(capacity)]();
}

}  // namespace

Text WindowTitle(Window window) {
  LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  if (length < 0 || length >= INT_MAX) {
    return Text();
  }
  char* buffer = NewZeroedBuffer(length + 1);
  if (buffer == nullptr) {
    return Text();
  }
  GetWindowTextA(window, buffer, static_cast<int>(length + 1));
  Text title = buffer;
  delete[] buffer;
  return title;
}

Text WindowClassName(Window window) {
  char* buffer = NewZeroedBuffer(kClassNameCapacity);
  GetClassNameA(window, buffer, kClassNameCapacity);
  Text name = buffer;
  delete[] buffer;
  return name;
}

Text ControlText(Window window) {
  char* buffer = NewZeroedBuffer(kControlTextCapacity);
  SendMessageA(window, WM_GETTEXT, kControlTextCapacity, reinterpret_cast<LPARAM>(buffer));
  buffer[kControlTextCapacity - 1] = '\0';
  Text text = buffer;
  delete[] buffer;
  return text;
}
