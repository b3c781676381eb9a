// Timed window waits. They pause between attempts so as not to take a processor from the
// program that is starting up at that very moment.
#include "windows/waits.h"

#include <cstdint>

#include "windows/search.h"

namespace {

constexpr DWORD kTopLevelPollMilliseconds = 20;

}  // namespace

bool WithinLimit(DWORD start, int timeoutSeconds) {
  auto elapsed = static_cast<std::int32_t>(GetTickCount() - start);
  return elapsed <= timeoutSeconds * 1000;
}

Window WaitForTopLevelWindow(Text titleSub, int timeoutSeconds) {
  DWORD start = GetTickCount();
  while (WithinLimit(start, timeoutSeconds)) {
    Window window = FindTopLevelWindowByTitle(titleSub);
    if (window != nullptr) {
      return window;
    }
    Sleep(kTopLevelPollMilliseconds);
  }
  return nullptr;
}
