// GetACP and GetCPInfo for the fuzz targets: the two code pages they run under, with the
// lead-byte ranges reported the way the platform reports them (pairs, closed by two zeros).
#include "tests/fuzz/code_page_stub.h"

#include <windows.h>

#include "run/text.h"

namespace {

unsigned gCodePage = 1252;

}  // namespace

void SetFuzzCodePage(unsigned codePage) {
  gCodePage = codePage;
}

unsigned UseFuzzCodePage(unsigned char selector) {
  SetFuzzCodePage((selector & 1) != 0 ? 932 : 1252);
  LoadLeadBytes();
  return gCodePage;
}

UINT GetACP() {
  return gCodePage;
}

BOOL GetCPInfo(UINT codePage, LPCPINFO info) {
  *info = CPINFO{};
  info->DefaultChar[0] = '?';
  if (codePage == 932) {
    info->MaxCharSize = 2;
    const BYTE ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
    for (int i = 0; i < 4; ++i) {
      info->LeadByte[i] = ranges[i];
    }
    return TRUE;
  }
  info->MaxCharSize = 1;
  return codePage == 1252 ? TRUE : FALSE;
}
