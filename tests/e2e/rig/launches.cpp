// Runs and holds through the Windows launcher: each writes a request file into the prefix,
// starts the launcher under Wine on it, and reads back what the launcher reported.
#include <sys/wait.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/e2e/rig/prefix.h"

namespace rig {

namespace {

constexpr char kRequestDirectory[] = "C:\\rig\\requests\\";
constexpr int kHoldOpenMilliseconds = 30000;

// The request's fields, each ending with a NUL, as the launcher reads them.
std::string RequestOf(const std::vector<Bytes>& fields) {
  std::string request;
  for (const Bytes& field : fields) {
    request += field;
    request += '\0';
  }
  return request;
}

// Writes the request and starts the launcher on it under Wine.
pid_t StartLauncher(const std::string& name, const std::vector<Bytes>& fields, CodePage codePage,
                    const std::string& errorFile) {
  Bytes request = kRequestDirectory + name + ".req";
  WriteLinuxFile(LinuxPath(request), RequestOf(fields));
  return SpawnWine({"wine", WindowsBuildFile("tests/wine/launch.exe"), request}, codePage,
                   errorFile);
}

std::string LauncherFailure(const std::string& what, int status, const std::string& errorFile) {
  std::string output;
  try {
    output = ReadLinuxFile(errorFile);
  } catch (const std::runtime_error&) {
    output = "(no output)";
  }
  return what + " (launcher status " + std::to_string(status) + "):\n" + output;
}

const char* HoldModeName(HoldMode mode) {
  switch (mode) {
    case HoldMode::kNoReadSharing:
      return "no-read-sharing";
    case HoldMode::kWriting:
      return "writing";
    case HoldMode::kExclusive:
      return "exclusive";
  }
  return "";
}

}  // namespace

PendingRun StartRun(const Launch& launch) {
  EnsurePrefix();
  std::string name = UniqueName("run");
  Bytes result = kRequestDirectory + name + ".exit";
  PendingRun run;
  run.resultFile = LinuxPath(result);
  run.errorFile = RigDirectory() + "/logs/" + name + ".log";
  run.wine = StartLauncher(
      name, {"run", result, launch.application, launch.currentDirectory, launch.commandLine},
      launch.codePage, run.errorFile);
  return run;
}

int WaitRun(const PendingRun& run) {
  int status = WaitProcess(run.wine);
  std::string exitCode;
  try {
    exitCode = ReadLinuxFile(run.resultFile);
  } catch (const std::runtime_error&) {
    throw std::runtime_error(LauncherFailure("the program did not run", status, run.errorFile));
  }
  return static_cast<int>(std::strtoul(exitCode.c_str(), nullptr, 10));
}

int Run(const Launch& launch) {
  return WaitRun(StartRun(launch));
}

std::vector<int> RunAll(const std::vector<Launch>& launches) {
  std::vector<PendingRun> runs;
  runs.reserve(launches.size());
  for (const Launch& launch : launches) {
    runs.push_back(StartRun(launch));
  }
  std::vector<int> exitCodes;
  exitCodes.reserve(runs.size());
  for (const PendingRun& run : runs) {
    exitCodes.push_back(WaitRun(run));
  }
  return exitCodes;
}

Hold StartHold(const Bytes& windowsPath, HoldMode mode, int holdMilliseconds, CodePage codePage) {
  EnsurePrefix();
  std::string name = UniqueName("hold");
  Bytes result = kRequestDirectory + name + ".open";
  Bytes release = kRequestDirectory + name + ".release";
  Hold hold;
  hold.resultFile = LinuxPath(result);
  hold.releaseFile = LinuxPath(release);
  hold.errorFile = RigDirectory() + "/logs/" + name + ".log";
  hold.wine = StartLauncher(
      name,
      {"hold", result, release, HoldModeName(mode), std::to_string(holdMilliseconds), windowsPath},
      codePage, hold.errorFile);
  int status = -1;
  bool open = WaitUntil(
      [&] {
        if (PathExists(result)) {
          return true;
        }
        int waitStatus = 0;
        if (waitpid(hold.wine, &waitStatus, WNOHANG) == hold.wine) {
          status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
          return true;
        }
        return false;
      },
      kHoldOpenMilliseconds);
  if (status >= 0) {
    hold.wine = 0;  // already reaped
  }
  if (!open || !PathExists(result)) {
    if (status < 0) {
      EndHold(hold);
    }
    throw std::runtime_error(LauncherFailure("cannot hold " + windowsPath, status, hold.errorFile));
  }
  return hold;
}

void EndHold(const Hold& hold) {
  WriteLinuxFile(hold.releaseFile, "");
  if (hold.wine == 0) {
    return;
  }
  int status = WaitProcess(hold.wine);
  if (status != 0) {
    throw std::runtime_error(LauncherFailure("the hold failed", status, hold.errorFile));
  }
}

}  // namespace rig
