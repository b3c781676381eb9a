// The rig's own shared pieces: where its files live, the one prefix per test program and the
// processes it starts. Tests use wine_rig.h instead.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/rig/wine_rig.h"

namespace rig {

// <test program>.wine beside the test program: prefix, locale, logs and requests.
std::string RigDirectory();
std::string PrefixDirectory();
// Build of the windows preset (KELVANE_WINDOWS_BUILD_DIR, or the environment variable of that
// name when set).
std::string WindowsBuildDirectory();
// A file of the Windows build; throws when it is missing.
std::string WindowsBuildFile(const std::string& relativePath);

// Makes the prefix, display and wineserver when they are not up yet.
void EnsurePrefix();
// The --rig-setup and --rig-teardown modes of a test program.
void SetUpRig();
void TearDownRig();

// Starts a Wine process (argv[0] is the program Wine runs) with stdin from /dev/null and
// stdout and stderr appended to outputFile.
pid_t SpawnWine(const std::vector<std::string>& arguments, CodePage codePage,
                const std::string& outputFile);
// Waits for a process of ours; returns its exit status, or 128 + signal.
int WaitProcess(pid_t process);
// Runs a Wine process to its end and throws when it fails.
void RunWineChecked(const std::vector<std::string>& arguments, CodePage codePage);

// A name unique within the rig directory, for requests and logs.
std::string UniqueName(const std::string& stem);
std::string ReadLinuxFile(const std::string& path);
void WriteLinuxFile(const std::string& path, const std::string& content);

}  // namespace rig
