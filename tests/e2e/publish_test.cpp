// The publish road of the real program under Wine, against the stand-in authoring tool: the
// main window found by its caption, Shift+F12, the Compiler Errors list or the Output panel,
// the close requests, and the log entry byte for byte.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/rig/wine_rig.h"

namespace {

using rig::Bytes;
using rig::CodePage;

const std::string kLongCell(300, 'x');

// Every stand-in ends itself well after its run is over, so a case that goes wrong leaves no
// window behind to mislead the next one.
constexpr char kLifetime[] = "lifetime_ms=40000\n";
// Longer than any run of a case, the 30-second wait for a main window included.
constexpr int kRecordDeadlineMilliseconds = 45000;

enum class Status { kOk, kFailed, kNotLoaded };

struct PublishCase {
  const char* name;
  const char* directory;  // last folder of the case's directory (UTF-8)
  const char* document;   // the document's file name (UTF-8)
  std::string fixture;    // the document's content: what the stand-in shows
  CodePage codePage;
  Status status;
  std::string loggedErrors;  // the error text as the log holds it (FAILED only)
  const char* keyWindow;     // the stand-in window the chord must reach; null: no keys at all
  std::vector<std::string> events;  // what the stand-in records after "open", keys left out
};

// Cases show by name in test listings.
void PrintTo(const PublishCase& publishCase, std::ostream* out) {
  *out << publishCase.name;
}

// The whole entry of a run of the document at flaPath.
Bytes Entry(const Bytes& flaPath, Status status, const Bytes& loggedErrors) {
  Bytes entry = rig::EntryHeader(flaPath);
  if (status == Status::kOk) {
    return entry + "OK: " + flaPath + "\r\n";
  }
  if (status == Status::kNotLoaded) {
    return rig::ErrorEntry(flaPath, "ERROR: Flash failed to load");
  }
  return entry + "FAILED: " + flaPath + "\r\n\r\n" + loggedErrors;
}

// Shift+F12 with the left Shift key, as the stand-in's window takes it from its queue.
std::vector<std::string> Chord(const std::string& window) {
  return {
      "key down vk=10 scan=2A shift=left window=" + window,
      "key down vk=7B scan=58 shift=left window=" + window,
      "key up vk=7B scan=58 shift=left window=" + window,
      "key up vk=10 scan=2A shift=none window=" + window,
  };
}

// The record's events without their ticks, split into key events and all others: the key-up
// events of a busy tool interleave with the program's queries as the thread frees up.
struct Record {
  std::vector<std::string> keys;
  std::vector<std::string> events;
};

Record ReadRecord(const Bytes& path, CodePage codePage) {
  Record record;
  if (!rig::PathExists(path, codePage)) {
    return record;
  }
  Bytes content = rig::ReadFileBytes(path, codePage);
  std::size_t start = 0;
  for (std::size_t end = content.find('\n'); end != Bytes::npos;
       start = end + 1, end = content.find('\n', start)) {
    Bytes line = content.substr(start, end - start);
    Bytes event = line.substr(line.find(' ') + 1);
    (event.compare(0, 4, "key ") == 0 ? record.keys : record.events).push_back(event);
  }
  return record;
}

std::string CaseName(const testing::TestParamInfo<PublishCase>& info) {
  return info.param.name;
}

class PublishTest : public testing::TestWithParam<PublishCase> {};

TEST_P(PublishTest, LogsTheEntryAndDrivesTheTool) {
  const PublishCase& c = GetParam();
  rig::RegisterStandinForFla();
  Bytes directory = rig::MakeTestDirectory(
      "publish\\" + std::string(c.name) + "\\" + rig::FromUtf8(c.directory, c.codePage),
      c.codePage);
  Bytes program = rig::CopyProgram(directory, "kelvane.exe", c.codePage);
  Bytes document = directory + "\\" + rig::FromUtf8(c.document, c.codePage);
  rig::WriteFileBytes(document, c.fixture, c.codePage);

  rig::Launch launch;
  launch.commandLine = "\"" + program + "\" " + document;
  launch.currentDirectory = directory;
  launch.codePage = c.codePage;
  EXPECT_EQ(0, rig::Run(launch));

  Bytes recordPath = document + ".seen";
  std::vector<std::string> events = {"open " + document};
  events.insert(events.end(), c.events.begin(), c.events.end());
  Record record;
  rig::WaitUntil(
      [&] {
        record = ReadRecord(recordPath, c.codePage);
        return !record.events.empty() && record.events.back() == "exit";
      },
      kRecordDeadlineMilliseconds);
  EXPECT_EQ(events, record.events);
  EXPECT_EQ(c.keyWindow == nullptr ? std::vector<std::string>() : Chord(c.keyWindow), record.keys);

  Bytes log = directory + "\\kelvane.txt";
  ASSERT_TRUE(rig::PathExists(log, c.codePage)) << "no kelvane.txt beside the program";
  EXPECT_EQ(Entry(document, c.status, rig::FromUtf8(c.loggedErrors, c.codePage)),
            rig::ReadFileBytes(log, c.codePage));
}

// What the stand-in records on each road, after "open" and besides the keys.
std::vector<std::string> ListRead(int rows) {
  return {"show main",  "publish", "show errors", "list count " + std::to_string(rows),
          "close main", "exit"};
}
// The stand-in's generated rows and Output text (generate_rows, generate_output), as logged.
std::string GeneratedRowsLogged(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    std::string n = std::to_string(i);
    text.append("file").append(n).append(".as, line ").append(n);
    text.append("\terror ").append(n).append(": generated row");
    text.append("\tsource line ").append(n).append("\t\r\r\n");
  }
  return text;
}
std::string GeneratedOutputLogged(std::size_t bytes) {
  std::string text;
  for (int i = 1; text.size() < bytes; ++i) {
    text += "error " + std::to_string(i) + ": generated line of the output panel\n";
  }
  text.resize(bytes);
  std::string logged;
  for (char byte : text) {
    logged += byte == '\n' ? "\r\n" : std::string(1, byte);
  }
  return logged;
}

const std::vector<std::string> kOutputRead = {"show main",    "publish",    "show output",
                                              "close output", "close main", "exit"};

const PublishCase kPublishCases[] = {
    {"Cs3CaptionReadsEveryRow", "w", "intro.fla",
     std::string("caption=Tool CS3 - [{name}]\npanel=errors\n") +
         "row=Scene 1, Line 3|Undefined name foo.|foo();\n" +
         "row=Scene 1, Line 7|Syntax error.|\n" + kLifetime,
     CodePage::k1252, Status::kFailed,
     "Scene 1, Line 3\tUndefined name foo.\tfoo();\t\r\r\n"
     "Scene 1, Line 7\tSyntax error.\t\t\r\r\n",
     "main", ListRead(2)},
    {"Cs4CaptionWithEmptyListIsOk", "w", "intro.fla",
     std::string("caption={name} - Tool CS4\npanel=errors\n") + kLifetime, CodePage::k1252,
     Status::kOk, "", "main", ListRead(0)},
    {"BothMarksReadTheListOnce", "w", "intro.fla",
     std::string("caption=Tool CS4 CS3 {name}\npanel=errors\nrow=a|b|c\n") + kLifetime,
     CodePage::k1252, Status::kFailed, "a\tb\tc\t\r\r\n", "main", ListRead(1)},
    {"CaptionBeginningWithCs3TakesTheOutputRoad", "w", "intro.fla",
     std::string("caption=CS3 {name} CS3\npanel=output\noutput=Error in frame 1\n") + kLifetime,
     CodePage::k1252, Status::kFailed, "Error in frame 1", "main", kOutputRead},
    {"OutputLineFeedsBecomeCrLf", "w", "intro.fla",
     std::string("caption=Tool - {name}\npanel=output\n") +
         "output=first\\nsecond\\r\\nthird\\n\\nlast\n" + kLifetime,
     CodePage::k1252, Status::kFailed, "first\r\nsecond\r\r\nthird\r\n\r\nlast", "main",
     kOutputRead},
    {"EmptyOutputIsOk", "w", "intro.fla",
     std::string("caption=Tool - {name}\npanel=output\n") + kLifetime, CodePage::k1252, Status::kOk,
     "", "main", kOutputRead},
    // A main window that never shows: the stand-in outlives the program's 30-second wait
    // and is sent nothing.
    {"NoMainWindowClosesNothing",
     "w",
     "intro.fla",
     "caption=Tool CS3 - {name}\nshow=never\npanel=errors\nrow=a|b|c\nlifetime_ms=32000\n",
     CodePage::k1252,
     Status::kNotLoaded,
     "",
     nullptr,
     {"timeout", "exit"}},
    {"MainWindowHiddenAtFirst", "w", "intro.fla",
     std::string("caption=Tool CS3 - {name}\nshow=2500\npanel=errors\nrow=a|b|c\n") + kLifetime,
     CodePage::k1252, Status::kFailed, "a\tb\tc\t\r\r\n", "main", ListRead(1)},
    {"LongCellIsCutTo254Bytes", "w", "intro.fla",
     "caption=Tool CS3 - {name}\npanel=errors\nrow=" + kLongCell + "|b|" + kLongCell + "\n" +
         kLifetime,
     CodePage::k1252, Status::kFailed,
     std::string(254, 'x') + "\tb\t" + std::string(254, 'x') + "\t\r\r\n", "main", ListRead(1)},
    {"HundredRowsAreAllRead", "w", "intro.fla",
     std::string("caption=Tool CS3 - {name}\npanel=errors\ngenerate_rows=100\n") + kLifetime,
     CodePage::k1252, Status::kFailed, GeneratedRowsLogged(100), "main", ListRead(100)},
    {"OutputIsCutAt32767Bytes", "w", "intro.fla",
     std::string("caption=Tool - {name}\npanel=output\ngenerate_output=40000\n") + kLifetime,
     CodePage::k1252, Status::kFailed, GeneratedOutputLogged(32767), "main", kOutputRead},
    // The tool's thread is busy longer than the 10-second list wait: the program's queries
    // wait for it and still read the rows.
    {"BusyToolIsWaitedFor", "w", "intro.fla",
     std::string("caption=Tool CS3 - {name}\npanel=errors\npanel_at_start=1\nbusy_ms=12000\n") +
         "row=a|b|c\n" + kLifetime,
     CodePage::k1252, Status::kFailed, "a\tb\tc\t\r\r\n", "main", ListRead(1)},
    {"SlowRowCountIsWaitedFor", "w", "intro.fla",
     std::string("caption=Tool CS3 - {name}\npanel=errors\ncount_delay_ms=5000\nrow=a|b|c\n") +
         kLifetime,
     CodePage::k1252, Status::kFailed, "a\tb\tc\t\r\r\n", "main", ListRead(1)},
    // A window higher in z-order whose caption holds the document's name is taken as the
    // main window: the chord and the close request go to it, not to the tool's own.
    {"TopmostWindowWithTheNameIsTaken",
     "w",
     "intro.fla",
     "caption=Tool - {name}\nabove=Viewer CS3 - {name}\npanel=errors\nrow=a|b|c\n"
     "lifetime_ms=8000\n",
     CodePage::k1252,
     Status::kFailed,
     "a\tb\tc\t\r\r\n",
     "above",
     {"show main", "show above", "publish", "show errors", "list count 1", "close above", "timeout",
      "exit"}},
    // 表 is 0x95 0x5C in code page 932. Cut at that trail byte, the name would be ".fla",
    // which the window above the tool's main window also holds.
    {"DoubleByteNameWithBackslashTrailByte",
     "表",
     "表.fla",
     std::string("caption=Tool CS3 - {name}\nabove=Viewer CS4 - other.fla\npanel=errors\n") +
         "row=a|b|c\n" + kLifetime,
     CodePage::k932,
     Status::kFailed,
     "a\tb\tc\t\r\r\n",
     "main",
     {"show main", "show above", "publish", "show errors", "list count 1", "close main", "exit"}},
};

INSTANTIATE_TEST_SUITE_P(Roads, PublishTest, testing::ValuesIn(kPublishCases), CaseName);

}  // namespace
