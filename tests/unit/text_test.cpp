// Text over a single-byte (1252) and a double-byte (932) code page: searches never start on a
// trail byte, copies never end on a lone lead byte, and the exact edge of every operation.
// The trail bytes 0x5C and 0x40 are written as the characters they are: \\ and @.
#include <string>

#include "fixture.h"

namespace {

TEST(TextTest, FindGivesTheFirstMatchOnACharacterBoundary) {
  struct {
    unsigned codePage;
    const char* text;
    const char* sub;
    int start;
    int expected;
  } cases[] = {
      {1252, "CS3 intro.fla", "CS3", 0, 0},
      {1252, "abcdefCS3", "CS3", 0, 6},
      {1252, "intro.fla", "CS3", 0, -1},
      {1252, "", "CS3", 0, -1},
      {1252, "abc", "", 3, 3},
      {1252, "abc", "", 4, -1},
      {1252, "abc", "c", 4, -1},
      {1252, "abcabc", "bc", 2, 4},
      {1252, "Output", "output", 0, -1},
      {1252, "\x81\\a\\", "\\", 0, 1},
      {932, "\x81\\a\\", "\\", 0, 3},
      {932, "\x95\\a", "\\a", 0, -1},
      {932, "\x81@ab", "ab", 1, 2},
      {932, "\x81@", "@", 0, -1},
      {932, "x\x81@@", "@", 0, 3},
      {932, "\x95\\CS3", "CS3", 0, 2},
      {932, "a\x81@", "\x81@", 0, 1},
      {932, "\x81\\\\", "\\", 1, 2},
      {932, "\x81\x81@", "\x81@", 0, -1},
      {932, "\x81\x81\x81@x", "\x81@", 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.text << "\" find \"" << c.sub
                                    << "\" from " << c.start);
    StartFresh(c.codePage);
    EXPECT_EQ(Text(c.text).Find(c.sub, c.start), c.expected);
  }
}

TEST(TextTest, FindCharNeverStopsOnATrailByte) {
  struct {
    unsigned codePage;
    char ch;
    const char* text;
    int start;
    int expected;
  } cases[] = {
      {1252, '\\', "a\\b\\", 0, 1},  {1252, '\\', "a\\b\\", 2, 3},
      {1252, 'c', "abc", 2, 2},      {1252, 'c', "abc", 3, -1},
      {1252, 'a', "", 0, -1},        {1252, '\\', "\x95\\", 0, 1},
      {932, '\\', "\x95\\", 0, -1},  {932, '\\', "\x95\\", 1, -1},
      {932, '\\', "\x95\\\\", 0, 2}, {932, '\\', "C:\\\x95\\\\x", 3, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.text << "\" from " << c.start);
    StartFresh(c.codePage);
    EXPECT_EQ(Text(c.text).FindChar(c.ch, c.start), c.expected);
  }
}

TEST(TextTest, LeftAndRightClampAndDropALoneLeadByte) {
  struct {
    unsigned codePage;
    const char* text;
    bool left;
    int count;
    const char* expected;
  } cases[] = {
      {1252, "abc", true, -1, ""},
      {1252, "abc", true, 0, ""},
      {1252, "abc", true, 2, "ab"},
      {1252, "abc", true, 3, "abc"},
      {1252, "abc", true, 9, "abc"},
      {1252, "abc", false, -1, ""},
      {1252, "abc", false, 2, "bc"},
      {1252, "abc", false, 9, "abc"},
      {1252, "ab\x81@", true, 3, "ab\x81"},
      {932, "ab\x81@", true, 3, "ab"},
      {932, "ab\x81@", true, 4, "ab\x81@"},
      {932, "\x81@c", true, 1, ""},
      {932, "a\x81@", false, 2, "\x81@"},
      {932, "a\x81@", false, 1, "@"},
      // The trail byte 0x81 lies in the lead range: alone at the end it is dropped.
      {932, "a\x95\x81", false, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.text << "\" "
                                    << (c.left ? "Left " : "Right ") << c.count);
    StartFresh(c.codePage);
    Text text = c.text;
    EXPECT_EQ(Bytes(c.left ? text.Left(c.count) : text.Right(c.count)), c.expected);
  }
}

TEST(TextTest, CopiesDropALoneLeadByteWhileAssignmentAndAppendKeepIt) {
  struct {
    unsigned codePage;
    const char* bytes;
    const char* copied;
  } cases[] = {
      {1252, "ab\x81", "ab\x81"}, {932, "ab\x81", "ab"},         {932, "\x81", ""},
      {932, "a\x81@", "a\x81@"},  {932, "\x81\x81", "\x81\x81"}, {932, "\x81\x81\x81", "\x81\x81"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.bytes << "\"");
    StartFresh(c.codePage);
    EXPECT_EQ(Bytes(Text(c.bytes)), c.copied);

    Text assigned;
    assigned = c.bytes;
    EXPECT_EQ(Bytes(assigned), c.bytes);
    EXPECT_EQ(Bytes(Text(assigned)), c.copied);

    Text appended = "x";
    appended += c.bytes;
    EXPECT_EQ(Bytes(appended), std::string("x") + c.bytes);
    EXPECT_EQ(Bytes(Text("x") + c.bytes), std::string("x") + c.copied);
  }
}

TEST(TextTest, TrimRightCutsOnlyTheTrailingRunOfBlanks) {
  struct {
    unsigned codePage;
    const char* text;
    const char* expected;
  } cases[] = {
      {1252, "abc \t ", "abc"},
      {1252, "   ", ""},
      {1252, "", ""},
      {1252, "a\t\n\v\f\r ", "a"},
      {1252, "a  b  ", "a  b"},
      {1252, "a\x08", "a\x08"},
      {1252, "a\x0E", "a\x0E"},
      {1252, "a\xA0", "a\xA0"},
      {1252, "a\xA0 ", "a\xA0"},
      {1252, "x\x81 ", "x\x81"},
      // The blank after a lead byte is its trail byte and is never tested.
      {932, "x\x81 ", "x\x81 "},
      {932, "x\x81\t", "x\x81\t"},
      {932, "x\x81@  ", "x\x81@"},
      {932, "\x81@ \x81@ ", "\x81@ \x81@"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.text << "\"");
    StartFresh(c.codePage);
    Text text = c.text;
    text.TrimRight();
    EXPECT_EQ(Bytes(text), c.expected);
    EXPECT_TRUE(text == c.expected);
  }
}

TEST(TextTest, ReplaceNeverSearchesInsertedTextAgain) {
  struct {
    unsigned codePage;
    int count;  // replacements made
    const char* text;
    const char* old;
    const char* with;
    const char* expected;
  } cases[] = {
      {1252, 0, "abc", "\n", "\r\n", "abc"},
      {1252, 0, "", "\n", "\r\n", ""},
      {1252, 1, "a\nb", "\n", "\r\n", "a\r\nb"},
      {1252, 1, "a\r\nb", "\n", "\r\n", "a\r\r\nb"},
      {1252, 2, "\n\n", "\n", "\r\n", "\r\n\r\n"},
      {1252, 1, "a\tb\tc\t\r\n", "\n", "\r\n", "a\tb\tc\t\r\r\n"},
      {1252, 0, "abc", "", "x", "abc"},
      {1252, 1, "aaa", "aa", "b", "ba"},
      {1252, 2, "aa", "a", "aa", "aaaa"},
      {932, 1, "\x95\\a\\", "\\", "/", "\x95\\a/"},
      {932, 0, "\x81\n", "\n", "\r\n", "\x81\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " \"" << c.text << "\"");
    StartFresh(c.codePage);
    Text text;
    text = c.text;
    EXPECT_EQ(text.Replace(c.old, c.with), c.count);
    EXPECT_EQ(Bytes(text), c.expected);
  }
}

TEST(TextTest, ReplaceGrowsALongTextWhole) {
  StartFresh(1252);
  std::string lines;
  std::string expected;
  for (int i = 0; i < 2000; ++i) {
    lines += "row\n";
    expected += "row\r\n";
  }
  Text text = lines.c_str();
  EXPECT_EQ(text.Replace("\n", "\r\n"), 2000);
  EXPECT_EQ(Bytes(text), expected);
}

TEST(TextTest, AssignmentAndAppendSurviveTheirOwnBytes) {
  StartFresh(1252);
  Text text = "abc";
  const Text& same = text;
  text = same;
  EXPECT_EQ(Bytes(text), "abc");
  text = text.Bytes();
  EXPECT_EQ(Bytes(text), "abc");
  text += text;
  EXPECT_EQ(Bytes(text), "abcabc");
  text += text.Bytes() + 4;
  EXPECT_EQ(Bytes(text), "abcabcbc");
  EXPECT_EQ(text.Length(), 8);
}

TEST(TextTest, LengthAndEqualityStopAtTheFirstNul) {
  StartFresh(1252);
  EXPECT_EQ(Text("ab\0cd").Length(), 2);
  EXPECT_EQ(Text("ab\0cd", 5).Length(), 2);  // a counted copy never carries a NUL inside
  EXPECT_TRUE(Text() == "");
  EXPECT_TRUE(Text("abc") == "abc");
  EXPECT_FALSE(Text("abc") == "ab");
  EXPECT_FALSE(Text("ab") == "abc");
  EXPECT_EQ(Bytes(Text("a") + Text("b") + "c"), "abc");
}

}  // namespace
