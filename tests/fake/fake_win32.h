// Control side of the fake window system: tests build windows, files, processes and a clock
// here, and read back what the program did to them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fake {

// Forgets every window, file, process, scheduled action and recorded call; the clock goes
// back to 0, the code page to 1252 (single-byte), the module path to C:\Tools\kelvane.exe.
void Reset();

// --- Clock -------------------------------------------------------------------------------
// GetTickCount answers the current tick; Sleep(ms) advances it by ms. Ticks wrap at 2^32.
void SetTick(std::uint32_t tick);
std::uint32_t Tick();
// Every GetTickCount call advances the clock by this much after answering (default 0).
void SetTickStepPerQuery(std::uint32_t milliseconds);
// Runs the action once, as soon as the clock reaches or passes now + milliseconds (measured
// with the wrapping difference). Due actions run whenever the clock moves.
void After(std::uint32_t milliseconds, std::function<void()> action);
std::vector<std::uint32_t> Sleeps();  // every Sleep argument, in order

// --- Code page ---------------------------------------------------------------------------
// 1252 (no lead bytes) and 932 (lead bytes 0x81-0x9F and 0xE0-0xFC) are known by name; for
// any other code page GetCPInfo fails.
void SetCodePage(unsigned codePage);

// --- Files -------------------------------------------------------------------------------
// GetCommandLineA answers this raw command line (default "kelvane.exe").
void SetCommandLine(const std::string& raw);
// Paths are compared byte for byte; a file's directory need not be declared to exist unless
// a test makes it read-only.
void SetModulePath(const std::string& path);
void AddFile(const std::string& path, const std::string& contents = "");
void AddDirectory(const std::string& path);
void SetReadOnlyDirectory(const std::string& directory);  // creating files below it fails
bool FileIsPresent(const std::string& path);
std::string FileContents(const std::string& path);
// Holds the file open as another process would (creating it when missing), until ReleaseFile
// or until the clock reaches releaseAfterMilliseconds from now (0: held until released).
int HoldFile(const std::string& path, DWORD access, DWORD share,
             std::uint32_t releaseAfterMilliseconds = 0);
void ReleaseFile(int hold);
int OpenFileHandles();  // handles the program opened and has not closed

// --- Windows -----------------------------------------------------------------------------
// A new window goes below its existing siblings in z-order; parent nullptr is the desktop.
HWND AddWindow(HWND parent, const std::string& className, const std::string& caption,
               bool visible = true, DWORD processId = 100);
void SetCaption(HWND window, const std::string& caption);
// What the window answers to WM_GETTEXTLENGTH, in place of its caption's length.
void SetReportedCaptionLength(HWND window, LRESULT length);
// What the window answers to WM_GETTEXT, in place of its caption (GetWindowTextA still
// reads the caption).
void SetControlText(HWND window, const std::string& text);
void SetVisible(HWND window, bool visible);
void BringToTop(HWND window);
void Destroy(HWND window);  // the window and its subtree; handles go stale
// Runs the action once, right after the program's first call about the window has been
// answered, as another program acting at that moment would.
void OnFirstQuery(HWND window, std::function<void()> action);
// Makes the window a list view whose rows hold these cells (a row may have fewer cells than
// columns asked; such cells are not written at all, as a list without that column does).
void SetListRows(HWND window, const std::vector<std::vector<std::string>>& rows);
// Delivered WM_CLOSE posts, in order.
std::vector<HWND> ClosedWindows();

// --- Processes ---------------------------------------------------------------------------
void SetOpenProcessFails(bool fails);
// When fails is set, every allocation after the first succeedingFirst ones fails.
void SetAllocationFails(bool fails, int succeedingFirst = 0);
int OpenProcessHandles();  // process handles opened and not closed
int LiveAllocations();     // remote blocks reserved and not released
// Every remote address the program passed to a list query (the record's and the text
// block's named in it), to ReadProcessMemory and to WriteProcessMemory, in order.
std::vector<std::uint32_t> RemoteAddressesUsed();
// True when each of those addresses, with the size used there, lay inside one live block of
// the list's process reached through a handle with the access the call needs.
bool EveryRemoteAddressWasValid();

// --- Shell, focus, keyboard --------------------------------------------------------------
struct KeyEvent {
  BYTE virtualKey;
  BYTE scanCode;
  DWORD flags;
  ULONG_PTR extraInfo;
};
std::vector<KeyEvent> KeyEvents();
HWND ForegroundWindow();
// Runs when ShellExecuteA is called; the tests use it to "start" an authoring tool.
void OnShellExecute(std::function<void(const std::string& verb, const std::string& file)>);

// A readable record of the program's outward actions, in order, one line each:
// "ShellExecuteA 0 open C:\\a.fla - - 5" (owner, verb, file, parameters, directory, show; a
// null pointer reads "-"), "SetForegroundWindow 7", "Sleep 1000", "keybd_event a0 2a 0 0"
// (hexadecimal), "PostMessageA 7 WM_CLOSE"; windows by their id (see Id).
std::vector<std::string> Trace();
int Id(HWND window);

// The instance handle that WinMain receives in tests.
HINSTANCE Instance();

}  // namespace fake
