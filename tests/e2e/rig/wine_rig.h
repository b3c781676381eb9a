// Linux side of the end-to-end rig: runs the real Windows program under Wine, byte for byte,
// in one fresh prefix per test program, and gives tests its files to set up and read back.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace rig {

// Raw bytes: a Windows path, a command line or a file's content, in the run's code page.
using Bytes = std::string;

// The ANSI code page a Windows process runs with. 932 runs under LANG=ja_JP.UTF-8, with the
// locale built for this test program alone.
enum class CodePage { k1252, k932 };

// The prefix, its wineserver and (when DISPLAY is unset) an Xvfb display are made on first
// use and shut down when the test program ends. Under CTest a setup test makes them once for
// all of the program's cases and a cleanup test shuts them down (main handles --rig-setup and
// --rig-teardown). Every rig failure throws std::runtime_error, which fails the current test.

// Converts between UTF-8 and a code page's bytes, for the few non-ASCII names a test uses.
Bytes FromUtf8(const std::string& utf8, CodePage codePage);
std::string ToUtf8(const Bytes& bytes, CodePage codePage);

// Makes C:\e2e\<name> in the prefix, empty (an old one is removed), and returns its Windows
// path. The name may hold backslashes (nested folders) and double-byte characters.
Bytes MakeTestDirectory(const Bytes& name, CodePage codePage = CodePage::k1252);
// Makes one directory (its parent must exist).
void MakeDirectory(const Bytes& windowsPath, CodePage codePage = CodePage::k1252);

// The Linux path of a Windows path on the prefix's drives (C: and Z:), and back.
std::string LinuxPath(const Bytes& windowsPath, CodePage codePage = CodePage::k1252);
Bytes WindowsPath(const std::string& linuxPath, CodePage codePage = CodePage::k1252);

// Whole files, byte for byte.
void WriteFileBytes(const Bytes& windowsPath, const Bytes& content,
                    CodePage codePage = CodePage::k1252);
Bytes ReadFileBytes(const Bytes& windowsPath, CodePage codePage = CodePage::k1252);
bool PathExists(const Bytes& windowsPath, CodePage codePage = CodePage::k1252);

// Copies the Windows build's kelvane.exe into directory under the given name; returns the
// copy's Windows path.
Bytes CopyProgram(const Bytes& directory, const Bytes& fileName = "kelvane.exe",
                  CodePage codePage = CodePage::k1252);

// Copies the stand-in authoring tool into the prefix and registers it for .fla: HKCR\.fla
// names a ProgID whose shell\open\command is "<stand-in>" "%1". Returns the stand-in's
// Windows path. Calling it again changes nothing.
Bytes RegisterStandinForFla();

// One run of a Windows program through the launcher, which hands commandLine to
// CreateProcessA as it is, program name included.
struct Launch {
  Bytes commandLine;
  Bytes application;       // CreateProcessA's application name; empty lets it come from the line
  Bytes currentDirectory;  // Windows path; empty keeps the test program's own, seen through Z:
  CodePage codePage = CodePage::k1252;
};

struct PendingRun {
  pid_t wine = 0;          // the Wine process running the launcher
  std::string resultFile;  // Linux path where the launcher writes the exit code
  std::string errorFile;   // Linux path of the launcher's stderr
};

// Runs and waits; returns the program's exit code.
int Run(const Launch& launch);
PendingRun StartRun(const Launch& launch);
int WaitRun(const PendingRun& run);
// Starts all runs at once, then waits for all; exit codes in the order given.
std::vector<int> RunAll(const std::vector<Launch>& launches);

// A file held open by a Windows process.
enum class HoldMode {
  kNoReadSharing,  // read access; others may write but not read
  kWriting,        // write access; others may read and write
  kExclusive,      // read and write access, no sharing at all
};

struct Hold {
  pid_t wine = 0;
  std::string releaseFile;  // Linux path; its appearance ends the hold
  std::string resultFile;
  std::string errorFile;
};

// Returns once the file is open (it must exist). The hold ends after holdMilliseconds, or
// earlier at EndHold.
Hold StartHold(const Bytes& windowsPath, HoldMode mode, int holdMilliseconds,
               CodePage codePage = CodePage::k1252);
// Ends the hold now (if still running) and waits until the file is closed.
void EndHold(const Hold& hold);

// Polls every 20 ms until condition() is true or timeoutMilliseconds have passed; returns
// the last answer.
template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMilliseconds);

// The first lines of every run log entry: blank line, separator, path, separator, blank line.
Bytes EntryHeader(const Bytes& flaPath);
// The whole entry of a run that ends on an error road: the error line, then the FAILED status.
Bytes ErrorEntry(const Bytes& flaPath, const Bytes& errorLine);
// The running test's suite and name, with '/' turned into '.', for a directory of its own.
std::string CurrentTestName();

// Cuts a log into the pieces that runs append one write each, the longest where several fit,
// and counts them; bytes that start no piece go to rest.
std::map<Bytes, int> CountPieces(const Bytes& log, const std::vector<Bytes>& pieces, Bytes& rest);

// Linux environment for any other Wine process a test starts itself ("NAME=value" entries):
// prefix, display, locale for the code page.
std::vector<std::string> WineEnvironment(CodePage codePage = CodePage::k1252);

// --- implementation details of WaitUntil -------------------------------------------------
long long MonotonicMilliseconds();
void SleepMilliseconds(int milliseconds);

template <typename Condition>
bool WaitUntil(Condition condition, int timeoutMilliseconds) {
  long long deadline = MonotonicMilliseconds() + timeoutMilliseconds;
  for (;;) {
    if (condition()) {
      return true;
    }
    if (MonotonicMilliseconds() >= deadline) {
      return false;
    }
    SleepMilliseconds(20);
  }
}

}  // namespace rig
