// Observation of Wine runs through /proc, inotify and process descriptors, so that times are
// taken on the Linux clock when things happen rather than by polling at fixed intervals.
#include "bench/observe.h"

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr int kIdleMilliseconds = 50;

std::string ReadWhole(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

bool IsProcessDirectory(const fs::directory_entry& entry) {
  std::string name = entry.path().filename().string();
  return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// Takes the record's complete lines not seen before; each is stamped with now.
void ReadNewEvents(RecordWatch& watch, RunTimes& times, double now) {
  std::string record = ReadWhole(watch.recordPath);
  while (watch.parsed < record.size()) {
    std::size_t end = record.find('\n', watch.parsed);
    if (end == std::string::npos) {
      break;
    }
    std::string line = record.substr(watch.parsed, end - watch.parsed);
    watch.parsed = end + 1;
    std::size_t space = line.find(' ');
    if (space != std::string::npos) {
      times.events.emplace(line.substr(space + 1), now);
    }
  }
}

int OpenProcessDescriptor(pid_t process) {
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, process, 0));
#else
  (void)process;
  return -1;
#endif
}

}  // namespace

double NowMilliseconds() {
  timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

pid_t FindWindowsProcess(const std::string& windowsPath, int timeoutMilliseconds) {
  double deadline = NowMilliseconds() + timeoutMilliseconds;
  do {
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
      if (!IsProcessDirectory(entry)) {
        continue;
      }
      std::string line = ReadWhole(entry.path() / "cmdline");
      if (line.compare(0, windowsPath.size(), windowsPath) == 0) {
        return static_cast<pid_t>(std::stol(entry.path().filename().string()));
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (NowMilliseconds() < deadline);
  return 0;
}

pid_t FindWineServer(const std::string& prefixDirectory) {
  struct stat prefix = {};
  if (stat(prefixDirectory.c_str(), &prefix) != 0) {
    return 0;
  }
  char name[64];
  std::snprintf(name, sizeof name, "server-%llx-%llx",
                static_cast<unsigned long long>(prefix.st_dev),
                static_cast<unsigned long long>(prefix.st_ino));
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
    if (!IsProcessDirectory(entry)) {
      continue;
    }
    std::error_code error;
    fs::path directory = fs::read_symlink(entry.path() / "cwd", error);
    if (!error && directory.filename() == name &&
        ReadWhole(entry.path() / "comm").rfind("wineserver", 0) == 0) {
      return static_cast<pid_t>(std::stol(entry.path().filename().string()));
    }
  }
  return 0;
}

double CpuMilliseconds(pid_t process) {
  double total = 0;
  std::error_code error;
  fs::directory_iterator tasks("/proc/" + std::to_string(process) + "/task", error);
  if (error) {
    return 0;
  }
  for (const fs::directory_entry& task : tasks) {
    std::ifstream schedstat(task.path() / "schedstat");
    unsigned long long onCpuNanoseconds = 0;
    if (schedstat >> onCpuNanoseconds) {
      total += static_cast<double>(onCpuNanoseconds) / 1e6;
    }
  }
  return total;
}

RecordWatch WatchRecord(const std::string& recordPath) {
  RecordWatch watch;
  watch.recordPath = recordPath;
  watch.inotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  std::string directory = fs::path(recordPath).parent_path().string();
  if (watch.inotify < 0 ||
      inotify_add_watch(watch.inotify, directory.c_str(), IN_MODIFY | IN_CREATE) < 0) {
    throw std::runtime_error("cannot watch " + directory);
  }
  return watch;
}

RunTimes FollowRun(RecordWatch watch, pid_t process,
                   const std::function<void(double now, const RunTimes&)>& onIdle) {
  RunTimes times;
  int descriptor = OpenProcessDescriptor(process);
  // Without a process descriptor, the end is noticed by asking every millisecond.
  int timeout = descriptor >= 0 ? kIdleMilliseconds : 1;
  for (;;) {
    pollfd ready[2] = {{watch.inotify, POLLIN, 0}, {descriptor, POLLIN, 0}};
    int count = poll(ready, descriptor >= 0 ? 2 : 1, timeout);
    double now = NowMilliseconds();
    if (count < 0 && errno != EINTR) {
      break;
    }
    if ((ready[0].revents & POLLIN) != 0) {
      char events[4096];
      while (read(watch.inotify, events, sizeof events) > 0) {
      }
      ReadNewEvents(watch, times, now);
    }
    bool ended = descriptor >= 0 ? (ready[1].revents & POLLIN) != 0
                                 : kill(process, 0) != 0 && errno == ESRCH;
    if (ended) {
      times.exited = now;
      ReadNewEvents(watch, times, now);
      break;
    }
    onIdle(now, times);
  }
  if (descriptor >= 0) {
    close(descriptor);
  }
  close(watch.inotify);
  return times;
}

double EventTime(const RunTimes& times, const std::string& prefix) {
  for (const auto& [event, time] : times.events) {
    if (event.compare(0, prefix.size(), prefix) == 0) {
      return time;
    }
  }
  return -1;
}

}  // namespace bench
