// The fake window system: a deterministic in-memory model of the Win32 calls the program
// makes, answered the way Windows answers them, with every outward action recorded.
#include "fake_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <set>
#include <utility>

namespace {

constexpr int kDesktopId = 1;
constexpr std::uintptr_t kFirstHandle = 0x1000;
constexpr std::uintptr_t kInstance = 0x400000;
constexpr std::uint32_t kFirstBlock = 0x00A10000;
constexpr std::uint32_t kBlockAlignment = 0x10000;
constexpr std::size_t kItemRecordSize = 40;
constexpr char kDefaultModulePath[] = "C:\\Tools\\kelvane.exe";

struct FakeWindow {
  int parent = 0;
  std::vector<int> children;  // topmost first
  std::string className;
  std::string caption;
  bool visible = true;
  DWORD processId = 0;
  bool reportsLength = false;
  LRESULT reportedLength = 0;
  bool hasControlText = false;
  std::string controlText;
  bool isList = false;
  std::vector<std::vector<std::string>> rows;
  std::function<void()> onFirstQuery;
};

struct OpenFile {
  std::string path;
  DWORD access;
  DWORD share;
  DWORD position;
};

struct ProcessHandle {
  DWORD processId;
  DWORD access;
};

struct Block {
  DWORD processId;
  std::vector<unsigned char> bytes;
};

struct Scheduled {
  std::uint32_t due;
  std::function<void()> action;
};

struct AddressUse {
  std::uint32_t address;
  bool valid;
};

struct World {
  std::uint32_t tick = 0;
  std::uint32_t tickStep = 0;
  std::vector<Scheduled> scheduled;
  std::vector<std::uint32_t> sleeps;
  unsigned codePage = 1252;
  DWORD lastError = 0;

  std::string modulePath = kDefaultModulePath;
  std::string commandLine = "kelvane.exe";
  std::map<std::string, std::string> files;
  std::set<std::string> directories;
  std::vector<std::string> readOnlyDirectories;
  std::map<std::uintptr_t, OpenFile> fileHandles;  // the program's own
  std::map<int, OpenFile> holds;                   // other processes'
  int nextHold = 1;
  std::uintptr_t nextHandle = kFirstHandle;

  std::map<int, FakeWindow> windows;  // live windows only
  int nextWindow = kDesktopId + 1;

  std::map<std::uintptr_t, ProcessHandle> processHandles;
  std::map<std::uint32_t, Block> blocks;  // by base address
  std::uint32_t nextBlock = kFirstBlock;
  bool openProcessFails = false;
  bool allocationFails = false;
  int allocationsBeforeFailing = 0;
  int allocations = 0;
  std::vector<AddressUse> addressUses;

  std::vector<fake::KeyEvent> keys;
  int foreground = 0;
  std::vector<int> closed;
  std::function<void(const std::string&, const std::string&)> onShellExecute;
  std::vector<std::string> trace;
};

World& TheWorld() {
  static World world;
  return world;
}

int IdOf(HWND window) {
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(window));
}

HWND WindowOf(int id) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(id));
}

FakeWindow* Live(HWND window) {
  auto found = TheWorld().windows.find(IdOf(window));
  return found == TheWorld().windows.end() ? nullptr : &found->second;
}

FakeWindow& Existing(HWND window) {
  FakeWindow* live = Live(window);
  if (live == nullptr) {
    std::fprintf(stderr, "fake: window %d does not exist\n", IdOf(window));
    std::abort();
  }
  return *live;
}

// Another program acts once the program's first call about the window has been answered.
void AfterQuery(HWND window) {
  FakeWindow* live = Live(window);
  if (live == nullptr || !live->onFirstQuery) {
    return;
  }
  std::function<void()> action = std::move(live->onFirstQuery);
  live->onFirstQuery = nullptr;
  action();
}

void RunDueActions() {
  World& world = TheWorld();
  for (;;) {
    auto earliest = world.scheduled.end();
    for (auto it = world.scheduled.begin(); it != world.scheduled.end(); ++it) {
      auto late = static_cast<std::int32_t>(world.tick - it->due);
      if (late >= 0 && (earliest == world.scheduled.end() ||
                        late > static_cast<std::int32_t>(world.tick - earliest->due))) {
        earliest = it;
      }
    }
    if (earliest == world.scheduled.end()) {
      return;
    }
    std::function<void()> action = std::move(earliest->action);
    world.scheduled.erase(earliest);
    action();
  }
}

void Advance(std::uint32_t milliseconds) {
  TheWorld().tick += milliseconds;
  RunDueActions();
}

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "%lx", value);
  return text;
}

std::string OrDash(const char* text) {
  return text == nullptr ? "-" : text;
}

void Record(const std::string& line) {
  TheWorld().trace.push_back(line);
}

// Copies text the Windows way: at most capacity - 1 bytes, then a NUL. Returns the bytes copied.
int CopyCut(const std::string& text, char* buffer, std::size_t capacity) {
  if (capacity == 0) {
    return 0;
  }
  std::size_t count = std::min(text.size(), capacity - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<int>(count);
}

// --- Files ---

bool ShareAllows(DWORD share, DWORD access) {
  return ((access & GENERIC_READ) == 0 || (share & FILE_SHARE_READ) != 0) &&
         ((access & GENERIC_WRITE) == 0 || (share & FILE_SHARE_WRITE) != 0);
}

bool OpenCompatibly(const std::string& path, DWORD access, DWORD share) {
  World& world = TheWorld();
  auto compatible = [&](const OpenFile& other) {
    return other.path != path ||
           (ShareAllows(other.share, access) && ShareAllows(share, other.access));
  };
  return std::all_of(world.fileHandles.begin(), world.fileHandles.end(),
                     [&](const auto& entry) { return compatible(entry.second); }) &&
         std::all_of(world.holds.begin(), world.holds.end(),
                     [&](const auto& entry) { return compatible(entry.second); });
}

bool BelowReadOnlyDirectory(const std::string& path) {
  for (const std::string& directory : TheWorld().readOnlyDirectories) {
    if (path.size() > directory.size() + 1 && path.compare(0, directory.size(), directory) == 0 &&
        path[directory.size()] == '\\') {
      return true;
    }
  }
  return false;
}

OpenFile* ProgramFile(HANDLE file) {
  auto found = TheWorld().fileHandles.find(reinterpret_cast<std::uintptr_t>(file));
  return found == TheWorld().fileHandles.end() ? nullptr : &found->second;
}

// --- Process memory ---

ProcessHandle* ProgramProcess(HANDLE process) {
  auto found = TheWorld().processHandles.find(reinterpret_cast<std::uintptr_t>(process));
  return found == TheWorld().processHandles.end() ? nullptr : &found->second;
}

// The bytes [address, address + size) of one live block of the process, or null.
unsigned char* BlockBytes(DWORD processId, std::uintptr_t address, std::size_t size) {
  World& world = TheWorld();
  if (address > std::numeric_limits<std::uint32_t>::max() || size == 0) {
    return nullptr;
  }
  auto after = world.blocks.upper_bound(static_cast<std::uint32_t>(address));
  if (after == world.blocks.begin()) {
    return nullptr;
  }
  auto& [base, block] = *std::prev(after);
  std::size_t offset = address - base;
  if (block.processId != processId || offset + size > block.bytes.size()) {
    return nullptr;
  }
  return block.bytes.data() + offset;
}

unsigned char* UseRemote(HANDLE process, DWORD neededAccess, LPCVOID address, std::size_t size) {
  ProcessHandle* handle = ProgramProcess(process);
  auto at = reinterpret_cast<std::uintptr_t>(address);
  unsigned char* bytes = nullptr;
  if (handle != nullptr && (handle->access & neededAccess) == neededAccess) {
    bytes = BlockBytes(handle->processId, at, size);
  }
  TheWorld().addressUses.push_back(AddressUse{static_cast<std::uint32_t>(at), bytes != nullptr});
  return bytes;
}

std::uint32_t Field(const unsigned char* record, std::size_t index) {
  std::uint32_t value = 0;
  std::memcpy(&value, record + sizeof value * index, sizeof value);
  return value;
}

// LVM_GETITEMA as a list view in the tool's process answers it: the record and the text
// block are addresses in that process; the cell is cut to cchTextMax - 1 bytes and a NUL.
LRESULT AnswerItemQuery(const FakeWindow& list, LPARAM recordAddress) {
  World& world = TheWorld();
  auto recordAt = static_cast<std::uintptr_t>(recordAddress);
  const unsigned char* record = BlockBytes(list.processId, recordAt, kItemRecordSize);
  world.addressUses.push_back(AddressUse{static_cast<std::uint32_t>(recordAt), record != nullptr});
  if (record == nullptr) {
    return FALSE;
  }
  std::uint32_t mask = Field(record, 0);
  auto row = static_cast<std::int32_t>(Field(record, 1));
  auto column = static_cast<std::int32_t>(Field(record, 2));
  std::uint32_t textAt = Field(record, 5);
  auto capacity = static_cast<std::int32_t>(Field(record, 6));
  if ((mask & LVIF_TEXT) == 0) {
    return TRUE;
  }
  unsigned char* text = capacity > 0
                            ? BlockBytes(list.processId, textAt, static_cast<std::size_t>(capacity))
                            : nullptr;
  world.addressUses.push_back(AddressUse{textAt, text != nullptr});
  if (row < 0 || static_cast<std::size_t>(row) >= list.rows.size() || column < 0 ||
      text == nullptr) {
    return FALSE;
  }
  const std::vector<std::string>& cells = list.rows[static_cast<std::size_t>(row)];
  if (static_cast<std::size_t>(column) < cells.size()) {
    CopyCut(cells[static_cast<std::size_t>(column)], reinterpret_cast<char*>(text),
            static_cast<std::size_t>(capacity));
  }
  return TRUE;
}

void DestroyTree(int id) {
  World& world = TheWorld();
  std::vector<int> children = world.windows[id].children;
  for (int child : children) {
    DestroyTree(child);
  }
  world.windows.erase(id);
  if (world.foreground == id) {
    world.foreground = 0;
  }
}

}  // namespace

namespace fake {

void Reset() {
  World& world = TheWorld();
  world = World();
  FakeWindow desktop;
  desktop.className = "#32769";
  world.windows[kDesktopId] = desktop;
}

void SetTick(std::uint32_t tick) {
  TheWorld().tick = tick;
  RunDueActions();
}

std::uint32_t Tick() {
  return TheWorld().tick;
}

void SetTickStepPerQuery(std::uint32_t milliseconds) {
  TheWorld().tickStep = milliseconds;
}

void After(std::uint32_t milliseconds, std::function<void()> action) {
  TheWorld().scheduled.push_back(Scheduled{TheWorld().tick + milliseconds, std::move(action)});
}

std::vector<std::uint32_t> Sleeps() {
  return TheWorld().sleeps;
}

void SetCodePage(unsigned codePage) {
  TheWorld().codePage = codePage;
}

void SetCommandLine(const std::string& raw) {
  TheWorld().commandLine = raw;
}

void SetModulePath(const std::string& path) {
  TheWorld().modulePath = path;
}

void AddFile(const std::string& path, const std::string& contents) {
  TheWorld().files[path] = contents;
}

void AddDirectory(const std::string& path) {
  TheWorld().directories.insert(path);
}

void SetReadOnlyDirectory(const std::string& directory) {
  AddDirectory(directory);
  TheWorld().readOnlyDirectories.push_back(directory);
}

bool FileIsPresent(const std::string& path) {
  return TheWorld().files.count(path) != 0;
}

std::string FileContents(const std::string& path) {
  auto found = TheWorld().files.find(path);
  return found == TheWorld().files.end() ? std::string() : found->second;
}

int HoldFile(const std::string& path, DWORD access, DWORD share,
             std::uint32_t releaseAfterMilliseconds) {
  World& world = TheWorld();
  world.files.emplace(path, std::string());
  int hold = world.nextHold++;
  world.holds[hold] = OpenFile{path, access, share, 0};
  if (releaseAfterMilliseconds > 0) {
    After(releaseAfterMilliseconds, [hold] { ReleaseFile(hold); });
  }
  return hold;
}

void ReleaseFile(int hold) {
  TheWorld().holds.erase(hold);
}

int OpenFileHandles() {
  return static_cast<int>(TheWorld().fileHandles.size());
}

HWND AddWindow(HWND parent, const std::string& className, const std::string& caption, bool visible,
               DWORD processId) {
  World& world = TheWorld();
  HWND parentWindow = parent != nullptr ? parent : WindowOf(kDesktopId);
  Existing(parentWindow);
  int id = world.nextWindow++;
  FakeWindow window;
  window.parent = IdOf(parentWindow);
  window.className = className;
  window.caption = caption;
  window.visible = visible;
  window.processId = processId;
  world.windows[id] = window;
  world.windows[window.parent].children.push_back(id);
  return WindowOf(id);
}

void SetCaption(HWND window, const std::string& caption) {
  Existing(window).caption = caption;
}

void SetReportedCaptionLength(HWND window, LRESULT length) {
  FakeWindow& live = Existing(window);
  live.reportsLength = true;
  live.reportedLength = length;
}

void SetControlText(HWND window, const std::string& text) {
  FakeWindow& live = Existing(window);
  live.hasControlText = true;
  live.controlText = text;
}

void SetVisible(HWND window, bool visible) {
  Existing(window).visible = visible;
}

void BringToTop(HWND window) {
  int id = IdOf(window);
  std::vector<int>& siblings = TheWorld().windows[Existing(window).parent].children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), id));
  siblings.insert(siblings.begin(), id);
}

void Destroy(HWND window) {
  int id = IdOf(window);
  int parent = Existing(window).parent;
  std::vector<int>& siblings = TheWorld().windows[parent].children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), id));
  DestroyTree(id);
}

void OnFirstQuery(HWND window, std::function<void()> action) {
  Existing(window).onFirstQuery = std::move(action);
}

void SetListRows(HWND window, const std::vector<std::vector<std::string>>& rows) {
  FakeWindow& live = Existing(window);
  live.isList = true;
  live.rows = rows;
}

std::vector<HWND> ClosedWindows() {
  std::vector<HWND> closed;
  for (int id : TheWorld().closed) {
    closed.push_back(WindowOf(id));
  }
  return closed;
}

void SetOpenProcessFails(bool fails) {
  TheWorld().openProcessFails = fails;
}

void SetAllocationFails(bool fails, int succeedingFirst) {
  TheWorld().allocationFails = fails;
  TheWorld().allocationsBeforeFailing = TheWorld().allocations + succeedingFirst;
}

int OpenProcessHandles() {
  return static_cast<int>(TheWorld().processHandles.size());
}

int LiveAllocations() {
  return static_cast<int>(TheWorld().blocks.size());
}

std::vector<std::uint32_t> RemoteAddressesUsed() {
  std::vector<std::uint32_t> addresses;
  for (const AddressUse& use : TheWorld().addressUses) {
    addresses.push_back(use.address);
  }
  return addresses;
}

bool EveryRemoteAddressWasValid() {
  const std::vector<AddressUse>& uses = TheWorld().addressUses;
  return std::all_of(uses.begin(), uses.end(), [](const AddressUse& use) { return use.valid; });
}

std::vector<KeyEvent> KeyEvents() {
  return TheWorld().keys;
}

HWND ForegroundWindow() {
  return WindowOf(TheWorld().foreground);
}

void OnShellExecute(std::function<void(const std::string& verb, const std::string& file)> action) {
  TheWorld().onShellExecute = std::move(action);
}

std::vector<std::string> Trace() {
  return TheWorld().trace;
}

int Id(HWND window) {
  return IdOf(window);
}

HINSTANCE Instance() {
  return reinterpret_cast<HINSTANCE>(kInstance);
}

}  // namespace fake

// --- Kernel services ---

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
  World& world = TheWorld();
  std::string path = name;
  auto fail = [&world](DWORD error) {
    world.lastError = error;
    return INVALID_HANDLE_VALUE;
  };
  if (disposition != OPEN_EXISTING && disposition != OPEN_ALWAYS && disposition != CREATE_ALWAYS) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  if (path.empty()) {
    return fail(ERROR_PATH_NOT_FOUND);
  }
  if (world.directories.count(path) != 0) {
    return fail(ERROR_ACCESS_DENIED);
  }
  bool exists = world.files.count(path) != 0;
  if (!exists && disposition == OPEN_EXISTING) {
    return fail(ERROR_FILE_NOT_FOUND);
  }
  if (!exists && BelowReadOnlyDirectory(path)) {
    return fail(ERROR_ACCESS_DENIED);
  }
  if (!OpenCompatibly(path, access, share)) {
    return fail(ERROR_SHARING_VIOLATION);
  }
  if (!exists || disposition == CREATE_ALWAYS) {
    world.files[path].clear();
  }
  std::uintptr_t handle = world.nextHandle++;
  world.fileHandles[handle] = OpenFile{path, access, share, 0};
  world.lastError = exists && disposition != OPEN_EXISTING ? ERROR_ALREADY_EXISTS : 0;
  return reinterpret_cast<HANDLE>(handle);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method) {
  OpenFile* open = ProgramFile(file);
  if (open == nullptr || (distanceHigh != nullptr && *distanceHigh != 0)) {
    TheWorld().lastError = open == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER;
    return INVALID_SET_FILE_POINTER;
  }
  auto size = static_cast<LONG>(TheWorld().files[open->path].size());
  LONG origin = method == FILE_END ? size : (method == FILE_CURRENT ? open->position : 0);
  if (origin + distance < 0) {
    TheWorld().lastError = ERROR_INVALID_PARAMETER;
    return INVALID_SET_FILE_POINTER;
  }
  open->position = static_cast<DWORD>(origin + distance);
  return open->position;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD count, DWORD* written,
               LPOVERLAPPED /*overlapped*/) {
  OpenFile* open = ProgramFile(file);
  if (written != nullptr) {
    *written = 0;
  }
  if (open == nullptr || (open->access & GENERIC_WRITE) == 0) {
    TheWorld().lastError = open == nullptr ? ERROR_INVALID_HANDLE : ERROR_ACCESS_DENIED;
    return FALSE;
  }
  std::string& contents = TheWorld().files[open->path];
  if (contents.size() < open->position + count) {
    contents.resize(open->position + count);
  }
  contents.replace(open->position, count, static_cast<const char*>(buffer), count);
  open->position += count;
  if (written != nullptr) {
    *written = count;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE object) {
  World& world = TheWorld();
  auto key = reinterpret_cast<std::uintptr_t>(object);
  if (world.fileHandles.erase(key) + world.processHandles.erase(key) == 0) {
    world.lastError = ERROR_INVALID_HANDLE;
    return FALSE;
  }
  return TRUE;
}

DWORD GetLastError() {
  return TheWorld().lastError;
}

// Vista and later: a path that does not fit is cut to capacity - 1 bytes and a NUL.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD capacity) {
  World& world = TheWorld();
  if (module != nullptr && module != fake::Instance()) {
    world.lastError = ERROR_MOD_NOT_FOUND;
    return 0;
  }
  auto copied = static_cast<DWORD>(CopyCut(world.modulePath, buffer, capacity));
  if (copied < world.modulePath.size()) {
    world.lastError = ERROR_INSUFFICIENT_BUFFER;
    return capacity;
  }
  return copied;
}

HMODULE GetModuleHandleA(LPCSTR name) {
  if (name != nullptr) {
    TheWorld().lastError = ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  return fake::Instance();
}

LPSTR GetCommandLineA() {
  return TheWorld().commandLine.data();
}

DWORD GetTickCount() {
  DWORD now = TheWorld().tick;
  if (TheWorld().tickStep != 0) {
    Advance(TheWorld().tickStep);
  }
  return now;
}

void Sleep(DWORD milliseconds) {
  TheWorld().sleeps.push_back(milliseconds);
  Record("Sleep " + std::to_string(milliseconds));
  Advance(milliseconds);
}

UINT GetACP() {
  return TheWorld().codePage;
}

BOOL GetCPInfo(UINT codePage, LPCPINFO info) {
  unsigned asked = codePage == 0 ? TheWorld().codePage : codePage;
  CPINFO answer = {};
  answer.DefaultChar[0] = '?';
  if (asked == 1252) {
    answer.MaxCharSize = 1;
  } else if (asked == 932) {
    answer.MaxCharSize = 2;
    const BYTE ranges[] = {0x81, 0x9F, 0xE0, 0xFC};
    std::memcpy(answer.LeadByte, ranges, sizeof ranges);
  } else {
    TheWorld().lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  *info = answer;
  return TRUE;
}

HANDLE OpenProcess(DWORD access, BOOL /*inherit*/, DWORD processId) {
  World& world = TheWorld();
  bool exists = std::any_of(world.windows.begin(), world.windows.end(), [&](const auto& entry) {
    return entry.first != kDesktopId && entry.second.processId == processId;
  });
  if (world.openProcessFails || processId == 0 || !exists) {
    world.lastError = world.openProcessFails ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  std::uintptr_t handle = world.nextHandle++;
  world.processHandles[handle] = ProcessHandle{processId, access};
  return reinterpret_cast<HANDLE>(handle);
}

LPVOID VirtualAllocEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
  World& world = TheWorld();
  ProcessHandle* handle = ProgramProcess(process);
  ++world.allocations;
  if (handle == nullptr || (handle->access & PROCESS_VM_OPERATION) == 0 || address != nullptr ||
      size == 0 || (type & MEM_COMMIT) == 0 || protect != PAGE_READWRITE ||
      (world.allocationFails && world.allocations > world.allocationsBeforeFailing)) {
    world.lastError = handle == nullptr ? ERROR_INVALID_HANDLE : ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  std::uint32_t base = world.nextBlock;
  world.nextBlock += static_cast<std::uint32_t>((size / kBlockAlignment + 1) * kBlockAlignment);
  world.blocks[base] = Block{handle->processId, std::vector<unsigned char>(size, 0xCD)};
  return reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(base));
}

BOOL VirtualFreeEx(HANDLE process, LPVOID address, SIZE_T size, DWORD type) {
  World& world = TheWorld();
  ProcessHandle* handle = ProgramProcess(process);
  auto base = reinterpret_cast<std::uintptr_t>(address);
  auto block = base > std::numeric_limits<std::uint32_t>::max()
                   ? world.blocks.end()
                   : world.blocks.find(static_cast<std::uint32_t>(base));
  if (handle == nullptr || (handle->access & PROCESS_VM_OPERATION) == 0 || type != MEM_RELEASE ||
      size != 0 || block == world.blocks.end() || block->second.processId != handle->processId) {
    world.lastError = ERROR_INVALID_PARAMETER;
    return FALSE;
  }
  world.blocks.erase(block);
  return TRUE;
}

BOOL WriteProcessMemory(HANDLE process, LPVOID address, LPCVOID buffer, SIZE_T size,
                        SIZE_T* written) {
  unsigned char* bytes = UseRemote(process, PROCESS_VM_WRITE | PROCESS_VM_OPERATION, address, size);
  if (written != nullptr) {
    *written = bytes != nullptr ? size : 0;
  }
  if (bytes == nullptr) {
    TheWorld().lastError = ERROR_PARTIAL_COPY;
    return FALSE;
  }
  std::memcpy(bytes, buffer, size);
  return TRUE;
}

BOOL ReadProcessMemory(HANDLE process, LPCVOID address, LPVOID buffer, SIZE_T size, SIZE_T* read) {
  unsigned char* bytes = UseRemote(process, PROCESS_VM_READ, address, size);
  if (read != nullptr) {
    *read = bytes != nullptr ? size : 0;
  }
  if (bytes == nullptr) {
    TheWorld().lastError = ERROR_PARTIAL_COPY;
    return FALSE;
  }
  std::memcpy(buffer, bytes, size);
  return TRUE;
}

// --- Window services ---

HWND GetDesktopWindow() {
  return WindowOf(kDesktopId);
}

HWND GetWindow(HWND window, UINT relation) {
  World& world = TheWorld();
  FakeWindow* live = Live(window);
  HWND answer = nullptr;
  if (live != nullptr && relation == GW_CHILD && !live->children.empty()) {
    answer = WindowOf(live->children.front());
  } else if (live != nullptr && relation == GW_HWNDNEXT && live->parent != 0) {
    const std::vector<int>& siblings = world.windows[live->parent].children;
    auto at = std::find(siblings.begin(), siblings.end(), IdOf(window));
    if (at != siblings.end() && std::next(at) != siblings.end()) {
      answer = WindowOf(*std::next(at));
    }
  }
  if (live == nullptr) {
    world.lastError = ERROR_INVALID_WINDOW_HANDLE;
  }
  AfterQuery(window);
  return answer;
}

LONG GetWindowLongA(HWND window, int index) {
  FakeWindow* live = Live(window);
  LONG answer = live != nullptr && index == GWL_STYLE && live->visible ? WS_VISIBLE : 0;
  AfterQuery(window);
  return answer;
}

namespace {

// Caption or class name, cut to the capacity as the window system cuts it; a stale window
// copies nothing.
int CopyWindowString(HWND window, std::string FakeWindow::*field, LPSTR buffer, int capacity) {
  FakeWindow* live = Live(window);
  int copied = 0;
  if (capacity > 0) {
    copied = CopyCut(live != nullptr ? live->*field : std::string(), buffer,
                     static_cast<std::size_t>(capacity));
  }
  AfterQuery(window);
  return copied;
}

}  // namespace

int GetWindowTextA(HWND window, LPSTR buffer, int capacity) {
  return CopyWindowString(window, &FakeWindow::caption, buffer, capacity);
}

int GetClassNameA(HWND window, LPSTR buffer, int capacity) {
  return CopyWindowString(window, &FakeWindow::className, buffer, capacity);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FakeWindow* live = Live(window);
  LRESULT answer = 0;
  if (live == nullptr) {
    answer = 0;
  } else if (message == WM_GETTEXTLENGTH) {
    answer =
        live->reportsLength ? live->reportedLength : static_cast<LRESULT>(live->caption.size());
  } else if (message == WM_GETTEXT) {
    answer = CopyCut(live->hasControlText ? live->controlText : live->caption,
                     reinterpret_cast<char*>(lParam), wParam);
  } else if (message == LVM_GETITEMCOUNT && live->isList) {
    answer = static_cast<LRESULT>(live->rows.size());
  } else if (message == LVM_GETITEMA && live->isList) {
    answer = AnswerItemQuery(*live, lParam);
  }
  AfterQuery(window);
  return answer;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  World& world = TheWorld();
  std::string line = "PostMessageA " + std::to_string(IdOf(window)) + " " +
                     (message == WM_CLOSE ? std::string("WM_CLOSE") : "0x" + Hex(message));
  if (wParam != 0 || lParam != 0) {
    line += " " + Hex(wParam) + " " + Hex(static_cast<unsigned long>(lParam));
  }
  Record(line);
  bool delivered = Live(window) != nullptr;
  if (delivered && message == WM_CLOSE) {
    world.closed.push_back(IdOf(window));
  }
  AfterQuery(window);
  return delivered ? TRUE : FALSE;
}

BOOL IsWindow(HWND window) {
  bool live = Live(window) != nullptr;
  AfterQuery(window);
  return live ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND window) {
  Record("SetForegroundWindow " + std::to_string(IdOf(window)));
  bool live = Live(window) != nullptr;
  if (live) {
    TheWorld().foreground = IdOf(window);
  }
  AfterQuery(window);
  return live ? TRUE : FALSE;
}

void keybd_event(BYTE virtualKey, BYTE scanCode, DWORD flags, ULONG_PTR extraInfo) {
  TheWorld().keys.push_back(fake::KeyEvent{virtualKey, scanCode, flags, extraInfo});
  Record("keybd_event " + Hex(virtualKey) + " " + Hex(scanCode) + " " + Hex(flags) + " " +
         Hex(extraInfo));
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  FakeWindow* live = Live(window);
  DWORD thread = 0;
  if (live != nullptr) {
    if (processId != nullptr) {
      *processId = live->processId;
    }
    thread = live->processId + 1;
  }
  AfterQuery(window);
  return thread;
}

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int show) {
  Record("ShellExecuteA " + std::to_string(IdOf(owner)) + " " + OrDash(verb) + " " + OrDash(file) +
         " " + OrDash(parameters) + " " + OrDash(directory) + " " + std::to_string(show));
  auto action = TheWorld().onShellExecute;
  if (action) {
    action(OrDash(verb), OrDash(file));
  }
  return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(42));
}
