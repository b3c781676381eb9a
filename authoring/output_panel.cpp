// Output panel harvest: the errors as the plain text of the control inside a top-level
// "Output" window, which is closed once it has been read.
#include "authoring/publish.h"
#include "windows/search.h"
#include "windows/waits.h"

namespace {

constexpr DWORD kPanelSettleMilliseconds = 2000;

}  // namespace

Text HarvestOutputPanel(int timeoutSeconds) {
  Window panel = WaitForTopLevelWindow("Output", timeoutSeconds);
  if (panel == nullptr) {
    return Text();
  }
  Sleep(kPanelSettleMilliseconds);
  Text text;
  Window control = FindWindowByClass(panel, "Afx:400000:b:10011:6:0");
  if (control != nullptr) {
    text = ControlText(control);
  }
  if (IsWindow(panel)) {
    PostMessageA(panel, WM_CLOSE, 0, 0);
  }
  return text;
}
