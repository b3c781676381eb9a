// Path helpers: the document's file name, the program's own directory (a trail byte 0x5C is
// never a separator) and the existence probe (directories and held files count as missing).
// The trail byte 0x5C is written as the backslash it is.
#include "run/paths.h"

#include <string>

#include "fixture.h"

namespace {

TEST(PathsTest, FileNameOfIsWhatFollowsTheLastSeparator) {
  struct {
    unsigned codePage;
    const char* path;
    const char* name;
  } cases[] = {
      {1252, "C:\\work\\intro.fla", "intro.fla"},
      {1252, "intro.fla", ""},
      {1252, "", ""},
      {1252, "C:\\work\\", ""},
      {1252, "sub\\intro.fla  ", "intro.fla  "},
      {1252, "C:\\\x95\\a.fla", "a.fla"},
      {932, "C:\\\x95\\a.fla", "\x95\\a.fla"},
      {932, "C:\\w\\\x95\\", "\x95\\"},
      {932, "\x95\\a.fla", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " [" << c.path << "]");
    StartFresh(c.codePage);
    EXPECT_EQ(Bytes(FileNameOf(c.path)), c.name);
  }
}

TEST(PathsTest, ToolDirectoryIsTheExecutablesDirectory) {
  std::string longDirectory = "C:\\" + std::string(250, 'd');
  struct {
    unsigned codePage;
    std::string module;
    std::string directory;
  } cases[] = {
      {1252, "C:\\Tools\\kelvane.exe", "C:\\Tools"},
      {1252, "C:\\kelvane.exe", "C:"},
      {1252, "kelvane.exe", ""},
      {1252, "C:\\Tools\\\\kelvane.exe", "C:\\Tools\\"},
      // An executable name whose last character has the trail byte 0x5C.
      {932, "C:\\Tools\\k\x95\\", "C:\\Tools"},
      {932, "C:\\\x95\\\\kelvane.exe", "C:\\\x95\\"},
      {1252, "C:\\Tools\\k\x95\\", "C:\\Tools\\k\x95"},
      // A path of 260 bytes or more is cut to 259 before the directory is taken.
      {1252, longDirectory + "\\kelvane.exe", longDirectory},
      {1252, longDirectory + "\\sub\\kelvane.exe", longDirectory + "\\sub"},
      {1252, "C:\\" + std::string(258, 'd') + "\\kelvane.exe", "C:"},
      {1252, "C:\\" + std::string(256, 'd') + "\\kelvane.exe", "C:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " [" << c.module << "]");
    StartFresh(c.codePage);
    fake::SetModulePath(c.module);
    EXPECT_EQ(Bytes(ToolDirectory(fake::Instance())), c.directory);
  }
}

TEST(PathsTest, StripTrailingBackslashDropsBlanksAndOneBackslash) {
  struct {
    unsigned codePage;
    const char* text;
    const char* expected;
  } cases[] = {
      {1252, "C:\\Tools\\  ", "C:\\Tools"},
      {1252, "C:\\Tools\\\\", "C:\\Tools\\"},
      {1252, "C:\\Tools", "C:\\Tools"},
      {1252, "\\", ""},
      {1252, "", ""},
      {1252, "C:\\\x95\\", "C:\\\x95"},
      {932, "C:\\\x95\\", "C:\\\x95\\"},
      {932, "C:\\\x95\\\\ ", "C:\\\x95\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.codePage << " [" << c.text << "]");
    StartFresh(c.codePage);
    EXPECT_EQ(Bytes(StripTrailingBackslash(c.text)), c.expected);
  }
}

class FileExistsTest : public FakeTest {};

TEST_F(FileExistsTest, OnlyAFileThatOpensForSharedReadingExists) {
  fake::AddFile("C:\\work\\intro.fla");
  fake::AddDirectory("C:\\work");
  EXPECT_TRUE(FileExists("C:\\work\\intro.fla"));
  EXPECT_FALSE(FileExists("C:\\work\\other.fla"));
  EXPECT_FALSE(FileExists("C:\\work"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists("\"C:\\work\\intro.fla\""));
  EXPECT_EQ(fake::OpenFileHandles(), 0);
}

TEST_F(FileExistsTest, AFileHeldOpenElsewhereMayCountAsMissing) {
  struct {
    DWORD access;
    DWORD share;
    bool exists;
  } cases[] = {
      {GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_READ, 0, false},
      {GENERIC_WRITE, FILE_SHARE_READ, false},
      {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "access " << c.access << " share " << c.share);
    StartFresh(1252);
    fake::AddFile("C:\\work\\intro.fla");
    int hold = fake::HoldFile("C:\\work\\intro.fla", c.access, c.share);
    EXPECT_EQ(FileExists("C:\\work\\intro.fla"), c.exists);
    fake::ReleaseFile(hold);
    EXPECT_TRUE(FileExists("C:\\work\\intro.fla"));
    EXPECT_EQ(fake::OpenFileHandles(), 0);
  }
}

}  // namespace
