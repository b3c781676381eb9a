// Stand-in for the common controls header on the Linux build: the list view queries only.
#pragma once

#include <windows.h>

#define LVM_FIRST 0x1000
#define LVM_GETITEMCOUNT (LVM_FIRST + 4)
#define LVM_GETITEMA (LVM_FIRST + 5)
#define LVIF_TEXT 0x0001
