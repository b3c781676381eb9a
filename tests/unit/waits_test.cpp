// Timed window waits over the fake clock: the limit is tested before every attempt with the
// signed tick difference, so the counter's wrap does not disturb it.
#include "windows/waits.h"

#include <cstdint>

#include "fixture.h"

namespace {

class WaitsTest : public FakeTest {};

TEST_F(WaitsTest, WithinLimitComparesTheSignedTickDifference) {
  struct {
    std::uint32_t start;
    std::uint32_t now;
    int seconds;
    bool within;
  } cases[] = {
      {0, 0, 0, true},
      {0, 1, 0, false},
      {0, 10000, 10, true},
      {0, 10001, 10, false},
      {0xFFFFFF00u, 0xFFFFFF00u + 10000u, 10, true},
      {0xFFFFFF00u, 0xFFFFFF00u + 10001u, 10, false},
      {0xFFFFF000u, 0x00000100u, 10, true},
      {0, 0, -1, false},
      {100, 99, 0, true},
      {0, 2000000000u, 2000000, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " -> " << c.now << " limit " << c.seconds);
    StartFresh(1252);
    fake::SetTick(c.now);
    EXPECT_EQ(WithinLimit(c.start, c.seconds), c.within);
  }
}

TEST_F(WaitsTest, AWindowAlreadyThereIsReturnedByTheFirstAttempt) {
  HWND window = fake::AddWindow(nullptr, "Frame", "Tool - intro.fla");
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", 30), window);
  EXPECT_TRUE(fake::Sleeps().empty());
}

TEST_F(WaitsTest, AHiddenWindowIsReturnedOnceItIsShown) {
  HWND window = fake::AddWindow(nullptr, "Frame", "Tool - intro.fla", false);
  fake::After(4000, [window] { fake::SetVisible(window, true); });
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", 30), window);
  EXPECT_GE(fake::Tick(), 4000u);
  EXPECT_LE(fake::Tick(), 4050u);
}

TEST_F(WaitsTest, NothingFoundEndsJustAfterTheLimit) {
  struct {
    std::uint32_t start;
    int seconds;
  } cases[] = {
      {0, 10},
      {0, 30},
      {0xFFFFFFFFu - 5000u, 10},
      {0xFFFFFFFFu, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "start " << c.start << " limit " << c.seconds);
    StartFresh(1252);
    fake::SetTick(c.start);
    fake::AddWindow(nullptr, "Frame", "Tool - intro.fla", false);
    EXPECT_EQ(WaitForTopLevelWindow("intro.fla", c.seconds), nullptr);
    std::uint32_t waited = fake::Tick() - c.start;
    EXPECT_GT(waited, static_cast<std::uint32_t>(c.seconds) * 1000u);
    EXPECT_LE(waited, static_cast<std::uint32_t>(c.seconds) * 1000u + 50u);
  }
}

TEST_F(WaitsTest, AWindowThatComesAcrossTheTickWrapIsFound) {
  fake::SetTick(0xFFFFFFFFu - 2000u);
  fake::After(5000, [] { fake::AddWindow(nullptr, "Frame", "Tool - intro.fla"); });
  EXPECT_NE(WaitForTopLevelWindow("intro.fla", 10), nullptr);
  EXPECT_LT(fake::Tick(), 0x10000u);
}

TEST_F(WaitsTest, ALimitOfZeroSearchesOnlyWhileTheTickStands) {
  HWND window = fake::AddWindow(nullptr, "Frame", "Tool - intro.fla");
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", 0), window);

  StartFresh(1252);
  fake::After(1, [] { fake::AddWindow(nullptr, "Frame", "Tool - intro.fla"); });
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", 0), nullptr);
  EXPECT_LE(fake::Sleeps().size(), 1u);
}

TEST_F(WaitsTest, ANegativeLimitMakesNoAttempt) {
  HWND window = fake::AddWindow(nullptr, "Frame", "Tool - intro.fla");
  fake::OnFirstQuery(window, [] { ADD_FAILURE() << "the window was looked at"; });
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", -1), nullptr);
  EXPECT_EQ(WaitForTopLevelWindow("intro.fla", -30), nullptr);
  EXPECT_TRUE(fake::Sleeps().empty());
}

TEST_F(WaitsTest, TheWaitPausesBetweenAttempts) {
  fake::AddWindow(nullptr, "Frame", "Tool - intro.fla", false);
  WaitForTopLevelWindow("intro.fla", 30);
  std::vector<std::uint32_t> sleeps = fake::Sleeps();
  ASSERT_FALSE(sleeps.empty());
  for (std::uint32_t pause : sleeps) {
    EXPECT_GE(pause, 10u);
    EXPECT_LE(pause, 50u);
  }
}

}  // namespace
