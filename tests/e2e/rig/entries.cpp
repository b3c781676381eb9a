// What the tests expect to read back: run log entries byte for byte, and a name per test case
// for the directory it runs in.
#include <gtest/gtest.h>

#include "tests/e2e/rig/wine_rig.h"

namespace rig {

Bytes EntryHeader(const Bytes& flaPath) {
  const std::string separator(80, '-');
  return "\r\n" + separator + "\r\n" + flaPath + "\r\n" + separator + "\r\n\r\n";
}

Bytes ErrorEntry(const Bytes& flaPath, const Bytes& errorLine) {
  return EntryHeader(flaPath) + errorLine + "\r\nFAILED: " + flaPath + "\r\n";
}

std::string CurrentTestName() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& byte : name) {
    if (byte == '/') {
      byte = '.';
    }
  }
  return name;
}

}  // namespace rig
