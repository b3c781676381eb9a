// Entry of every end-to-end test program: --rig-setup and --rig-teardown make and shut down
// the program's Wine prefix for CTest; anything else runs the GoogleTest cases.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "tests/e2e/rig/prefix.h"

int main(int argc, char** argv) {
  if (argc == 2 &&
      (std::strcmp(argv[1], "--rig-setup") == 0 || std::strcmp(argv[1], "--rig-teardown") == 0)) {
    try {
      if (std::strcmp(argv[1], "--rig-setup") == 0) {
        rig::SetUpRig();
      } else {
        rig::TearDownRig();
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "rig: %s\n", error.what());
      return 1;
    }
    return 0;
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
