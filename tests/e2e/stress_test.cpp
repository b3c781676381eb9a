// Stress of the run log under Wine: rounds of many runs started at once against missing
// documents, and a run while another program keeps writers off the log for a second.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/e2e/rig/wine_rig.h"

namespace {

using rig::Bytes;

constexpr int kRunsAtOnce = 16;
constexpr int kRounds = 5;
constexpr int kHeldMilliseconds = 1000;
constexpr int kProgramStartMilliseconds = 30000;
constexpr char kNotFound[] = "ERROR: FLA not found";
const std::string kSeparator(80, '-');

// Names of equal length, so that no document's path is the start of another's.
Bytes DocumentOfRun(const Bytes& directory, int round, int run) {
  return directory + "\\r" + std::to_string(round) + "-d" + (run < 10 ? "0" : "") +
         std::to_string(run) + ".fla";
}

rig::Launch LaunchIn(const Bytes& directory, const Bytes& program, const Bytes& document) {
  rig::Launch launch;
  launch.commandLine = program + " " + document;
  launch.currentDirectory = directory;
  return launch;
}

// Wine shows a Windows process with the program's Windows path at the head of its cmdline.
bool ProgramIsRunning(const Bytes& program) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream cmdline(entry.path() / "cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(cmdline)), std::istreambuf_iterator<char>());
    if (line.compare(0, program.size(), program) == 0) {
      return true;
    }
  }
  return false;
}

TEST(Stress, RoundsOfRunsAtOnceLoseNoPiece) {
  Bytes directory = rig::MakeTestDirectory(rig::CurrentTestName());
  Bytes program = rig::CopyProgram(directory);
  std::vector<Bytes> pieces = {"\r\n", kSeparator, kNotFound, "FAILED: "};
  std::vector<Bytes> documents;

  for (int round = 1; round <= kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<rig::Launch> launches;
    for (int run = 0; run < kRunsAtOnce; ++run) {
      Bytes document = DocumentOfRun(directory, round, run);
      launches.push_back(LaunchIn(directory, program, document));
      documents.push_back(document);
      pieces.push_back(document);
    }

    ASSERT_EQ(rig::RunAll(launches), std::vector<int>(kRunsAtOnce, 0));

    // Pieces of different runs may interleave; none may be lost, doubled or torn.
    int runs = round * kRunsAtOnce;
    Bytes rest;
    std::map<Bytes, int> counts =
        rig::CountPieces(rig::ReadFileBytes(directory + "\\kelvane.txt"), pieces, rest);
    EXPECT_EQ(rest, "");
    EXPECT_EQ(counts["\r\n"], 7 * runs);
    EXPECT_EQ(counts[kSeparator], 2 * runs);
    EXPECT_EQ(counts[kNotFound], runs);
    EXPECT_EQ(counts["FAILED: "], runs);
    for (const Bytes& document : documents) {
      EXPECT_EQ(counts[document], 2) << document;
    }
  }
}

// Another program holds the log without letting writers in; the run keeps trying to open it
// and writes its whole entry once the log is free again.
class HeldLog : public testing::TestWithParam<rig::HoldMode> {};

TEST_P(HeldLog, RunStillWritesItsWholeEntry) {
  Bytes directory = rig::MakeTestDirectory(rig::CurrentTestName());
  Bytes program = rig::CopyProgram(directory);
  Bytes log = directory + "\\kelvane.txt";
  Bytes document = directory + "\\missing.fla";
  rig::WriteFileBytes(log, "");
  rig::Hold hold = rig::StartHold(log, GetParam(), 10 * kProgramStartMilliseconds);

  rig::PendingRun run = rig::StartRun(LaunchIn(directory, program, document));
  bool started =
      rig::WaitUntil([&] { return ProgramIsRunning(program); }, kProgramStartMilliseconds);
  // The hold lasts this long from the moment the program is up, whatever Wine's start costs.
  rig::SleepMilliseconds(kHeldMilliseconds);
  rig::EndHold(hold);
  int exitCode = rig::WaitRun(run);

  EXPECT_TRUE(started) << "the program never showed up while the log was held";
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(rig::ReadFileBytes(log), rig::ErrorEntry(document, kNotFound));
}

INSTANTIATE_TEST_SUITE_P(Modes, HeldLog,
                         testing::Values(rig::HoldMode::kExclusive, rig::HoldMode::kWriting),
                         [](const testing::TestParamInfo<rig::HoldMode>& info) {
                           return std::string(info.param == rig::HoldMode::kExclusive
                                                  ? "WithoutAnySharing"
                                                  : "ForWriting");
                         });

}  // namespace
