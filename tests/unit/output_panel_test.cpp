// The Output panel harvest: wait for the panel, pause, read its control's text as it is, and
// close the panel if it is still there.
#include <string>
#include <vector>

#include "authoring/publish.h"
#include "fixture.h"

namespace {

class OutputPanelTest : public FakeTest {};

TEST_F(OutputPanelTest, TheControlTextIsReadAsItIsAndThePanelClosed) {
  HWND panel = AddOutputPanel("Error 1\nError 2\r\n  ");
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "Error 1\nError 2\r\n  ");
  EXPECT_EQ(fake::Trace(),
            (std::vector<std::string>{
                "Sleep 2000", "PostMessageA " + std::to_string(fake::Id(panel)) + " WM_CLOSE"}));
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{panel}));
}

TEST_F(OutputPanelTest, TheControlIsSoughtAfterThePause) {
  HWND panel = fake::AddWindow(nullptr, "OutputFrame", "Output");
  fake::After(1500, [panel] {
    HWND control = fake::AddWindow(panel, "Afx:400000:b:10011:6:0", "");
    fake::SetControlText(control, "late text");
  });
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "late text");
}

TEST_F(OutputPanelTest, APanelGoneDuringThePauseIsNotClosed) {
  HWND panel = AddOutputPanel("text");
  fake::After(1000, [panel] { fake::Destroy(panel); });
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "");
  EXPECT_TRUE(fake::ClosedWindows().empty());
  EXPECT_EQ(fake::Trace(), (std::vector<std::string>{"Sleep 2000"}));
}

TEST_F(OutputPanelTest, APanelWithoutTheControlReadsEmptyAndIsStillClosed) {
  HWND panel = fake::AddWindow(nullptr, "OutputFrame", "My Output Window");
  fake::AddWindow(panel, "Edit", "not this");
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "");
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{panel}));
}

TEST_F(OutputPanelTest, APanelWhoseOwnClassMatchesIsItselfRead) {
  HWND other = fake::AddWindow(nullptr, "Frame", "Another program", false);
  fake::AddWindow(other, "Afx:400000:b:10011:6:0", "not this");
  HWND panel = fake::AddWindow(nullptr, "Afx:400000:b:10011:6:0", "Output");
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "Output");
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{panel}));
}

TEST_F(OutputPanelTest, OnlyAVisibleTopLevelOutputWindowIsTaken) {
  HWND hidden = AddOutputPanel("hidden text");
  fake::SetVisible(hidden, false);
  HWND frame = fake::AddWindow(nullptr, "Frame", "Frame");
  HWND child = fake::AddWindow(frame, "ChildFrame", "Output");
  fake::AddWindow(child, "Afx:400000:b:10011:6:0", "child text");
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "");
  EXPECT_TRUE(fake::ClosedWindows().empty());
  EXPECT_GT(fake::Tick(), 10000u);

  StartFresh(1252);
  AddOutputPanel("lower");
  HWND upper = AddOutputPanel("upper");
  fake::BringToTop(upper);
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "upper");
  EXPECT_EQ(fake::ClosedWindows(), (std::vector<HWND>{upper}));
}

TEST_F(OutputPanelTest, AnEmptyControlReadsEmpty) {
  AddOutputPanel("");
  EXPECT_EQ(Bytes(HarvestOutputPanel(10)), "");
  EXPECT_EQ(fake::ClosedWindows().size(), 1u);
}

}  // namespace
