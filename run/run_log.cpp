// Writes the run log one piece per open, so other programs may read it between pieces.
// A piece that cannot be written is given up; only a file busy elsewhere is waited for.
#include "run/run_log.h"

#include <windows.h>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kSeparator[] =
    "--------------------------------------------------------------------------------";
// Another run may hold the log for the moment it writes its own piece.
constexpr DWORD kBusyLogRetryMilliseconds = 5000;
constexpr DWORD kBusyLogPauseMilliseconds = 15;

HANDLE OpenLogForAppend(const Text& path) {
  DWORD start = GetTickCount();
  for (;;) {
    HANDLE file = CreateFileA(path.Bytes(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION ||
        GetTickCount() - start >= kBusyLogRetryMilliseconds) {
      return file;
    }
    Sleep(kBusyLogPauseMilliseconds);
  }
}

}  // namespace

bool AppendToFile(Text path, Text text) {
  if (text.Length() == 0) {
    return true;
  }
  HANDLE file = OpenLogForAppend(path);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  SetFilePointer(file, 0, nullptr, FILE_END);
  DWORD written = 0;
  WriteFile(file, text.Bytes(), static_cast<DWORD>(text.Length()), &written, nullptr);
  CloseHandle(file);
  return written == static_cast<DWORD>(text.Length());
}

void AppendEntryHeader(Text logPath, Text flaPath) {
  AppendToFile(logPath, kLineEnd);
  AppendToFile(logPath, kSeparator);
  AppendToFile(logPath, kLineEnd);
  AppendToFile(logPath, flaPath);
  AppendToFile(logPath, kLineEnd);
  AppendToFile(logPath, kSeparator);
  AppendToFile(logPath, kLineEnd);
  AppendToFile(logPath, kLineEnd);
}

void AppendErrorLine(Text logPath, Text errorLine) {
  AppendToFile(logPath, errorLine);
  AppendToFile(logPath, kLineEnd);
}

void AppendStatus(Text logPath, Text flaPath, Text errorText, bool runFailed) {
  if (errorText.Length() == 0 && !runFailed) {
    AppendToFile(logPath, "OK: ");
    AppendToFile(logPath, flaPath);
    AppendToFile(logPath, kLineEnd);
    return;
  }
  errorText.Replace("\n", "\r\n");
  AppendToFile(logPath, "FAILED: ");
  AppendToFile(logPath, flaPath);
  AppendToFile(logPath, kLineEnd);
  if (errorText.Length() > 0) {
    AppendToFile(logPath, kLineEnd);
    AppendToFile(logPath, errorText);
  }
}
