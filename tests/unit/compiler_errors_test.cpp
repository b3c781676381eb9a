// The Compiler Errors harvest: the wait for the panel's list view, and the rows read through
// a record and a text block in the list's own process, all released again.
#include "authoring/compiler_errors.h"

#include <string>
#include <vector>

#include "authoring/publish.h"
#include "fixture.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class CompilerErrorsTest : public FakeTest {};

TEST_F(CompilerErrorsTest, AListAlreadyThereIsTakenAtOnce) {
  HWND list = AddCompilerErrorsPanel(nullptr, {});
  EXPECT_EQ(WaitForCompilerErrorsList(10), list);
  EXPECT_TRUE(fake::Sleeps().empty());
}

TEST_F(CompilerErrorsTest, APanelOfAnyProgramAnywhereOnTheDesktopCounts) {
  HWND other = fake::AddWindow(nullptr, "OtherMain", "Another program", false, 300);
  HWND holder = fake::AddWindow(other, "Holder", "", true, 300);
  HWND list = AddCompilerErrorsPanel(holder, {}, 300);
  EXPECT_EQ(WaitForCompilerErrorsList(10), list);
}

TEST_F(CompilerErrorsTest, TheListIsSoughtFromThePanelItself) {
  // panel
  //   holder
  //     "Compiler Errors"
  //   list
  HWND panel = fake::AddWindow(nullptr, "OWL.TabGroup.3", "");
  HWND holder = fake::AddWindow(panel, "Holder", "");
  fake::AddWindow(holder, "Static", "Compiler Errors");
  HWND list = fake::AddWindow(panel, "SysListView32", "");
  EXPECT_EQ(WaitForCompilerErrorsList(10), list);
}

TEST_F(CompilerErrorsTest, OnlyTheFirstMatchingPanelIsSearchedForTheList) {
  fake::AddWindow(nullptr, "OWL.TabGroup.empty", "Compiler Errors");
  AddCompilerErrorsPanel(nullptr, {{"not", "this", "one"}});
  fake::AddWindow(nullptr, "SysListView32", "a list outside any panel");
  EXPECT_EQ(WaitForCompilerErrorsList(10), nullptr);
  EXPECT_GT(fake::Tick(), 10000u);
  EXPECT_LE(fake::Tick(), 10100u);
  for (std::uint32_t pause : fake::Sleeps()) {
    EXPECT_EQ(pause, 100u);
  }

  StartFresh(1252);
  HWND empty = fake::AddWindow(nullptr, "OWL.TabGroup.empty", "Compiler Errors");
  AddCompilerErrorsPanel(nullptr, {});
  HWND late = nullptr;
  fake::After(3000, [empty, &late] { late = fake::AddWindow(empty, "SysListView32", ""); });
  HWND found = WaitForCompilerErrorsList(10);
  EXPECT_NE(late, nullptr);
  EXPECT_EQ(found, late);
}

TEST_F(CompilerErrorsTest, ANegativeLimitMakesNoAttempt) {
  HWND list = AddCompilerErrorsPanel(nullptr, {});
  fake::OnFirstQuery(list, [] { ADD_FAILURE() << "the list was looked at"; });
  EXPECT_EQ(WaitForCompilerErrorsList(-1), nullptr);
}

TEST_F(CompilerErrorsTest, RowsAreReadThreeCellsEach) {
  std::string longCell(300, 'x');
  struct {
    const char* name;
    Rows rows;
    std::string expected;
  } cases[] = {
      {"no rows", {}, ""},
      {"two rows", {{"A", "B", "C"}, {"D", "E", ""}}, "A\tB\tC\t\r\nD\tE\t\t\r\n"},
      {"more columns", {{"a", "b", "c", "d"}}, "a\tb\tc\t\r\n"},
      {"cell over 254 bytes", {{longCell, "b", "c"}}, std::string(254, 'x') + "\tb\tc\t\r\n"},
      {"cell of 254 bytes",
       {{std::string(254, 'y'), "", ""}},
       std::string(254, 'y') + "\t\t\t\r\n"},
      {"missing column", {{"A", "B", "C"}, {"D", "E"}}, "A\tB\tC\t\r\nD\tE\t\t\r\n"},
      {"missing row cells", {{"A", "B", "C"}, {}}, "A\tB\tC\t\r\n\t\t\t\r\n"},
      {"missing first cells", {{}}, "\t\t\t\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartFresh(1252);
    HWND list = AddCompilerErrorsPanel(nullptr, c.rows, 200);
    EXPECT_EQ(Bytes(ReadListViewRows(list)), c.expected);
    EXPECT_TRUE(fake::EveryRemoteAddressWasValid());
    EXPECT_EQ(fake::OpenProcessHandles(), 0);
    EXPECT_EQ(fake::LiveAllocations(), 0);
  }
}

TEST_F(CompilerErrorsTest, WithoutTheProcessOrItsBlocksEveryRowStillHasItsLine) {
  struct {
    const char* name;
    bool openFails;
    bool allocationFails;
    int allocationsThatSucceed;
  } cases[] = {
      {"process cannot be opened", true, false, 0},
      {"no block at all", false, true, 0},
      {"no text block", false, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StartFresh(1252);
    HWND list = AddCompilerErrorsPanel(nullptr, {{"A", "B", "C"}, {"D", "E", "F"}});
    fake::SetOpenProcessFails(c.openFails);
    fake::SetAllocationFails(c.allocationFails, c.allocationsThatSucceed);
    EXPECT_EQ(Bytes(ReadListViewRows(list)), "\t\t\t\r\n\t\t\t\r\n");
    EXPECT_TRUE(fake::RemoteAddressesUsed().empty());
    EXPECT_EQ(fake::OpenProcessHandles(), 0);
    EXPECT_EQ(fake::LiveAllocations(), 0);
  }
}

TEST_F(CompilerErrorsTest, AListThatWentAwayReadsNoRows) {
  HWND list = AddCompilerErrorsPanel(nullptr, {{"A", "B", "C"}});
  fake::Destroy(list);
  EXPECT_EQ(Bytes(ReadListViewRows(list)), "");
  EXPECT_TRUE(fake::EveryRemoteAddressWasValid());
  EXPECT_EQ(fake::OpenProcessHandles(), 0);
  EXPECT_EQ(fake::LiveAllocations(), 0);
}

TEST_F(CompilerErrorsTest, ManyRowsAreReadInOrder) {
  Rows rows;
  std::string expected;
  for (int i = 0; i < 500; ++i) {
    std::string n = std::to_string(i);
    rows.push_back({"file" + n, "line " + n, "error " + n});
    expected.append("file" + n).append("\tline " + n).append("\terror " + n).append("\t\r\n");
  }
  HWND list = AddCompilerErrorsPanel(nullptr, rows);
  EXPECT_EQ(Bytes(ReadListViewRows(list)), expected);
  EXPECT_EQ(fake::LiveAllocations(), 0);
}

}  // namespace
