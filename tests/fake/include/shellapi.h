// Stand-in for the shell header on the Linux build: opening a document only.
#pragma once

#include <windows.h>

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int show);
