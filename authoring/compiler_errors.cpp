// Compiler Errors harvest: wait for the panel's list view anywhere on the desktop, then read
// three cells of every row from the tool's process. Every counted row yields its line.
#include "authoring/compiler_errors.h"

#include <windows.h>
#include <commctrl.h>

#include "authoring/publish.h"
#include "windows/search.h"
#include "windows/waits.h"

namespace {

constexpr DWORD kListPollMilliseconds = 100;
constexpr int kColumnsRead = 3;

std::uint32_t RemoteAddress(void* block) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(block));
}

// One cell through the blocks in the tool's process. The text block is cleared first, so a
// cell the list does not fill reads as empty rather than as the previous cell.
Text ReadCell(Window list, HANDLE process, void* record, void* text, int row, int column) {
  RemoteListItem item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = RemoteAddress(text);
  item.cchTextMax = kCellTextCapacity;
  const char noText = '\0';
  WriteProcessMemory(process, text, &noText, 1, nullptr);
  WriteProcessMemory(process, record, &item, sizeof item, nullptr);
  SendMessageA(list, LVM_GETITEMA, 0, static_cast<LPARAM>(RemoteAddress(record)));
  char cell[kCellTextCapacity + 1] = {};
  ReadProcessMemory(process, text, cell, kCellTextCapacity, nullptr);
  return Text(cell);
}

}  // namespace

Window WaitForCompilerErrorsList(int timeoutSeconds) {
  DWORD start = GetTickCount();
  while (WithinLimit(start, timeoutSeconds)) {
    Window panel = FindWindowByClassAndTitle(nullptr, "OWL.TabGroup", "Compiler Errors");
    if (panel != nullptr) {
      Window list = FindWindowByClass(panel, "SysListView32");
      if (list != nullptr) {
        return list;
      }
    }
    Sleep(kListPollMilliseconds);
  }
  return nullptr;
}

Text ReadListViewRows(Window list) {
  DWORD processId = 0;
  GetWindowThreadProcessId(list, &processId);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
  void* record = nullptr;
  void* text = nullptr;
  if (process != nullptr) {
    record = VirtualAllocEx(process, nullptr, sizeof(RemoteListItem), MEM_COMMIT | MEM_RESERVE,
                            PAGE_READWRITE);
    text = VirtualAllocEx(process, nullptr, kCellTextCapacity, MEM_COMMIT | MEM_RESERVE,
                          PAGE_READWRITE);
  }
  // Without both blocks no cell query is sent: its addresses would not exist in that process.
  bool readable = record != nullptr && text != nullptr;

  Text result;
  LRESULT rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT row = 0; row < rows; ++row) {
    for (int column = 0; column < kColumnsRead; ++column) {
      if (readable) {
        result += ReadCell(list, process, record, text, static_cast<int>(row), column);
      }
      result += "\t";
    }
    result += "\r\n";
  }

  if (record != nullptr) {
    VirtualFreeEx(process, record, 0, MEM_RELEASE);
  }
  if (text != nullptr) {
    VirtualFreeEx(process, text, 0, MEM_RELEASE);
  }
  if (process != nullptr) {
    CloseHandle(process);
  }
  return result;
}
