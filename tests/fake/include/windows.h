// Stand-in for the platform header on the Linux build: only the types, constants and calls
// that the program uses, answered by the fake window system in fake_win32.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using SIZE_T = std::size_t;
using LPVOID = void*;
using LPCVOID = const void*;
using LPSTR = char*;
using LPCSTR = const char*;
using HANDLE = void*;

struct FakeWindowTag;
struct FakeInstanceTag;
using HWND = FakeWindowTag*;
using HINSTANCE = FakeInstanceTag*;
using HMODULE = HINSTANCE;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define MAX_PATH 260
#define MAX_DEFAULTCHAR 2
#define MAX_LEADBYTES 12

struct CPINFO {
  UINT MaxCharSize;
  BYTE DefaultChar[MAX_DEFAULTCHAR];
  BYTE LeadByte[MAX_LEADBYTES];
};
using LPCPINFO = CPINFO*;

struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER (static_cast<DWORD>(-1))
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_PARTIAL_COPY 299L
#define ERROR_INVALID_WINDOW_HANDLE 1400L

#define PROCESS_VM_OPERATION 0x0008u
#define PROCESS_VM_READ 0x0010u
#define PROCESS_VM_WRITE 0x0020u
#define MEM_COMMIT 0x00001000u
#define MEM_RESERVE 0x00002000u
#define MEM_RELEASE 0x00008000u
#define PAGE_READWRITE 0x04u

#define GW_HWNDNEXT 2
#define GW_CHILD 5
#define GWL_STYLE (-16)
#define WS_VISIBLE 0x10000000L
#define WM_CLOSE 0x0010
#define WM_GETTEXT 0x000D
#define WM_GETTEXTLENGTH 0x000E
#define WM_USER 0x0400
#define SW_SHOW 5
#define SW_SHOWDEFAULT 10
#define VK_SHIFT 0x10
#define VK_F12 0x7B
#define VK_LSHIFT 0xA0
#define KEYEVENTF_KEYUP 0x0002

// Kernel services.
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, DWORD* written, LPOVERLAPPED overlapped);
BOOL CloseHandle(HANDLE object);
DWORD GetLastError();
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD capacity);
HMODULE GetModuleHandleA(LPCSTR name);
LPSTR GetCommandLineA();
DWORD GetTickCount();
void Sleep(DWORD milliseconds);
UINT GetACP();
BOOL GetCPInfo(UINT codePage, LPCPINFO info);
HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
LPVOID VirtualAllocEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type, DWORD protect);
BOOL VirtualFreeEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type);
BOOL WriteProcessMemory(HANDLE process, LPVOID address, LPCVOID buffer, SIZE_T size,
                        SIZE_T* written);
BOOL ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size, SIZE_T* read);

// Window services.
HWND GetDesktopWindow();
HWND GetWindow(HWND window, UINT relation);
LONG GetWindowLongA(HWND window, int index);
int GetWindowTextA(HWND window, LPSTR buffer, int capacity);
int GetClassNameA(HWND window, LPSTR buffer, int capacity);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);
BOOL SetForegroundWindow(HWND window);
void keybd_event(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo);
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

// The program's entry point, as the platform header declares it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
