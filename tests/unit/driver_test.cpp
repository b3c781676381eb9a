// The whole run through WinMain over the fake window system: every road ends with its exact
// log entry, and the publish attempt is made only for a path that exists and has a name.
// The trail byte 0x5C is written as the backslash it is.
#include "run/driver.h"

#include <string>

#include "fixture.h"

namespace {

const char kLog[] = "C:\\Tools\\kelvane.txt";

std::string Failed(const std::string& path) {
  return "FAILED: " + path + "\r\n";
}

int RunWith(std::string commandLine) {
  return WinMain(fake::Instance(), nullptr, commandLine.data(), SW_SHOWDEFAULT);
}

bool ShellWasAsked() {
  for (const std::string& line : fake::Trace()) {
    if (line.rfind("ShellExecuteA", 0) == 0) {
      return true;
    }
  }
  return false;
}

// Opening the document brings up a main window with this caption; the setup adds the rest.
void ToolOpensWith(const std::string& caption, std::function<void(HWND main)> setup) {
  fake::OnShellExecute([caption, setup](const std::string&, const std::string&) {
    HWND main = fake::AddWindow(nullptr, "ToolMain", caption);
    setup(main);
  });
}

class DriverTest : public FakeTest {};

TEST_F(DriverTest, RoadsWithoutAPublishAttemptEndFailed) {
  struct {
    const char* road;
    std::string commandLine;
    const char* errorLine;
  } cases[] = {
      {"empty command line", "", "ERROR: FLA not found"},
      {"missing document", "C:\\work\\gone.fla", "ERROR: FLA not found"},
      {"quoted path", "\"C:\\work\\intro.fla\"", "ERROR: FLA not found"},
      {"directory", "C:\\work", "ERROR: FLA not found"},
      {"bare name", "intro.fla", "ERROR: a fully qualified path to the FLA is required"},
      {"path ending in a separator", "C:\\work\\intro.fla\\",
       "ERROR: a fully qualified path to the FLA is required"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.road);
    StartFresh(1252);
    fake::AddFile("C:\\work\\intro.fla");
    fake::AddFile("intro.fla");
    fake::AddFile("C:\\work\\intro.fla\\");
    fake::AddDirectory("C:\\work");
    EXPECT_EQ(RunWith(c.commandLine), 0);
    EXPECT_EQ(fake::FileContents(kLog),
              LogHeader(c.commandLine) + c.errorLine + "\r\n" + Failed(c.commandLine));
    EXPECT_FALSE(ShellWasAsked());
  }
}

TEST_F(DriverTest, ADocumentHeldWithoutReadSharingCountsAsMissing) {
  fake::AddFile("C:\\work\\intro.fla");
  fake::HoldFile("C:\\work\\intro.fla", GENERIC_READ, 0);
  EXPECT_EQ(RunWith("C:\\work\\intro.fla"), 0);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("C:\\work\\intro.fla") +
                                          "ERROR: FLA not found\r\n" +
                                          Failed("C:\\work\\intro.fla"));
}

TEST_F(DriverTest, NoMainWindowLogsThatTheToolFailedToLoad) {
  fake::AddFile("C:\\work\\intro.fla");
  EXPECT_EQ(RunWith("C:\\work\\intro.fla"), 0);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("C:\\work\\intro.fla") +
                                          "ERROR: Flash failed to load\r\n" +
                                          Failed("C:\\work\\intro.fla"));
  EXPECT_TRUE(ShellWasAsked());
  EXPECT_TRUE(fake::KeyEvents().empty());
  EXPECT_TRUE(fake::ClosedWindows().empty());
}

TEST_F(DriverTest, TrailingBlanksBelongToTheDocumentName) {
  // The name is "intro.fla  ", which the main window's caption does not hold.
  fake::AddFile("C:\\work\\intro.fla  ");
  ToolOpensWith("intro.fla - CS3", [](HWND) {});
  EXPECT_EQ(RunWith("C:\\work\\intro.fla  "), 0);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("C:\\work\\intro.fla  ") +
                                          "ERROR: Flash failed to load\r\n" +
                                          Failed("C:\\work\\intro.fla  "));
}

TEST_F(DriverTest, PublishRoadsLogWhatWasCollected) {
  const std::string path = "C:\\work\\intro.fla";
  struct {
    const char* road;
    const char* caption;
    std::function<void(HWND main)> setup;
    std::string status;
  } cases[] = {
      {"list rows", "Tool CS3 - [intro.fla]",
       [](HWND main) {
         AddCompilerErrorsPanel(main, {{"A", "B", "C"}, {"D", "E", ""}});
       },
       Failed(path) + "\r\nA\tB\tC\t\r\r\nD\tE\t\t\r\r\n"},
      {"empty list", "Tool CS4 - [intro.fla]", [](HWND main) { AddCompilerErrorsPanel(main, {}); },
       "OK: " + path + "\r\n"},
      {"output text", "Tool - [intro.fla]",
       [](HWND) { AddOutputPanel("Error 1\nError 2\r\nlast"); },
       Failed(path) + "\r\nError 1\r\nError 2\r\r\nlast"},
      {"empty output", "Tool - [intro.fla]", [](HWND) { AddOutputPanel(""); },
       "OK: " + path + "\r\n"},
      {"no output panel", "Tool - [intro.fla]", [](HWND) {}, "OK: " + path + "\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.road);
    StartFresh(1252);
    fake::AddFile(path);
    ToolOpensWith(c.caption, c.setup);
    EXPECT_EQ(RunWith(path), 0);
    EXPECT_EQ(fake::FileContents(kLog), LogHeader(path) + c.status);
    EXPECT_EQ(fake::OpenFileHandles(), 0);
  }
}

TEST_F(DriverTest, ARelativePathWithASeparatorIsOpenedAsItIs) {
  fake::AddFile("sub\\intro.fla");
  ToolOpensWith("intro.fla", [](HWND) {});
  EXPECT_EQ(RunWith("sub\\intro.fla"), 0);
  EXPECT_EQ(fake::FileContents(kLog), LogHeader("sub\\intro.fla") + "OK: sub\\intro.fla\r\n");
  EXPECT_EQ(fake::Trace().front(), "ShellExecuteA 0 open sub\\intro.fla - - 5");
}

TEST_F(DriverTest, ASecondRunAppendsItsEntry) {
  fake::AddFile("C:\\work\\intro.fla");
  ToolOpensWith("Tool - [intro.fla]", [](HWND) { AddOutputPanel("no line end"); });
  RunWith("C:\\work\\intro.fla");
  fake::OnShellExecute(nullptr);
  RunWith("C:\\work\\gone.fla");
  EXPECT_EQ(fake::FileContents(kLog),
            LogHeader("C:\\work\\intro.fla") + Failed("C:\\work\\intro.fla") + "\r\nno line end" +
                LogHeader("C:\\work\\gone.fla") + "ERROR: FLA not found\r\n" +
                Failed("C:\\work\\gone.fla"));
}

TEST_F(DriverTest, DoubleByteNamesWithBackslashTrailBytesKeepTheirCharacters) {
  StartFresh(932);
  fake::SetModulePath("C:\\\x95\\\\k\x95\\");
  const std::string path = "C:\\work\\\x95\\.fla";
  fake::AddFile(path);
  ToolOpensWith("Tool CS3 - [\x95\\.fla]", [](HWND main) {
    AddCompilerErrorsPanel(main, {{"\x95\\", "b", "c"}});
  });
  EXPECT_EQ(RunWith(path), 0);
  EXPECT_EQ(fake::FileContents("C:\\\x95\\\\kelvane.txt"),
            LogHeader(path) + Failed(path) + "\r\n\x95\\\tb\tc\t\r\r\n");
}

}  // namespace
