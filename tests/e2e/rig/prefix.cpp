// One Wine prefix per test program, with its wineserver kept alive between runs, an Xvfb
// display when none is given, and a Japanese locale of its own for code page 932 runs.
#include "tests/e2e/rig/prefix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace rig {

namespace {

namespace fs = std::filesystem;

constexpr char kJapaneseLocale[] = "ja_JP.UTF-8";
constexpr char kDefaultLocale[] = "C.UTF-8";
constexpr int kXvfbStartMilliseconds = 20000;
constexpr int kXvfbStopMilliseconds = 5000;

// What this process knows about the prefix once it is up.
struct RigState {
  bool ready = false;
  std::string display;  // empty: Wine gets the DISPLAY this process was given
};

RigState& State() {
  static RigState state;
  return state;
}

std::string ReadyFile() {
  return RigDirectory() + "/ready";
}
std::string LocaleDirectory() {
  return RigDirectory() + "/locale";
}
std::string LogDirectory() {
  return RigDirectory() + "/logs";
}
std::string HomeDirectory() {
  return RigDirectory() + "/home";
}

// Holds the rig directory's lock for as long as it lives: test programs run side by side
// under CTest, and only one may make or shut down the prefix.
struct RigLock {
  RigLock() {
    fs::create_directories(RigDirectory());
    descriptor = open((RigDirectory() + "/lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (descriptor < 0 || flock(descriptor, LOCK_EX) != 0) {
      throw std::runtime_error("cannot lock " + RigDirectory());
    }
  }
  ~RigLock() { close(descriptor); }
  RigLock(const RigLock&) = delete;
  RigLock& operator=(const RigLock&) = delete;
  int descriptor = -1;
};

bool IsEnvironmentName(const char* entry, const char* name) {
  size_t length = std::strlen(name);
  return std::strncmp(entry, name, length) == 0 && entry[length] == '=';
}

bool IsLocaleVariable(const char* entry) {
  return std::strncmp(entry, "LC_", 3) == 0 || IsEnvironmentName(entry, "LANG") ||
         IsEnvironmentName(entry, "LANGUAGE") || IsEnvironmentName(entry, "LOCPATH");
}

pid_t Spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
            const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // A session of its own: what outlives the test program (wineserver, Xvfb) is not hit by
  // the terminal's signals meant for it.
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);

  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) {
    argv.push_back(const_cast<char*>(argument.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  envp.reserve(environment.size() + 1);
  for (const std::string& entry : environment) {
    envp.push_back(const_cast<char*>(entry.c_str()));
  }
  envp.push_back(nullptr);

  pid_t process = 0;
  int error = posix_spawnp(&process, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    throw std::runtime_error("cannot start " + arguments[0] + ": " + std::strerror(error));
  }
  return process;
}

std::vector<std::string> InheritedEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    environment.emplace_back(*entry);
  }
  return environment;
}

// Starts Xvfb on the first free display and returns ":N".
std::string StartXvfb(pid_t& process) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) {
    throw std::runtime_error("cannot make a pipe for Xvfb");
  }
  fcntl(pipeEnds[0], F_SETFD, FD_CLOEXEC);
  process = Spawn({"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-nolisten", "tcp", "-screen",
                   "0", "1280x1024x24"},
                  InheritedEnvironment(), RigDirectory() + "/xvfb.log");
  close(pipeEnds[1]);

  std::string number;
  long long deadline = MonotonicMilliseconds() + kXvfbStartMilliseconds;
  while (number.empty() || number.back() != '\n') {
    long long left = deadline - MonotonicMilliseconds();
    pollfd ready = {pipeEnds[0], POLLIN, 0};
    char byte = 0;
    if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0 ||
        read(pipeEnds[0], &byte, 1) != 1) {
      close(pipeEnds[0]);
      throw std::runtime_error("Xvfb did not start; see " + RigDirectory() + "/xvfb.log");
    }
    number += byte;
  }
  close(pipeEnds[0]);
  number.pop_back();
  return ":" + number;
}

// True when process is still the Xvfb that this rig started (the id may have been reused).
bool IsOurXvfb(pid_t process) {
  std::ifstream commandLine("/proc/" + std::to_string(process) + "/cmdline");
  std::string program;
  std::getline(commandLine, program, '\0');
  return program == "Xvfb";
}

void StopXvfb(pid_t process) {
  if (process <= 0 || !IsOurXvfb(process)) {
    return;
  }
  kill(process, SIGTERM);
  // Reap it when it is our child; otherwise wait for it to vanish.
  waitpid(process, nullptr, WNOHANG);
  WaitUntil(
      [process] {
        waitpid(process, nullptr, WNOHANG);
        return kill(process, 0) != 0;
      },
      kXvfbStopMilliseconds);
}

void BuildJapaneseLocale() {
  fs::create_directories(LocaleDirectory());
  std::string output = LogDirectory() + "/localedef.log";
  pid_t process =
      Spawn({"localedef", "-i", "ja_JP", "-f", "UTF-8", LocaleDirectory() + "/" + kJapaneseLocale},
            InheritedEnvironment(), output);
  if (WaitProcess(process) != 0) {
    throw std::runtime_error("localedef failed; see " + output);
  }
}

std::string StateValue(const std::string& content, const std::string& key) {
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, key.size() + 1, key + "=") == 0) {
      return line.substr(key.size() + 1);
    }
  }
  return "";
}

// Shuts down what the ready file names: the prefix's wineserver (and with it every Wine
// process of the prefix), then the display.
void ShutDown() {
  if (fs::exists(PrefixDirectory())) {
    RunWineChecked({"wineserver", "-k"}, CodePage::k1252);
    RunWineChecked({"wineserver", "-w"}, CodePage::k1252);
  }
  if (fs::exists(ReadyFile())) {
    StopXvfb(std::atoi(StateValue(ReadLinuxFile(ReadyFile()), "xvfb").c_str()));
    fs::remove(ReadyFile());
  }
  State().ready = false;
}

void MakeFreshPrefix() {
  ShutDown();
  fs::remove_all(PrefixDirectory());
  fs::remove_all(LocaleDirectory());
  fs::remove_all(HomeDirectory());
  fs::remove_all(LogDirectory());
  fs::create_directories(LogDirectory());
  fs::create_directories(HomeDirectory());
  BuildJapaneseLocale();

  pid_t xvfb = 0;
  State().display.clear();
  const char* given = std::getenv("DISPLAY");
  if (given == nullptr || *given == '\0') {
    State().display = StartXvfb(xvfb);
  }
  // Written before the prefix is made, so that a failure below still shuts the display down.
  WriteLinuxFile(ReadyFile(), "display=" + State().display + "\nxvfb=" + std::to_string(xvfb) +
                                  "\nprefix=incomplete\n");
  fs::create_directories(PrefixDirectory());
  RunWineChecked({"wineserver", "-p"}, CodePage::k1252);
  RunWineChecked({"wine", "wineboot", "-i"}, CodePage::k1252);
  fs::create_directories(PrefixDirectory() + "/drive_c/rig/requests");
  fs::create_directories(PrefixDirectory() + "/drive_c/e2e");
  WriteLinuxFile(ReadyFile(), "display=" + State().display + "\nxvfb=" + std::to_string(xvfb) +
                                  "\nprefix=ready\n");
  State().ready = true;
}

// The prefix left by a setup test, when it is whole and its display still runs.
bool AdoptPrefix() {
  if (!fs::exists(ReadyFile())) {
    return false;
  }
  std::string content = ReadLinuxFile(ReadyFile());
  pid_t xvfb = std::atoi(StateValue(content, "xvfb").c_str());
  if (StateValue(content, "prefix") != "ready" || (xvfb > 0 && !IsOurXvfb(xvfb))) {
    return false;
  }
  State().display = StateValue(content, "display");
  State().ready = true;
  return true;
}

void TearDownAtExit() {
  try {
    TearDownRig();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "rig: %s\n", error.what());
  }
}

}  // namespace

std::string RigDirectory() {
  static const std::string directory = fs::read_symlink("/proc/self/exe").string() + ".wine";
  return directory;
}

std::string PrefixDirectory() {
  return RigDirectory() + "/prefix";
}

std::string WindowsBuildDirectory() {
  const char* given = std::getenv("KELVANE_WINDOWS_BUILD_DIR");
  return given != nullptr && *given != '\0' ? given : KELVANE_WINDOWS_BUILD_DIR;
}

std::string WindowsBuildFile(const std::string& relativePath) {
  std::string path = WindowsBuildDirectory() + "/" + relativePath;
  if (!fs::exists(path)) {
    throw std::runtime_error(path + " is missing: build the windows preset first");
  }
  return path;
}

void EnsurePrefix() {
  if (State().ready) {
    return;
  }
  RigLock lock;
  if (AdoptPrefix()) {
    return;
  }
  // Run outside CTest: this program makes the prefix and shuts it down when it ends.
  MakeFreshPrefix();
  std::atexit(TearDownAtExit);
}

void SetUpRig() {
  RigLock lock;
  MakeFreshPrefix();
}

void TearDownRig() {
  RigLock lock;
  ShutDown();
}

std::vector<std::string> WineEnvironment(CodePage codePage) {
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (IsLocaleVariable(*entry) || IsEnvironmentName(*entry, "WINEPREFIX") ||
        IsEnvironmentName(*entry, "WINEDEBUG") || IsEnvironmentName(*entry, "WINEARCH") ||
        IsEnvironmentName(*entry, "WINEDLLOVERRIDES") || IsEnvironmentName(*entry, "HOME") ||
        std::strncmp(*entry, "XDG_", 4) == 0 ||
        (!State().display.empty() && IsEnvironmentName(*entry, "DISPLAY"))) {
      continue;
    }
    environment.emplace_back(*entry);
  }
  // A home of its own: the prefix links no folder of the user's.
  environment.push_back("HOME=" + HomeDirectory());
  environment.push_back("WINEPREFIX=" + PrefixDirectory());
  environment.emplace_back("WINEARCH=win32");
  environment.emplace_back("WINEDEBUG=-all");
  // No browser or runtime installers, no desktop menu entries: a prefix in seconds.
  environment.emplace_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");
  if (!State().display.empty()) {
    environment.push_back("DISPLAY=" + State().display);
  }
  const char* locale = codePage == CodePage::k932 ? kJapaneseLocale : kDefaultLocale;
  environment.push_back(std::string("LANG=") + locale);
  environment.push_back(std::string("LC_ALL=") + locale);
  if (codePage == CodePage::k932) {
    environment.push_back("LOCPATH=" + LocaleDirectory());
  }
  return environment;
}

pid_t SpawnWine(const std::vector<std::string>& arguments, CodePage codePage,
                const std::string& outputFile) {
  return Spawn(arguments, WineEnvironment(codePage), outputFile);
}

int WaitProcess(pid_t process) {
  int status = 0;
  while (waitpid(process, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("cannot wait for process " + std::to_string(process));
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void RunWineChecked(const std::vector<std::string>& arguments, CodePage codePage) {
  fs::create_directories(LogDirectory());
  std::string output = LogDirectory() + "/" + UniqueName(fs::path(arguments[0]).filename());
  int status = WaitProcess(SpawnWine(arguments, codePage, output));
  // wineserver -k answers 1 when no server was running, which is fine here.
  bool noServer =
      arguments[0] == "wineserver" && arguments.size() > 1 && arguments[1] != "-p" && status == 1;
  if (status != 0 && !noServer) {
    std::string command;
    for (const std::string& argument : arguments) {
      command += argument + " ";
    }
    throw std::runtime_error(command + "failed with status " + std::to_string(status) + ":\n" +
                             ReadLinuxFile(output));
  }
}

std::string UniqueName(const std::string& stem) {
  static int counter = 0;
  return stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

std::string ReadLinuxFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    throw std::runtime_error("cannot read " + path);
  }
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteLinuxFile(const std::string& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file.flush()) {
    throw std::runtime_error("cannot write " + path);
  }
}

long long MonotonicMilliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void SleepMilliseconds(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rig
