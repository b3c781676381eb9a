// The run log: the exact bytes of an entry on every road, appending to what is there, and a
// log held by another run waited for while a read-only directory is given up at once.
#include "run/run_log.h"

#include <numeric>
#include <string>

#include "fixture.h"

namespace {

const char kLog[] = "C:\\Tools\\kelvane.txt";
std::uint32_t SleptMilliseconds() {
  std::vector<std::uint32_t> sleeps = fake::Sleeps();
  return std::accumulate(sleeps.begin(), sleeps.end(), 0u);
}

class RunLogTest : public FakeTest {};

TEST_F(RunLogTest, EntriesHaveTheirExactBytes) {
  const std::string path = "C:\\work\\intro.fla";
  struct {
    const char* road;
    const char* errorLine;
    const char* errorText;
    bool runFailed;
    std::string expected;
  } cases[] = {
      {"nothing collected", nullptr, "", false, LogHeader(path) + "OK: " + path + "\r\n"},
      {"missing", kNotFoundError, "", true,
       LogHeader(path) + "ERROR: FLA not found\r\nFAILED: " + path + "\r\n"},
      {"not qualified", kNotQualifiedError, "", true,
       LogHeader(path) + "ERROR: a fully qualified path to the FLA is required\r\nFAILED: " + path +
           "\r\n"},
      {"not loaded", kNotLoadedError, "", true,
       LogHeader(path) + "ERROR: Flash failed to load\r\nFAILED: " + path + "\r\n"},
      {"list rows", nullptr, "a\tb\tc\t\r\nd\te\t\t\r\n", false,
       LogHeader(path) + "FAILED: " + path + "\r\n\r\na\tb\tc\t\r\r\nd\te\t\t\r\r\n"},
      {"bare line feeds", nullptr, "one\ntwo\n\nthree", false,
       LogHeader(path) + "FAILED: " + path + "\r\n\r\none\r\ntwo\r\n\r\nthree"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.road);
    StartFresh(1252);
    AppendEntryHeader(kLog, path.c_str());
    if (c.errorLine != nullptr) {
      AppendErrorLine(kLog, c.errorLine);
    }
    AppendStatus(kLog, path.c_str(), c.errorText, c.runFailed);
    EXPECT_EQ(fake::FileContents(kLog), c.expected);
    EXPECT_EQ(fake::OpenFileHandles(), 0);
  }
}

TEST_F(RunLogTest, AnEmptyPathLeavesItsLineEmpty) {
  AppendEntryHeader(kLog, "");
  AppendErrorLine(kLog, kNotFoundError);
  AppendStatus(kLog, "", "", true);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("") + "ERROR: FLA not found\r\nFAILED: \r\n");
}

TEST_F(RunLogTest, TheFirstPieceCreatesTheFileAndLaterOnesAppend) {
  EXPECT_TRUE(AppendToFile(kLog, ""));
  EXPECT_FALSE(fake::FileIsPresent(kLog));

  EXPECT_TRUE(AppendToFile(kLog, "\r\n"));
  EXPECT_TRUE(AppendToFile(kLog, "abc"));
  EXPECT_EQ(fake::FileContents(kLog), "\r\nabc");
  EXPECT_EQ(fake::OpenFileHandles(), 0);
}

TEST_F(RunLogTest, AnEntryAfterOneEndingWithoutALineEndClosesThatLine) {
  fake::AddFile(kLog, "FAILED: C:\\a.fla\r\n\r\nlast line");
  AppendEntryHeader(kLog, "C:\\b.fla");
  // The new entry's first line end closes the last line: no blank line before the separator.
  EXPECT_EQ(fake::FileContents(kLog),
            "FAILED: C:\\a.fla\r\n\r\nlast line" + LogHeader("C:\\b.fla"));
}

TEST_F(RunLogTest, ALogHeldByAnotherRunIsWaitedForUntilItIsLetGo) {
  struct {
    DWORD access;
    DWORD share;
  } holders[] = {
      {GENERIC_WRITE, FILE_SHARE_READ},
      {GENERIC_READ, 0},
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
  };
  for (const auto& holder : holders) {
    SCOPED_TRACE(testing::Message() << "access " << holder.access << " share " << holder.share);
    StartFresh(1252);
    fake::AddFile(kLog, "before\r\n");
    fake::HoldFile(kLog, holder.access, holder.share, 700);
    EXPECT_TRUE(AppendToFile(kLog, "piece"));
    EXPECT_EQ(fake::FileContents(kLog), "before\r\npiece");
    EXPECT_GE(fake::Tick(), 700u);
    EXPECT_EQ(fake::OpenFileHandles(), 0);
  }
}

TEST_F(RunLogTest, AHolderThatAllowsWritersIsNotWaitedFor) {
  fake::HoldFile(kLog, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  EXPECT_TRUE(AppendToFile(kLog, "piece"));
  EXPECT_EQ(fake::FileContents(kLog), "piece");
  EXPECT_TRUE(fake::Sleeps().empty());
}

TEST_F(RunLogTest, AWholeEntryWaitsOutAHolderThatLetsGoInTheMiddle) {
  AppendEntryHeader(kLog, "C:\\a.fla");
  fake::HoldFile(kLog, GENERIC_WRITE, FILE_SHARE_READ, 1000);
  AppendStatus(kLog, "C:\\a.fla", "", false);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("C:\\a.fla") + "OK: C:\\a.fla\r\n");
}

TEST_F(RunLogTest, ALogNeverLetGoIsGivenUpAfterAboutFiveSeconds) {
  fake::AddFile(kLog, "before\r\n");
  fake::HoldFile(kLog, GENERIC_WRITE, FILE_SHARE_READ);
  EXPECT_FALSE(AppendToFile(kLog, "piece"));
  EXPECT_EQ(fake::FileContents(kLog), "before\r\n");
  EXPECT_GE(SleptMilliseconds(), 4900u);
  EXPECT_LE(SleptMilliseconds(), 5100u);
  EXPECT_EQ(fake::OpenFileHandles(), 0);
}

TEST_F(RunLogTest, AReadOnlyDirectoryGivesThePieceUpAtOnce) {
  fake::SetReadOnlyDirectory("C:\\Tools");
  EXPECT_FALSE(AppendToFile(kLog, "piece"));
  AppendEntryHeader(kLog, "C:\\a.fla");
  EXPECT_FALSE(fake::FileIsPresent(kLog));
  EXPECT_TRUE(fake::Sleeps().empty());
}

}  // namespace
