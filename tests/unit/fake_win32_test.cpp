// The fake window system answers as Windows does where the program's tests rely on it: cut
// copies, the module path, lead bytes, sharing, stale handles and the list view's own query.
#include <commctrl.h>

#include <cstring>
#include <string>

#include "authoring/compiler_errors.h"
#include "fixture.h"

namespace {

class FakeWin32Test : public FakeTest {};

TEST_F(FakeWin32Test, TextCallsCutToCapacityMinusOneAndANul) {
  HWND window = fake::AddWindow(nullptr, "Class", "Caption");
  char buffer[8];
  std::memset(buffer, 'z', sizeof buffer);
  EXPECT_EQ(GetWindowTextA(window, buffer, 4), 3);
  EXPECT_STREQ(buffer, "Cap");
  EXPECT_EQ(buffer[4], 'z');
  EXPECT_EQ(GetClassNameA(window, buffer, 0), 0);
  EXPECT_EQ(buffer[0], 'C');
  EXPECT_EQ(SendMessageA(window, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(buffer)), 2);
  EXPECT_STREQ(buffer, "Ca");
}

TEST_F(FakeWin32Test, ModuleFileNameIsCutTheVistaWay) {
  fake::SetModulePath("C:\\Tools\\kelvane.exe");
  char buffer[32];
  EXPECT_EQ(GetModuleFileNameA(fake::Instance(), buffer, sizeof buffer), 20u);
  EXPECT_STREQ(buffer, "C:\\Tools\\kelvane.exe");
  EXPECT_EQ(GetModuleFileNameA(fake::Instance(), buffer, 6), 6u);
  EXPECT_STREQ(buffer, "C:\\To");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(FakeWin32Test, CodePage932HasTwoLeadByteRanges) {
  fake::SetCodePage(932);
  CPINFO info = {};
  ASSERT_TRUE(GetCPInfo(GetACP(), &info));
  EXPECT_EQ(info.MaxCharSize, 2u);
  const BYTE expected[MAX_LEADBYTES] = {0x81, 0x9F, 0xE0, 0xFC};
  EXPECT_EQ(std::memcmp(info.LeadByte, expected, MAX_LEADBYTES), 0);
  fake::SetCodePage(1252);
  ASSERT_TRUE(GetCPInfo(GetACP(), &info));
  EXPECT_EQ(info.LeadByte[0], 0);
  EXPECT_FALSE(GetCPInfo(437, &info));
}

TEST_F(FakeWin32Test, OpeningChecksSharingBothWays) {
  fake::AddFile("C:\\f");
  HANDLE reader = CreateFileA("C:\\f", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA("C:\\f", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(CloseHandle(reader));
  EXPECT_FALSE(CloseHandle(reader));
  EXPECT_EQ(CreateFileA("C:\\g", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FakeWin32Test, AStaleWindowAnswersNothing) {
  HWND parent = fake::AddWindow(nullptr, "Class", "Caption");
  HWND child = fake::AddWindow(parent, "Class", "Caption");
  fake::AddWindow(nullptr, "Class", "Sibling");
  fake::Destroy(parent);
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_EQ(GetWindow(parent, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  EXPECT_EQ(SendMessageA(parent, WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(GetWindowLongA(parent, GWL_STYLE), 0);
  EXPECT_NE(fake::AddWindow(nullptr, "New", "New"), parent);
}

TEST_F(FakeWin32Test, ScheduledActionsRunWhenTheClockPassesThemAcrossTheWrap) {
  fake::SetTick(0xFFFFFF00u);
  int ran = 0;
  fake::After(0x200, [&ran] { ++ran; });
  Sleep(0xFF);
  EXPECT_EQ(ran, 0);
  Sleep(0x101);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(fake::Tick(), 0x100u);
}

TEST_F(FakeWin32Test, TheListViewWritesTheCellIntoItsOwnProcess) {
  HWND list = fake::AddWindow(nullptr, "SysListView32", "", true, 200);
  fake::SetListRows(list, {{"abcdef"}});
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, 200);
  ASSERT_NE(process, nullptr);
  void* record = VirtualAllocEx(process, nullptr, 40, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  void* text = VirtualAllocEx(process, nullptr, 8, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(record, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(text), std::uintptr_t{1} << 32);

  RemoteListItem item = {};
  item.mask = LVIF_TEXT;
  item.pszText = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(text));
  item.cchTextMax = 4;
  ASSERT_TRUE(WriteProcessMemory(process, record, &item, sizeof item, nullptr));
  EXPECT_TRUE(SendMessageA(list, LVM_GETITEMA, 0,
                           static_cast<LPARAM>(reinterpret_cast<std::uintptr_t>(record))));
  char cell[8] = {};
  ASSERT_TRUE(ReadProcessMemory(process, text, cell, 8, nullptr));
  EXPECT_STREQ(cell, "abc");
  EXPECT_TRUE(fake::EveryRemoteAddressWasValid());

  EXPECT_FALSE(ReadProcessMemory(process, text, cell, 9, nullptr));
  EXPECT_FALSE(fake::EveryRemoteAddressWasValid());
  EXPECT_FALSE(VirtualFreeEx(process, text, 8, MEM_RELEASE));
  EXPECT_TRUE(VirtualFreeEx(process, text, 0, MEM_RELEASE));
  EXPECT_TRUE(VirtualFreeEx(process, record, 0, MEM_RELEASE));
  EXPECT_EQ(fake::LiveAllocations(), 0);
  EXPECT_TRUE(CloseHandle(process));
  EXPECT_EQ(fake::OpenProcessHandles(), 0);
}

}  // namespace
