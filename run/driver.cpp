// The whole control flow of a run. The status line always follows: OK only when a publish
// attempt was made and collected nothing, FAILED on every other road.
#include "run/driver.h"

#include "run/paths.h"
#include "run/run_log.h"

// Always returns 0: the run log is the only outcome channel.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
  Text flaPath = commandLine;
  Text flaName = FileNameOf(flaPath);
  Text logPath = ToolDirectory(instance) + "\\" + kLogFileName;

  AppendEntryHeader(logPath, flaPath);
  Text errorText;
  bool runFailed = true;
  if (!FileExists(flaPath)) {
    AppendErrorLine(logPath, kNotFoundError);
  } else if (flaName.Length() == 0) {
    AppendErrorLine(logPath, kNotQualifiedError);
  } else {
    PublishOutcome outcome = PublishDocument(flaPath, flaName);
    if (outcome.toolLoaded) {
      runFailed = false;
    } else {
      AppendErrorLine(logPath, kNotLoadedError);
    }
    errorText = outcome.errorText;
  }
  AppendStatus(logPath, flaPath, errorText, runFailed);
  return 0;
}
