// Windows side of the end-to-end rig: starts a program with a command line taken byte for byte
// from a request file, or holds a file open, and reports back through files.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A request file is a list of NUL-terminated fields; the first names the mode.
//   run   <result file> <application or empty> <current directory or empty> <command line>
//   hold  <result file> <release file> <mode> <milliseconds> <file>
// A run writes the program's exit code in decimal to the result file once it has ended; a hold
// writes "open" there once the file is open, and closes it when the release file appears or
// the time is up. Any failure of the launcher itself goes to stderr with a non-zero exit code.

namespace {

constexpr DWORD kHoldPollMilliseconds = 10;

bool ReadWholeFile(const char* path, std::string& content) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD size = GetFileSize(file, nullptr);
  content.assign(size, '\0');
  DWORD read = 0;
  bool ok = size == 0 || (ReadFile(file, &content[0], size, &read, nullptr) && read == size);
  CloseHandle(file);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& content) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  bool ok =
      WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
      written == content.size();
  CloseHandle(file);
  return ok;
}

std::vector<std::string> SplitFields(const std::string& request) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  while (start < request.size()) {
    std::string::size_type end = request.find('\0', start);
    if (end == std::string::npos) {
      end = request.size();
    }
    fields.push_back(request.substr(start, end - start));
    start = end + 1;
  }
  return fields;
}

int Fail(const char* what) {
  std::fprintf(stderr, "launch: %s (error %lu)\n", what, GetLastError());
  return 2;
}

int RunProgram(const std::vector<std::string>& fields) {
  const std::string& resultFile = fields[1];
  const std::string& application = fields[2];
  const std::string& directory = fields[3];
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  std::vector<char> commandLine(fields[4].begin(), fields[4].end());
  commandLine.push_back('\0');

  // A program named without a path is looked for in the current directory, as from a shell.
  if (!directory.empty() && !SetCurrentDirectoryA(directory.c_str())) {
    return Fail("cannot enter the current directory");
  }
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(application.empty() ? nullptr : application.c_str(), commandLine.data(),
                      nullptr, nullptr, FALSE, 0, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup, &process)) {
    return Fail("CreateProcessA failed");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  BOOL gotCode = GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!gotCode) {
    return Fail("GetExitCodeProcess failed");
  }
  if (!WriteWholeFile(resultFile, std::to_string(exitCode))) {
    return Fail("cannot write the result file");
  }
  return 0;
}

int HoldFile(const std::vector<std::string>& fields) {
  const std::string& resultFile = fields[1];
  const std::string& releaseFile = fields[2];
  const std::string& mode = fields[3];
  DWORD holdMilliseconds = std::strtoul(fields[4].c_str(), nullptr, 10);
  const std::string& path = fields[5];

  DWORD access = 0;
  DWORD share = 0;
  if (mode == "no-read-sharing") {
    access = GENERIC_READ;
    share = FILE_SHARE_WRITE;
  } else if (mode == "writing") {
    access = GENERIC_WRITE;
    share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  } else if (mode == "exclusive") {
    access = GENERIC_READ | GENERIC_WRITE;
  } else {
    return Fail("unknown hold mode");
  }
  HANDLE file = CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return Fail("cannot open the file to hold");
  }
  if (!WriteWholeFile(resultFile, "open")) {
    CloseHandle(file);
    return Fail("cannot write the result file");
  }
  DWORD start = GetTickCount();
  while (GetTickCount() - start < holdMilliseconds &&
         GetFileAttributesA(releaseFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
    Sleep(kHoldPollMilliseconds);
  }
  CloseHandle(file);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: launch <request file>\n");
    return 2;
  }
  std::string request;
  if (!ReadWholeFile(argv[1], request)) {
    return Fail("cannot read the request file");
  }
  std::vector<std::string> fields = SplitFields(request);
  if (fields.size() == 5 && fields[0] == "run") {
    return RunProgram(fields);
  }
  if (fields.size() == 6 && fields[0] == "hold") {
    return HoldFile(fields);
  }
  std::fprintf(stderr, "launch: malformed request\n");
  return 2;
}
