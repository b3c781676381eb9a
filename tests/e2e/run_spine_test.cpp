// The run spine of the real program under Wine: command-line split, the error roads, the log
// entry byte for byte, appends and concurrent runs, in code pages 1252 and 932.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/e2e/rig/wine_rig.h"

namespace {

using rig::Bytes;
using rig::CodePage;

constexpr char kNotFound[] = "ERROR: FLA not found";
const std::string kSeparator(80, '-');
constexpr char kNotQualified[] = "ERROR: a fully qualified path to the FLA is required";

Bytes ReplaceAll(Bytes text, const Bytes& from, const Bytes& to) {
  for (size_t at = text.find(from); at != Bytes::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// A test directory holding the program and what the cases point at: two documents, a bare
// name's document, an empty sub directory and a directory with a blank in its name.
struct Workspace {
  Bytes directory;
  Bytes program;
  CodePage codePage;
};

Workspace MakeWorkspace(const std::string& leafUtf8, const std::string& programUtf8,
                        CodePage codePage) {
  Workspace workspace;
  workspace.codePage = codePage;
  workspace.directory = rig::MakeTestDirectory(
      rig::CurrentTestName() + "\\" + rig::FromUtf8(leafUtf8, codePage), codePage);
  workspace.program =
      rig::CopyProgram(workspace.directory, rig::FromUtf8(programUtf8, codePage), codePage);
  for (const char* document : {"doc.fla", "intro.fla"}) {
    rig::WriteFileBytes(workspace.directory + "\\" + document, "FLA", codePage);
  }
  if (codePage == CodePage::k932) {
    // 0x95 0x5C: a double-byte character whose trail byte is a backslash.
    rig::WriteFileBytes(workspace.directory + "\\" + rig::FromUtf8("表.fla", codePage), "FLA",
                        codePage);
  }
  rig::MakeDirectory(workspace.directory + "\\sub", codePage);
  rig::MakeDirectory(workspace.directory + "\\my files", codePage);
  return workspace;
}

// {dir} stands for the workspace directory, {exe} for the program in it.
Bytes Expand(const std::string& templateUtf8, const Workspace& workspace) {
  Bytes bytes = rig::FromUtf8(templateUtf8, workspace.codePage);
  bytes = ReplaceAll(bytes, "{exe}", workspace.program);
  return ReplaceAll(bytes, "{dir}", workspace.directory);
}

rig::Launch LaunchIn(const Workspace& workspace, const Bytes& commandLine) {
  rig::Launch launch;
  launch.commandLine = commandLine;
  launch.currentDirectory = workspace.directory;
  launch.codePage = workspace.codePage;
  return launch;
}

Bytes LogOf(const Workspace& workspace) {
  Bytes log = workspace.directory + "\\kelvane.txt";
  if (!rig::PathExists(log, workspace.codePage)) {
    ADD_FAILURE() << "no kelvane.txt beside the program";
    return "";
  }
  return rig::ReadFileBytes(log, workspace.codePage);
}

struct SpineCase {
  const char* name;
  CodePage codePage;
  const char* directory;    // last folder of the workspace (UTF-8)
  const char* program;      // file name the program is copied as (UTF-8)
  const char* commandLine;  // raw line, program name included (UTF-8 and placeholders)
  const char* flaPath;      // what the entry must show as the FLA path
  const char* errorLine;
};

const SpineCase kSpineCases[] = {
    {"EmptyCommandLine", CodePage::k1252, "w", "kelvane.exe", "{exe}", "", kNotFound},
    {"OnlyBlanksAfterProgramName", CodePage::k1252, "w", "kelvane.exe", "{exe} \t  ", "",
     kNotFound},
    {"MissingFile", CodePage::k1252, "w", "kelvane.exe", "{exe} {dir}\\missing.fla",
     "{dir}\\missing.fla", kNotFound},
    {"QuotedPathKeepsItsQuotes", CodePage::k1252, "w", "kelvane.exe", "{exe} \"{dir}\\doc.fla\"",
     "\"{dir}\\doc.fla\"", kNotFound},
    {"QuotedProgramNameThenPath", CodePage::k1252, "w w", "kelvane.exe",
     "\"{exe}\" {dir}\\missing.fla", "{dir}\\missing.fla", kNotFound},
    {"QuotedProgramNameWithoutBlank", CodePage::k1252, "w", "kelvane.exe",
     "\"{exe}\"{dir}\\missing.fla", "{dir}\\missing.fla", kNotFound},
    {"BlanksAndTabsAfterProgramNameSkipped", CodePage::k1252, "w", "kelvane.exe",
     "{exe} \t \t{dir}\\missing.fla", "{dir}\\missing.fla", kNotFound},
    {"TrailingBlanksStay", CodePage::k1252, "w", "kelvane.exe", "{exe} {dir}\\missing.fla  \t ",
     "{dir}\\missing.fla  \t ", kNotFound},
    {"UnquotedInnerBlanksTakenWhole", CodePage::k1252, "w", "kelvane.exe",
     "{exe} {dir}\\my files\\missing intro.fla", "{dir}\\my files\\missing intro.fla", kNotFound},
    {"BareFileNameInCurrentDirectory", CodePage::k1252, "w", "kelvane.exe", "{exe} intro.fla",
     "intro.fla", kNotQualified},
    {"BareMissingFileNameIsNotFound", CodePage::k1252, "w", "kelvane.exe", "{exe} absent.fla",
     "absent.fla", kNotFound},
    {"Directory", CodePage::k1252, "w", "kelvane.exe", "{exe} {dir}\\sub", "{dir}\\sub", kNotFound},
    {"DirectoryWithTrailingBackslash", CodePage::k1252, "w", "kelvane.exe", "{exe} {dir}\\sub\\",
     "{dir}\\sub\\", kNotFound},
    // The toolchain's own split would end this name at the 0xE9 and hand over "cd rest  ".
    {"HighByteInUnquotedProgramName", CodePage::k1252, "w", "abécd.exe", "abécd rest  ", "rest  ",
     kNotFound},
    {"QuotedProgramNameWithHighBytes", CodePage::k1252, "wé", "abécd.exe",
     "\"{exe}\" {dir}\\é missing.fla", "{dir}\\é missing.fla", kNotFound},
    // A trail byte 0x5C in the bare name is no separator: the name is not fully qualified.
    {"BareNameWithTrailByte5C", CodePage::k932, "表示", "kelvane.exe", "{exe} 表.fla", "表.fla",
     kNotQualified},
    {"MissingPathWithTrailBytes5C", CodePage::k932, "表示", "kelvane.exe",
     "{exe} {dir}\\ソ表\\表.fla", "{dir}\\ソ表\\表.fla", kNotFound},
    // The log goes beside the program, whose own name ends in a trail byte 0x5C.
    {"ProgramNameEndingInTrailByte5C", CodePage::k932, "表示", "k表.exe", "{exe} 表", "表",
     kNotFound},
    {"QuotedProgramNameEndingInTrailByte5C", CodePage::k932, "示表", "表.exe", "\"{exe}\"  表.fla",
     "表.fla", kNotQualified},
};

void PrintTo(const SpineCase& spine, std::ostream* out) {
  *out << spine.name;
}

class RunSpine : public testing::TestWithParam<SpineCase> {};

TEST_P(RunSpine, WritesTheWholeEntryAndExitsWithZero) {
  const SpineCase& spine = GetParam();
  Workspace workspace = MakeWorkspace(spine.directory, spine.program, spine.codePage);

  EXPECT_EQ(rig::Run(LaunchIn(workspace, Expand(spine.commandLine, workspace))), 0);

  EXPECT_EQ(LogOf(workspace), rig::ErrorEntry(Expand(spine.flaPath, workspace), spine.errorLine));
}

INSTANTIATE_TEST_SUITE_P(Cases, RunSpine, testing::ValuesIn(kSpineCases),
                         [](const testing::TestParamInfo<SpineCase>& info) {
                           return std::string(info.param.name);
                         });

// A document another process holds so that it cannot be opened for reading counts as missing.
struct HeldCase {
  const char* name;
  rig::HoldMode mode;
};

void PrintTo(const HeldCase& held, std::ostream* out) {
  *out << held.name;
}

class HeldDocument : public testing::TestWithParam<HeldCase> {};

TEST_P(HeldDocument, IsNotFound) {
  Workspace workspace = MakeWorkspace("w", "kelvane.exe", CodePage::k1252);
  Bytes document = workspace.directory + "\\doc.fla";
  rig::Hold hold = rig::StartHold(document, GetParam().mode, 60000);

  int exitCode = rig::Run(LaunchIn(workspace, workspace.program + " " + document));
  rig::EndHold(hold);

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(LogOf(workspace), rig::ErrorEntry(document, kNotFound));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, HeldDocument,
    testing::Values(HeldCase{"WithoutReadSharing", rig::HoldMode::kNoReadSharing},
                    HeldCase{"ForWriting", rig::HoldMode::kWriting}),
    [](const testing::TestParamInfo<HeldCase>& info) { return std::string(info.param.name); });

TEST(RunLog, RunsAppendAfterWhatIsThere) {
  Workspace workspace = MakeWorkspace("w", "kelvane.exe", CodePage::k1252);
  Bytes log = workspace.directory + "\\kelvane.txt";
  rig::WriteFileBytes(log, "earlier text without a line end");
  Bytes first = workspace.directory + "\\first.fla";

  EXPECT_EQ(rig::Run(LaunchIn(workspace, workspace.program + " " + first)), 0);
  EXPECT_EQ(rig::Run(LaunchIn(workspace, workspace.program + " intro.fla")), 0);

  EXPECT_EQ(rig::ReadFileBytes(log), "earlier text without a line end" +
                                         rig::ErrorEntry(first, kNotFound) +
                                         rig::ErrorEntry("intro.fla", kNotQualified));
}

TEST(RunLog, WaitsForALogThatAnotherProcessHoldsForAMoment) {
  Workspace workspace = MakeWorkspace("w", "kelvane.exe", CodePage::k1252);
  Bytes log = workspace.directory + "\\kelvane.txt";
  rig::WriteFileBytes(log, "");
  Bytes document = workspace.directory + "\\missing.fla";
  rig::Hold hold = rig::StartHold(log, rig::HoldMode::kExclusive, 1500);

  int exitCode = rig::Run(LaunchIn(workspace, workspace.program + " " + document));
  rig::EndHold(hold);

  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(rig::ReadFileBytes(log), rig::ErrorEntry(document, kNotFound));
}

TEST(RunLog, ConcurrentRunsLoseNoPiece) {
  constexpr int kRuns = 8;
  Workspace workspace = MakeWorkspace("w", "kelvane.exe", CodePage::k1252);
  std::vector<rig::Launch> launches;
  std::vector<Bytes> pieces = {"\r\n", kSeparator, kNotFound, "FAILED: "};
  for (int run = 0; run < kRuns; ++run) {
    Bytes document = workspace.directory + "\\doc" + std::string(1, 'A' + run) + ".fla";
    launches.push_back(LaunchIn(workspace, workspace.program + " " + document));
    pieces.push_back(document);
  }

  EXPECT_EQ(rig::RunAll(launches), std::vector<int>(kRuns, 0));

  // Pieces of different runs may interleave; none may be missing or torn.
  Bytes rest;
  std::map<Bytes, int> counts =
      rig::CountPieces(rig::ReadFileBytes(workspace.directory + "\\kelvane.txt"), pieces, rest);
  EXPECT_EQ(rest, "");
  EXPECT_EQ(counts["\r\n"], 7 * kRuns);
  EXPECT_EQ(counts[kSeparator], 2 * kRuns);
  EXPECT_EQ(counts[kNotFound], kRuns);
  EXPECT_EQ(counts["FAILED: "], kRuns);
  for (int run = 0; run < kRuns; ++run) {
    EXPECT_EQ(counts[pieces[4 + run]], 2) << pieces[4 + run];
  }
}

}  // namespace
