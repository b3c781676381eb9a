// The ANSI code page the fuzz targets run under. It answers GetACP and GetCPInfo in place of
// the fake window system, so a fuzz target links only the code it exercises.
#pragma once

// 1252 has no lead bytes; 932 has 0x81-0x9F and 0xE0-0xFC. LoadLeadBytes reads it afresh.
void SetFuzzCodePage(unsigned codePage);
