// Window probes: the caption as long as the window says it is, the class name and control
// text up to their caps, and empty texts from windows that have gone away.
#include "windows/probes.h"

#include <climits>
#include <string>

#include "fixture.h"

namespace {

class ProbesTest : public FakeTest {};

TEST_F(ProbesTest, WindowTitleTakesTheLengthTheWindowReports) {
  struct {
    const char* caption;
    bool overrides;
    LRESULT reported;
    const char* expected;
  } cases[] = {
      {"Output", false, 0, "Output"},
      {"", false, 0, ""},
      {"Output", true, 3, "Out"},
      {"Output", true, 0, ""},
      {"Output", true, 40, "Output"},
      {"Output", true, -1, ""},
      {"Output", true, -6, ""},
      {"Output", true, INT_MAX, ""},
      {"Output", true, LRESULT{1} << 40, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.caption << " reported " << c.reported);
    StartFresh(1252);
    HWND window = fake::AddWindow(nullptr, "Frame", c.caption);
    if (c.overrides) {
      fake::SetReportedCaptionLength(window, c.reported);
    }
    EXPECT_EQ(Bytes(WindowTitle(window)), c.expected);
  }
}

TEST_F(ProbesTest, ClassNameAndControlTextAreCutAtTheirCaps) {
  std::string longClass(1500, 'c');
  std::string longText(40000, 't');
  HWND window = fake::AddWindow(nullptr, longClass, "caption");
  fake::SetControlText(window, longText);
  EXPECT_EQ(Bytes(WindowClassName(window)), longClass.substr(0, 1023));
  EXPECT_EQ(Bytes(ControlText(window)), longText.substr(0, 32767));

  std::string fits(32767, 'f');
  fake::SetControlText(window, fits);
  EXPECT_EQ(Bytes(ControlText(window)), fits);
}

TEST_F(ProbesTest, EachProbeUsesItsOwnCall) {
  HWND window = fake::AddWindow(nullptr, "Afx:400000:b:10011:6:0", "Caption");
  fake::SetControlText(window, "Body\nlines");
  EXPECT_EQ(Bytes(WindowTitle(window)), "Caption");
  EXPECT_EQ(Bytes(ControlText(window)), "Body\nlines");
  EXPECT_EQ(Bytes(WindowClassName(window)), "Afx:400000:b:10011:6:0");
}

TEST_F(ProbesTest, AWindowThatWentAwayReadsEmpty) {
  HWND window = fake::AddWindow(nullptr, "Frame", "Output");
  fake::SetControlText(window, "text");
  fake::Destroy(window);
  EXPECT_EQ(Bytes(WindowTitle(window)), "");
  EXPECT_EQ(Bytes(WindowClassName(window)), "");
  EXPECT_EQ(Bytes(ControlText(window)), "");
  EXPECT_EQ(Bytes(WindowTitle(nullptr)), "");
}

}  // namespace
