// Appends one event line to the record file, opening and closing it each time.
#include "tests/standin/record.h"

#include <windows.h>

void AppendRecord(const std::string& path, const std::string& event) {
  std::string line = std::to_string(GetTickCount()) + " " + event + "\n";
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}
