// The publish attempt: open, find the main window, press Shift+F12, collect, close.
// Messages to the tool's windows wait for as long as the tool is busy publishing.
#include "authoring/publish.h"

#include <shellapi.h>

#include "windows/waits.h"

namespace {

constexpr DWORD kForegroundPauseMilliseconds = 1000;
constexpr DWORD kPublishPauseMilliseconds = 1000;
constexpr BYTE kLeftShiftScanCode = 0x2A;
constexpr BYTE kF12ScanCode = 0x58;

// Shift+F12 with the left Shift key's own code, as the tool's shortcut expects.
void PressPublishChord() {
  keybd_event(VK_LSHIFT, kLeftShiftScanCode, 0, 0);
  keybd_event(VK_F12, kF12ScanCode, 0, 0);
  keybd_event(VK_F12, kF12ScanCode, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_LSHIFT, kLeftShiftScanCode, KEYEVENTF_KEYUP, 0);
}

}  // namespace

VersionMarks ReadVersionMarks(Text caption) {
  return VersionMarks{caption.Find("CS3") > 0, caption.Find("CS4") > 0};
}

PublishOutcome PublishDocument(Text flaPath, Text flaName) {
  ShellExecuteA(nullptr, "open", flaPath.Bytes(), nullptr, nullptr, SW_SHOW);
  Window main = WaitForTopLevelWindow(flaName, kMainWindowTimeoutSeconds);
  if (main == nullptr) {
    return PublishOutcome{false, Text()};
  }
  VersionMarks marks = ReadVersionMarks(WindowTitle(main));

  SetForegroundWindow(main);
  Sleep(kForegroundPauseMilliseconds);
  PressPublishChord();
  Sleep(kPublishPauseMilliseconds);

  Text errorText;
  if (marks.cs3 || marks.cs4) {
    Window list = nullptr;
    if (marks.cs3) {
      list = WaitForCompilerErrorsList(kPanelTimeoutSeconds);
    }
    if (marks.cs4) {
      list = WaitForCompilerErrorsList(kPanelTimeoutSeconds);
    }
    if (list != nullptr) {
      errorText = ReadListViewRows(list);
    }
  } else {
    errorText = HarvestOutputPanel(kPanelTimeoutSeconds);
  }
  PostMessageA(main, WM_CLOSE, 0, 0);
  return PublishOutcome{true, errorText};
}
