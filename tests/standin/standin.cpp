// A stand-in for the authoring tool, started by the shell as "standin.exe" "<document>". The
// document's settings (fixture.h) say what it shows; what reaches it is recorded (record.h).
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/standin/fixture.h"
#include "tests/standin/panels.h"
#include "tests/standin/record.h"

namespace {

constexpr char kMainClass[] = "StandInMainWindow";
constexpr char kAboveClass[] = "StandInAboveWindow";
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kLifetimeTimer = 2;
constexpr UINT_PTR kCaptionTimer = 3;
// Time for the X events of the windows just shown to come in before the main window is named.
constexpr UINT kSettleMs = 300;

// The run's settings and windows; one stand-in process shows one document.
Fixture gFixture;
std::string gRecordPath;
std::string gMainCaption;
HWND gMain = nullptr;
HWND gAbove = nullptr;
HWND gErrorsPanel = nullptr;
HWND gOutputPanel = nullptr;
bool gPublished = false;

// The document path: the first argument after the program's own name, quotes removed.
std::string DocumentPath(const char* commandLine) {
  const char* at = commandLine;
  if (*at == '"') {
    at = std::strchr(at + 1, '"');
    at = at == nullptr ? "" : at + 1;
  } else {
    while (*at != '\0' && *at != ' ' && *at != '\t') {
      ++at;
    }
  }
  while (*at == ' ' || *at == '\t') {
    ++at;
  }
  std::string path = at;
  if (!path.empty() && path[0] == '"') {
    std::size_t close = path.find('"', 1);
    return path.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  while (!path.empty() && (path.back() == ' ' || path.back() == '\t')) {
    path.pop_back();
  }
  return path;
}

// The bytes after the last backslash that is a character of its own (not a trail byte).
std::string FileNameOf(const std::string& path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
    } else if (path[i] == '\\') {
      start = i + 1;
    }
  }
  return path.substr(start);
}

std::string ReadDocument(const std::string& path, bool* found) {
  std::string content;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  *found = file != INVALID_HANDLE_VALUE;
  if (!*found) {
    return content;
  }
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    content.append(buffer, read);
  }
  CloseHandle(file);
  return content;
}

std::string WindowName(HWND window) {
  if (window == gMain) {
    return "main";
  }
  if (window == gAbove) {
    return "above";
  }
  if (gErrorsPanel != nullptr && window == gErrorsPanel) {
    return "errors";
  }
  if (gErrorsPanel != nullptr && window == ErrorsList(gErrorsPanel)) {
    return "list";
  }
  if (gOutputPanel != nullptr && window == gOutputPanel) {
    return "output";
  }
  if (gOutputPanel != nullptr && window == OutputControl(gOutputPanel)) {
    return "control";
  }
  return window == nullptr ? "none" : "other";
}

std::string Hex(unsigned value) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

void RecordKey(const MSG& message) {
  bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  bool left = GetKeyState(VK_LSHIFT) < 0;
  bool right = GetKeyState(VK_RSHIFT) < 0;
  const char* shift = left ? (right ? "both" : "left") : (right ? "right" : "none");
  unsigned scan = static_cast<unsigned>((message.lParam >> 16) & 0xFF);
  AppendRecord(gRecordPath, std::string("key ") + (down ? "down" : "up") + " vk=" +
                                Hex(static_cast<unsigned>(message.wParam)) + " scan=" + Hex(scan) +
                                " shift=" + shift + " window=" + WindowName(message.hwnd));
}

void ShowMain() {
  ShowWindow(gMain, SW_SHOW);
  AppendRecord(gRecordPath, "show main");
}

void Publish() {
  AppendRecord(gRecordPath, "publish");
  if (gPublished || gFixture.panel == Panel::kNone) {
    return;
  }
  gPublished = true;
  if (gFixture.busyMs > 0) {
    Sleep(static_cast<DWORD>(gFixture.busyMs));
  }
  if (gFixture.panel == Panel::kErrors) {
    if (gErrorsPanel == nullptr) {
      gErrorsPanel = CreateErrorsPanel(gMain, gFixture.countDelayMs, gRecordPath);
    }
    FillErrorsList(gErrorsPanel, gFixture.rows);
    ShowWindow(gErrorsPanel, SW_SHOW);
    AppendRecord(gRecordPath, "show errors");
  } else {
    gOutputPanel = CreateOutputPanel(gFixture.output, gRecordPath);
    ShowWindow(gOutputPanel, SW_SHOWNOACTIVATE);
    AppendRecord(gRecordPath, "show output");
  }
}

// Ends the process at once: destroying a window that X11 manages first waits for a window
// manager to withdraw it, which under a bare X server takes seconds.
[[noreturn]] void End() {
  AppendRecord(gRecordPath, "exit");
  ExitProcess(0);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kShowTimer) {
    KillTimer(window, kShowTimer);
    ShowMain();
    return 0;
  }
  if (message == WM_TIMER && wParam == kCaptionTimer) {
    KillTimer(window, kCaptionTimer);
    SetWindowPos(gAbove, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowTextA(gMain, gMainCaption.c_str());
    return 0;
  }
  if (message == WM_TIMER && wParam == kLifetimeTimer) {
    AppendRecord(gRecordPath, "timeout");
    End();
  }
  if (message == WM_CLOSE) {
    AppendRecord(gRecordPath, "close main");
    End();
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK AboveProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    AppendRecord(gRecordPath, "close above");
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClasses(HINSTANCE instance) {
  WNDCLASSA mainClass = {};
  mainClass.lpfnWndProc = MainProc;
  mainClass.hInstance = instance;
  mainClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  mainClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  mainClass.lpszClassName = kMainClass;
  RegisterClassA(&mainClass);
  WNDCLASSA aboveClass = mainClass;
  aboveClass.lpfnWndProc = AboveProc;
  aboveClass.lpszClassName = kAboveClass;
  RegisterClassA(&aboveClass);
  RegisterPanelClasses(instance);
}

bool IsKeyMessage(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
         message == WM_SYSKEYUP;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*show*/) {
  std::string documentPath = DocumentPath(GetCommandLineA());
  bool found = false;
  std::string content = ReadDocument(documentPath, &found);
  gFixture = ParseFixture(content);
  gRecordPath = gFixture.recordPath.empty() ? documentPath + ".seen" : gFixture.recordPath;
  AppendRecord(gRecordPath, "open " + documentPath);
  if (!found) {
    AppendRecord(gRecordPath, "fixture error cannot read the document");
  }
  for (const std::string& line : gFixture.errors) {
    AppendRecord(gRecordPath, "fixture error " + line);
  }

  RegisterWindowClasses(instance);
  std::string fileName = FileNameOf(documentPath);
  // With a window above it, the main window gets its caption only once that window stands
  // above it: under X11 a window that is shown or activated rises to the top, perhaps only as
  // later X events come in, so the order of showing alone does not settle the z-order.
  gMainCaption = ExpandName(gFixture.caption, fileName);
  const std::string& caption = gMainCaption;
  bool withAbove = !gFixture.aboveCaption.empty();
  gMain = CreateWindowExA(0, kMainClass, withAbove ? "" : caption.c_str(), WS_OVERLAPPEDWINDOW, 20,
                          20, 640, 480, nullptr, nullptr, instance, nullptr);
  if (gFixture.panelAtStart && gFixture.panel == Panel::kErrors) {
    gErrorsPanel = CreateErrorsPanel(gMain, gFixture.countDelayMs, gRecordPath);
    ShowWindow(gErrorsPanel, SW_SHOW);
  }
  if (gFixture.showAfterMs == 0) {
    ShowMain();
  } else if (gFixture.showAfterMs != kShowNever) {
    SetTimer(gMain, kShowTimer, static_cast<UINT>(gFixture.showAfterMs), nullptr);
  }
  if (withAbove) {
    gAbove = CreateWindowExA(
        WS_EX_TOPMOST, kAboveClass, ExpandName(gFixture.aboveCaption, fileName).c_str(),
        WS_OVERLAPPEDWINDOW, 60, 60, 300, 200, nullptr, nullptr, instance, nullptr);
    ShowWindow(gAbove, SW_SHOWNOACTIVATE);
    AppendRecord(gRecordPath, "show above");
    SetTimer(gMain, kCaptionTimer, kSettleMs, nullptr);
  }
  SetTimer(gMain, kLifetimeTimer, static_cast<UINT>(gFixture.lifetimeMs), nullptr);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (IsKeyMessage(message.message)) {
      RecordKey(message);
      if (message.message == WM_KEYDOWN && message.wParam == VK_F12 && GetKeyState(VK_LSHIFT) < 0) {
        Publish();
      }
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  End();
}
