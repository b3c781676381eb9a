// Process entry of the Windows program: the toolchain's start-up calls main, which splits the
// command line itself (its own split stops an unquoted name at bytes of 128 and above).
#include <windows.h>

#include "run/command_line.h"
#include "run/driver.h"
#include "run/text.h"

int main() {
  LoadLeadBytes();
  const char* rest = SkipProgramName(GetCommandLineA());
  return WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(rest), SW_SHOWDEFAULT);
}
