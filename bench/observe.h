// Watching a Wine run from Linux: when the stand-in's record lines appear, when the program's
// process ends, and how much processor time a Wine process has used.
#pragma once

#include <sys/types.h>

#include <functional>
#include <map>
#include <string>

namespace bench {

// CLOCK_MONOTONIC in milliseconds, with the fraction.
double NowMilliseconds();

// The Linux process that runs the Windows program: Wine puts the program's Windows path at the
// head of its cmdline. 0 when none shows up within the time given.
pid_t FindWindowsProcess(const std::string& windowsPath, int timeoutMilliseconds);
// The wineserver of a prefix: it works in a directory named after the prefix's device and
// inode. 0 when there is none.
pid_t FindWineServer(const std::string& prefixDirectory);
// Processor time that every thread of the process has had so far (scheduler statistics).
double CpuMilliseconds(pid_t process);

// Record events ("show main", "list count 10", ...) by the time this side first saw them.
struct RunTimes {
  std::map<std::string, double> events;
  double exited = 0;
};

// Watches the directory that will hold the stand-in's record; make it before the run starts.
struct RecordWatch {
  int inotify = -1;
  std::string recordPath;
  std::size_t parsed = 0;
};
RecordWatch WatchRecord(const std::string& recordPath);

// Follows the record until the process ends and closes the watch. onIdle runs at least every
// 50 ms meanwhile, with the current time, for samples taken during the run.
RunTimes FollowRun(RecordWatch watch, pid_t process,
                   const std::function<void(double now, const RunTimes&)>& onIdle);

// The first event that starts with prefix, or a negative time when there was none.
double EventTime(const RunTimes& times, const std::string& prefix);

}  // namespace bench
