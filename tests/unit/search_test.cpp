// Window tree searches: depth-first, pre-order, start window first, topmost child first; the
// top-level search sees visible top-level windows only; a stale handle ends the walk.
#include "windows/search.h"

#include <functional>
#include <string>

#include "fixture.h"

namespace {

class SearchTest : public FakeTest {};

TEST_F(SearchTest, SubtreeSearchesTestTheStartWindowFirst) {
  HWND desktop = GetDesktopWindow();
  HWND frame = fake::AddWindow(nullptr, "Frame", "Frame match");
  fake::AddWindow(frame, "Child", "Child match");
  EXPECT_EQ(FindWindowByTitle(frame, "match"), frame);
  EXPECT_EQ(FindWindowByClass(frame, "Frame"), frame);
  EXPECT_EQ(FindWindowByTitle(nullptr, ""), desktop);
  EXPECT_EQ(FindWindowByClass(nullptr, "#32769"), desktop);
  fake::SetCaption(desktop, "desktop match");
  EXPECT_EQ(FindWindowByTitle(nullptr, "match"), desktop);
}

TEST_F(SearchTest, TheFirstMatchInPreOrderWins) {
  // first
  //   first.child ("Inner target", class Target)
  // second ("Outer target", class Target)
  HWND first = fake::AddWindow(nullptr, "Plain", "First");
  HWND inner = fake::AddWindow(first, "Target", "Inner target");
  HWND second = fake::AddWindow(nullptr, "Target", "Outer target");
  EXPECT_EQ(FindWindowByTitle(nullptr, "target"), inner);
  EXPECT_EQ(FindWindowByClass(nullptr, "Target"), inner);
  fake::BringToTop(second);
  EXPECT_EQ(FindWindowByTitle(nullptr, "target"), second);
  EXPECT_EQ(FindWindowByClass(nullptr, "Target"), second);
  EXPECT_EQ(FindWindowByTitle(first, "target"), inner);
  EXPECT_EQ(FindWindowByTitle(nullptr, "absent"), nullptr);
}

TEST_F(SearchTest, CaptionsMatchAsCaseSensitiveSubstrings) {
  struct {
    const char* caption;
    const char* sub;
    bool matches;
  } cases[] = {
      {"My Output Window", "Output", true},
      {"Output", "output", false},
      {"Output", "Output", true},
      {"Out", "Output", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.caption << " / " << c.sub);
    StartFresh(1252);
    HWND window = fake::AddWindow(nullptr, "Frame", c.caption);
    EXPECT_EQ(FindWindowByTitle(window, c.sub) == window, c.matches);
    EXPECT_EQ(FindTopLevelWindowByTitle(c.sub) == window, c.matches);
  }
}

TEST_F(SearchTest, SubtreeSearchesFindHiddenWindows) {
  HWND frame = fake::AddWindow(nullptr, "Frame", "Frame", false);
  HWND hidden = fake::AddWindow(frame, "Hidden", "Hidden one", false);
  EXPECT_EQ(FindWindowByTitle(nullptr, "Hidden one"), hidden);
  EXPECT_EQ(FindWindowByClass(nullptr, "Hidden"), hidden);
}

TEST_F(SearchTest, ClassAndTitleReturnsTheWindowWhoseClassMatched) {
  // panel (OWL.TabGroup)
  //   holder
  //     caption ("Compiler Errors")
  HWND panel = fake::AddWindow(nullptr, "OWL.TabGroup.3", "");
  HWND holder = fake::AddWindow(panel, "Holder", "");
  HWND caption = fake::AddWindow(holder, "Static", "Compiler Errors");
  EXPECT_EQ(FindWindowByClassAndTitle(nullptr, "OWL.TabGroup", "Compiler Errors"), panel);
  EXPECT_EQ(FindWindowByClassAndTitle(caption, "OWL.TabGroup", "Compiler Errors"), nullptr);

  fake::SetCaption(panel, "Compiler Errors");
  EXPECT_EQ(FindWindowByClassAndTitle(nullptr, "OWL.TabGroup", "Compiler Errors"), panel);
}

TEST_F(SearchTest, ClassAndTitleTakesTheOutermostOfNestedMatches) {
  HWND outer = fake::AddWindow(nullptr, "OWL.TabGroup.outer", "");
  HWND inner = fake::AddWindow(outer, "OWL.TabGroup.inner", "");
  fake::AddWindow(inner, "Static", "Compiler Errors");
  EXPECT_EQ(FindWindowByClassAndTitle(nullptr, "OWL.TabGroup", "Compiler Errors"), outer);
  EXPECT_EQ(FindWindowByClassAndTitle(nullptr, "inner", "Compiler Errors"), inner);
}

TEST_F(SearchTest, ClassAndTitlePassesOverAMatchedClassWithoutTheCaption) {
  // empty (OWL.TabGroup, no caption below)
  // other (Plain)
  //   panel (OWL.TabGroup)
  //     "Compiler Errors"
  fake::AddWindow(nullptr, "OWL.TabGroup.empty", "Compiler");
  HWND other = fake::AddWindow(nullptr, "Plain", "");
  HWND panel = fake::AddWindow(other, "OWL.TabGroup.3", "");
  fake::AddWindow(panel, "Static", "Compiler Errors");
  fake::AddWindow(nullptr, "Static", "Compiler Errors");
  EXPECT_EQ(FindWindowByClassAndTitle(nullptr, "OWL.TabGroup", "Compiler Errors"), panel);
}

TEST_F(SearchTest, TopLevelSearchSeesVisibleTopLevelWindowsOnly) {
  HWND hidden = fake::AddWindow(nullptr, "Frame", "intro.fla hidden", false);
  HWND frame = fake::AddWindow(nullptr, "Frame", "Frame");
  fake::AddWindow(frame, "Child", "intro.fla child");
  EXPECT_EQ(FindTopLevelWindowByTitle("intro.fla"), nullptr);

  HWND lower = fake::AddWindow(nullptr, "Frame", "intro.fla lower");
  HWND upper = fake::AddWindow(nullptr, "Frame", "intro.fla upper");
  EXPECT_EQ(FindTopLevelWindowByTitle("intro.fla"), lower);
  fake::BringToTop(upper);
  EXPECT_EQ(FindTopLevelWindowByTitle("intro.fla"), upper);
  fake::SetVisible(hidden, true);
  fake::BringToTop(hidden);
  EXPECT_EQ(FindTopLevelWindowByTitle("intro.fla"), hidden);
}

TEST_F(SearchTest, AWindowDestroyedMidSearchEndsTheWalkOfItsSiblings) {
  struct {
    const char* search;
    std::function<HWND()> run;
    bool topLevel;
  } searches[] = {
      {"title", [] { return FindWindowByTitle(nullptr, "target"); }, false},
      {"class", [] { return FindWindowByClass(nullptr, "Target"); }, false},
      {"class and title", [] { return FindWindowByClassAndTitle(nullptr, "Target", "target"); },
       false},
      {"top level", [] { return FindTopLevelWindowByTitle("target"); }, true},
  };
  for (const auto& s : searches) {
    for (bool destroyed : {false, true}) {
      SCOPED_TRACE(testing::Message() << s.search << (destroyed ? " destroyed" : " alive"));
      StartFresh(1252);
      HWND going = fake::AddWindow(nullptr, "Plain", "plain");
      HWND child = fake::AddWindow(going, "Target", "target child");
      HWND after = fake::AddWindow(nullptr, "Target", "target after");
      if (destroyed) {
        // Gone right after the search's first look at it.
        fake::OnFirstQuery(going, [going] { fake::Destroy(going); });
      }
      HWND expected = destroyed ? nullptr : (s.topLevel ? after : child);
      EXPECT_EQ(s.run(), expected);
    }
  }
}

}  // namespace
