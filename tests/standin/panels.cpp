// The stand-in's panels. The list view is a real common-controls list view; only its text and
// row-count answers are taken over, to behave as on Windows and to be slow on demand.
#include "tests/standin/panels.h"

#include <commctrl.h>

#include <cstring>

#include "tests/standin/record.h"

namespace {

constexpr char kErrorsPanelClass[] = "StandIn.OWL.TabGroup.Errors";
constexpr char kOutputPanelClass[] = "StandInOutputPanel";
constexpr char kOutputControlClass[] = "Afx:400000:b:10011:6:0";
constexpr int kListId = 100;
constexpr int kColumns = 3;
// Large enough for any cell a fixture holds; the caller's own block is usually much smaller.
constexpr int kFullCellCapacity = 65536;

WNDPROC gListProc = nullptr;
int gCountDelayMs = 0;
std::string gRecordPath;

// Wine's list view fills a too-small ANSI block to the brim without a NUL; Windows writes
// cchTextMax - 1 bytes and a NUL. Answer text queries the Windows way from the full text.
LRESULT AnswerTextQuery(HWND list, LVITEMA* request) {
  static char full[kFullCellCapacity];
  LVITEMA local = {};
  local.mask = LVIF_TEXT;
  local.iItem = request->iItem;
  local.iSubItem = request->iSubItem;
  local.pszText = full;
  local.cchTextMax = kFullCellCapacity;
  full[0] = '\0';
  LRESULT found =
      CallWindowProcA(gListProc, list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&local));
  if (request->cchTextMax > 0 && request->pszText != nullptr) {
    std::size_t length = std::strlen(full);
    std::size_t room = static_cast<std::size_t>(request->cchTextMax) - 1;
    std::size_t copied = length < room ? length : room;
    std::memcpy(request->pszText, full, copied);
    request->pszText[copied] = '\0';
  }
  return found;
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == LVM_GETITEMA && lParam != 0 &&
      (reinterpret_cast<LVITEMA*>(lParam)->mask & LVIF_TEXT) != 0) {
    return AnswerTextQuery(list, reinterpret_cast<LVITEMA*>(lParam));
  }
  if (message == LVM_GETITEMCOUNT) {
    if (gCountDelayMs > 0) {
      Sleep(static_cast<DWORD>(gCountDelayMs));
    }
    LRESULT count = CallWindowProcA(gListProc, list, message, wParam, lParam);
    AppendRecord(gRecordPath, "list count " + std::to_string(count));
    return count;
  }
  return CallWindowProcA(gListProc, list, message, wParam, lParam);
}

LRESULT CALLBACK OutputPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    AppendRecord(gRecordPath, "close output");
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void InsertColumn(HWND list, int index, const char* title) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.cx = 200;
  column.pszText = const_cast<char*>(title);
  column.iSubItem = index;
  SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  if (column == 0) {
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  } else {
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  }
}

}  // namespace

void RegisterPanelClasses(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSA panelClass = {};
  panelClass.lpfnWndProc = DefWindowProcA;
  panelClass.hInstance = instance;
  panelClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panelClass.lpszClassName = kErrorsPanelClass;
  RegisterClassA(&panelClass);

  WNDCLASSA outputClass = panelClass;
  outputClass.lpfnWndProc = OutputPanelProc;
  outputClass.lpszClassName = kOutputPanelClass;
  RegisterClassA(&outputClass);

  WNDCLASSA controlClass = panelClass;
  controlClass.lpfnWndProc = DefWindowProcA;
  controlClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  controlClass.lpszClassName = kOutputControlClass;
  RegisterClassA(&controlClass);
}

HWND CreateErrorsPanel(HWND parent, int countDelayMs, const std::string& recordPath) {
  gCountDelayMs = countDelayMs;
  gRecordPath = recordPath;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HWND panel = CreateWindowExA(0, kErrorsPanelClass, "", WS_CHILD | WS_CLIPCHILDREN, 0, 200, 620,
                               240, parent, nullptr, instance, nullptr);
  CreateWindowExA(0, "Static", "Compiler Errors", WS_CHILD | WS_VISIBLE, 4, 2, 300, 18, panel,
                  nullptr, instance, nullptr);
  HWND list = CreateWindowExA(
      0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 0, 22, 620, 218, panel,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), instance, nullptr);
  InsertColumn(list, 0, "Location");
  InsertColumn(list, 1, "Description");
  InsertColumn(list, 2, "Source");
  gListProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  return panel;
}

HWND ErrorsList(HWND panel) {
  return GetDlgItem(panel, kListId);
}

void FillErrorsList(HWND panel, const std::vector<std::vector<std::string>>& rows) {
  HWND list = ErrorsList(panel);
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows.size()), 0);
  int index = 0;
  for (const std::vector<std::string>& cells : rows) {
    for (int column = 0; column < kColumns; ++column) {
      std::size_t at = static_cast<std::size_t>(column);
      SetCell(list, index, column, at < cells.size() ? cells[at] : std::string());
    }
    ++index;
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

HWND CreateOutputPanel(const std::string& text, const std::string& recordPath) {
  gRecordPath = recordPath;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // A bordered pop-up shown without activation stays unmanaged under X11, so closing it does
  // not stall the thread waiting for a window manager that is not there.
  HWND panel = CreateWindowExA(0, kOutputPanelClass, "Output", WS_POPUP | WS_BORDER, 660, 40, 400,
                               300, nullptr, nullptr, instance, nullptr);
  // Wine refuses to create a window whose initial caption is 32,767 bytes or more; WM_SETTEXT
  // afterwards takes any length.
  HWND control = CreateWindowExA(0, kOutputControlClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 380, 260,
                                 panel, nullptr, instance, nullptr);
  SetWindowTextA(control, text.c_str());
  return panel;
}

HWND OutputControl(HWND panel) {
  return GetWindow(panel, GW_CHILD);
}
