// The start-up split of the raw command line: the program's name and the blanks after it go,
// the rest reaches the run byte for byte. The trail byte 0x5C is written as the backslash it is.
#include "run/command_line.h"

#include <string>

#include "fixture.h"

namespace {

TEST(SkipProgramNameTest, LeavesTheRemainderUntouched) {
  struct {
    unsigned codePage;
    const char* raw;
    const char* rest;
  } cases[] = {
      {1252, "", ""},
      {1252, "kelvane.exe", ""},
      {1252, "kelvane.exe C:\\a.fla", "C:\\a.fla"},
      {1252, "kelvane.exe C:\\my files\\intro.fla  ", "C:\\my files\\intro.fla  "},
      {1252, "kelvane.exe \"C:\\a.fla\"", "\"C:\\a.fla\""},
      {1252, "\"C:\\Program Files\\kelvane.exe\" C:\\a.fla", "C:\\a.fla"},
      {1252, "\"C:\\Program Files\\kelvane.exe\"C:\\a.fla", "C:\\a.fla"},
      {1252, "\"C:\\Program Files\\kelvane.exe", ""},
      {1252, "\"\" C:\\a.fla", "C:\\a.fla"},
      // Bytes of 128 and above belong to an unquoted name.
      {1252, "ab\351cd rest  ", "rest  "},
      {932, "k\x95\\e rest", "rest"},
      // Every byte from 1 to 32 after the name is a blank; 33 is not.
      {1252, "k \x01\x02\t\n\x1F \x20!x", "!x"},
      // An unquoted line that starts with a blank has an empty name.
      {1252, "  C:\\a.fla", "C:\\a.fla"},
      {1252, "\001C:\\a.fla", "C:\\a.fla"},
      // A quote that is a trail byte does not end a quoted name.
      {932, "\"k\x81\"x\" rest", "rest"},
      {1252, "\"k\x81\"x\" rest", "x\" rest"},
      // A lead byte just before the end: the scan stops at the end of the line.
      {932, "\"k\x81", ""},
      {932, "\"k\x81\"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " [" << c.raw << "]");
    StartFresh(c.codePage);
    EXPECT_EQ(std::string(SkipProgramName(c.raw)), c.rest);
  }
}

}  // namespace
