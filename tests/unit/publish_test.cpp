// The publish attempt: its outward actions in order, the CS3 and CS4 marks choosing the
// collection road, and the close requests it sends.
#include "authoring/publish.h"

#include <algorithm>
#include <string>
#include <vector>

#include "fixture.h"

namespace {

const char kPath[] = "C:\\work\\intro.fla";
const char kName[] = "intro.fla";

std::string Line(const char* call, HWND window) {
  return std::string(call) + " " + std::to_string(fake::Id(window));
}

// What every attempt that finds its main window does before collecting: open, bring the
// window forward, pause, Shift+F12 with the left Shift key's own codes, pause.
std::vector<std::string> OpenedAndPublished(HWND main) {
  return {
      "ShellExecuteA 0 open C:\\work\\intro.fla - - 5",
      Line("SetForegroundWindow", main),
      "Sleep 1000",
      "keybd_event a0 2a 0 0",
      "keybd_event 7b 58 0 0",
      "keybd_event 7b 58 2 0",
      "keybd_event a0 2a 2 0",
      "Sleep 1000",
  };
}

std::vector<std::string> Without100msPauses(std::vector<std::string> trace) {
  trace.erase(std::remove(trace.begin(), trace.end(), "Sleep 100"), trace.end());
  return trace;
}

long CountOf(const std::vector<std::uint32_t>& sleeps, std::uint32_t pause) {
  return std::count(sleeps.begin(), sleeps.end(), pause);
}

class PublishTest : public FakeTest {};

TEST_F(PublishTest, VersionMarksCountOnlyAfterTheFirstByte) {
  struct {
    const char* caption;
    bool cs3;
    bool cs4;
  } cases[] = {
      {"Tool CS3 - intro.fla", true, false},
      {"Tool CS4 - intro.fla", false, true},
      {"xCS3 CS4", true, true},
      {"CS3 intro.fla", false, false},
      {"CS3 intro.fla CS3", false, false},
      {"CS4 intro CS3", true, false},
      {"Tool - intro.fla", false, false},
      {"", false, false},
      {"cs3 cs4", false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    VersionMarks marks = ReadVersionMarks(c.caption);
    EXPECT_EQ(marks.cs3, c.cs3);
    EXPECT_EQ(marks.cs4, c.cs4);
  }
}

TEST_F(PublishTest, TheListRoadActsInOrder) {
  HWND main = fake::AddWindow(nullptr, "ToolMain", "Tool CS3 - [intro.fla]");
  AddCompilerErrorsPanel(main, {{"a", "b", "c"}});
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_TRUE(outcome.toolLoaded);
  EXPECT_EQ(Bytes(outcome.errorText), "a\tb\tc\t\r\n");
  std::vector<std::string> expected = OpenedAndPublished(main);
  expected.push_back(Line("PostMessageA", main) + " WM_CLOSE");
  EXPECT_EQ(fake::Trace(), expected);
  EXPECT_EQ(fake::ForegroundWindow(), main);
}

TEST_F(PublishTest, TheOutputRoadClosesThePanelBeforeTheMainWindow) {
  HWND main = fake::AddWindow(nullptr, "ToolMain", "Tool - [intro.fla]");
  HWND panel = AddOutputPanel("Error\n");
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_TRUE(outcome.toolLoaded);
  EXPECT_EQ(Bytes(outcome.errorText), "Error\n");
  std::vector<std::string> expected = OpenedAndPublished(main);
  expected.push_back("Sleep 2000");
  expected.push_back(Line("PostMessageA", panel) + " WM_CLOSE");
  expected.push_back(Line("PostMessageA", main) + " WM_CLOSE");
  EXPECT_EQ(fake::Trace(), expected);
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{panel, main}));
}

TEST_F(PublishTest, ACaptionBeginningWithAMarkTakesTheOutputRoad) {
  fake::AddWindow(nullptr, "ToolMain", "CS3 intro.fla CS3");
  AddCompilerErrorsPanel(nullptr, {{"list", "row", ""}});
  AddOutputPanel("from the output panel");
  EXPECT_EQ(Bytes(PublishDocument(kPath, kName).errorText), "from the output panel");
}

TEST_F(PublishTest, AMainWindowOpenedByTheShellIsWaitedFor) {
  std::string verbSeen;
  std::string fileSeen;
  fake::OnShellExecute([&](const std::string& verb, const std::string& file) {
    verbSeen = verb;
    fileSeen = file;
    fake::After(3000, [] { fake::AddWindow(nullptr, "ToolMain", "Tool CS4 - [intro.fla]"); });
  });
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_TRUE(outcome.toolLoaded);
  EXPECT_EQ(verbSeen, "open");
  EXPECT_EQ(fileSeen, kPath);
  EXPECT_EQ(fake::KeyEvents().size(), 4u);
}

TEST_F(PublishTest, AnotherProgramsWindowHigherUpIsTakenForTheMainWindow) {
  fake::AddWindow(nullptr, "ToolMain", "Tool - [intro.fla]");
  HWND viewer = fake::AddWindow(nullptr, "Viewer", "intro.fla - Viewer");
  fake::BringToTop(viewer);
  PublishDocument(kPath, kName);
  EXPECT_EQ(fake::ForegroundWindow(), viewer);
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{viewer}));
}

TEST_F(PublishTest, NoMainWindowSendsNothingAndClosesNothing) {
  fake::AddWindow(nullptr, "ToolMain", "Tool - [intro.fla]", false);
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_FALSE(outcome.toolLoaded);
  EXPECT_EQ(Bytes(outcome.errorText), "");
  EXPECT_TRUE(fake::KeyEvents().empty());
  EXPECT_TRUE(fake::ClosedWindows().empty());
  EXPECT_EQ(fake::ForegroundWindow(), nullptr);
  EXPECT_GT(fake::Tick(), 30000u);
  std::vector<std::string> trace = fake::Trace();
  EXPECT_EQ(std::count_if(trace.begin(), trace.end(),
                          [](const std::string& line) { return line.rfind("Sleep", 0) != 0; }),
            1);
}

TEST_F(PublishTest, BothMarksMakeTwoListWaits) {
  fake::AddWindow(nullptr, "ToolMain", "Tool CS3 - [intro.fla]");
  PublishDocument(kPath, kName);
  long oneWait = CountOf(fake::Sleeps(), 100);
  EXPECT_GT(oneWait, 0);

  StartFresh(1252);
  fake::AddWindow(nullptr, "ToolMain", "Tool CS3 CS4 - [intro.fla]");
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_EQ(CountOf(fake::Sleeps(), 100), 2 * oneWait);
  EXPECT_EQ(Bytes(outcome.errorText), "");
  EXPECT_EQ(fake::ClosedWindows().size(), 1u);
}

TEST_F(PublishTest, WithBothMarksTheSecondWaitsListIsRead) {
  HWND main = fake::AddWindow(nullptr, "ToolMain", "Tool CS3 CS4 - [intro.fla]");
  HWND panel = fake::AddWindow(main, "OWL.TabGroup.3", "");
  fake::AddWindow(panel, "Static", "Compiler Errors");
  HWND firstList = fake::AddWindow(panel, "SysListView32", "");
  fake::SetListRows(firstList, {{"first", "list", ""}});
  // The first wait takes this list; the panel then goes and another one comes up.
  fake::OnFirstQuery(firstList, [panel] {
    fake::Destroy(panel);
    AddCompilerErrorsPanel(nullptr, {{"second", "list", ""}});
  });
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_EQ(Bytes(outcome.errorText), "second\tlist\t\t\r\n");
  EXPECT_EQ(Without100msPauses(fake::Trace()).back(), Line("PostMessageA", main) + " WM_CLOSE");
}

TEST_F(PublishTest, NoListWithinTheLimitCollectsNothing) {
  HWND main = fake::AddWindow(nullptr, "ToolMain", "Tool CS4 - [intro.fla]");
  AddOutputPanel("not read on this road");
  PublishOutcome outcome = PublishDocument(kPath, kName);
  EXPECT_TRUE(outcome.toolLoaded);
  EXPECT_EQ(Bytes(outcome.errorText), "");
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{main}));
}

}  // namespace
