// The ANSI code page the fuzz targets run under. It answers GetACP and GetCPInfo in place of
// the fake window system, so a fuzz target links only the code it exercises.
#pragma once

// 1252 has no lead bytes; 932 has 0x81-0x9F and 0xE0-0xFC. LoadLeadBytes reads it afresh.
void SetFuzzCodePage(unsigned codePage);

// Picks the code page of one fuzz input from its selector byte (odd: 932, even: 1252), loads
// its lead bytes and returns it.
unsigned UseFuzzCodePage(unsigned char selector);
