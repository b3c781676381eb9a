// Benchmarks of the Windows program under Wine with the stand-in tool: processor time while it
// waits, the overhead of a CS3 run, the list harvest at two sizes and the Output panel harvest.
#include <sys/utsname.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/observe.h"
#include "tests/e2e/rig/wine_rig.h"

namespace {

using rig::Bytes;

constexpr int kProgramStartMilliseconds = 30000;
// The road's two fixed pauses: after the foreground switch and after Shift+F12.
constexpr double kRoadPausesMilliseconds = 2000;
// The Output panel harvest pauses once more before it searches the panel.
constexpr double kOutputPauseMilliseconds = 2000;
// CPU is sampled inside the wait, clear of its start-up and of its end at 30 s.
constexpr double kSampleFromMilliseconds = 2000;
constexpr double kSampleToMilliseconds = 26000;
constexpr int kSmallList = 1000;
constexpr int kLargeList = 8000;
constexpr int kOutputBytes = 32767;
constexpr char kCs3Caption[] = "caption=Authoring Tool CS3 - {name}\n";
constexpr char kPlainCaption[] = "caption=Authoring Tool - {name}\n";

struct Options {
  int runs = 5;
  int waitRuns = 3;
  std::string output = KELVANE_BENCH_RESULTS;
};

struct RunResult {
  bench::RunTimes times;
  Bytes document;
  Bytes log;
  double cpuShare = -1;        // of the program, per millisecond of waiting
  double serverCpuShare = -1;  // of the prefix's wineserver over the same stretch
};

struct CpuSample {
  double at = -1;
  double program = 0;
  double server = 0;
};

Bytes FailedEntry(const Bytes& document, const Bytes& errorText) {
  Bytes logged;
  for (char byte : errorText) {
    logged += byte == '\n' ? "\r\n" : std::string(1, byte);
  }
  return rig::EntryHeader(document) + "FAILED: " + document + "\r\n\r\n" + logged;
}

// Row i of the list the stand-in generates, as the program collects it.
Bytes GeneratedRow(int i) {
  std::string n = std::to_string(i);
  return "file" + n + ".as, line " + n + "\terror " + n + ": generated row\tsource line " + n +
         "\t\r\n";
}

Bytes GeneratedRows(int count) {
  std::string rows;
  for (int i = 1; i <= count; ++i) {
    rows += GeneratedRow(i);
  }
  return rows;
}

Bytes GeneratedOutputLine(int i) {
  return "error " + std::to_string(i) + ": generated line of the output panel\n";
}

// The Output text the stand-in generates: numbered lines, the last one cut to fit.
Bytes GeneratedOutput(int bytes) {
  std::string text;
  for (int i = 1; static_cast<int>(text.size()) < bytes; ++i) {
    text += GeneratedOutputLine(i);
  }
  text.resize(bytes);
  return text;
}

// One run of the program on a document of the given settings, in a directory of its own.
RunResult RunFixture(const std::string& name, const std::string& fixture, bool sampleCpu,
                     pid_t server) {
  Bytes directory = rig::MakeTestDirectory("bench\\" + name);
  Bytes program = rig::CopyProgram(directory);
  RunResult result;
  result.document = directory + "\\" + name + ".fla";
  rig::WriteFileBytes(result.document, fixture);
  bench::RecordWatch watch = bench::WatchRecord(rig::LinuxPath(result.document + ".seen"));

  rig::Launch launch;
  launch.commandLine = program + " " + result.document;
  launch.currentDirectory = directory;
  rig::PendingRun run = rig::StartRun(launch);
  pid_t process = bench::FindWindowsProcess(program, kProgramStartMilliseconds);
  if (process == 0) {
    rig::WaitRun(run);
    throw std::runtime_error("the program of " + name + " never showed up in /proc");
  }

  CpuSample first;
  CpuSample last;
  result.times = bench::FollowRun(watch, process, [&](double now, const bench::RunTimes& times) {
    double opened = bench::EventTime(times, "open");
    if (!sampleCpu || opened < 0 || now < opened + kSampleFromMilliseconds ||
        now > opened + kSampleToMilliseconds) {
      return;
    }
    CpuSample sample{now, bench::CpuMilliseconds(process),
                     server != 0 ? bench::CpuMilliseconds(server) : 0};
    (first.at < 0 ? first : last) = sample;
  });
  if (rig::WaitRun(run) != 0) {
    throw std::runtime_error("the program of " + name + " did not exit with 0");
  }
  if (first.at >= 0 && last.at > first.at) {
    result.cpuShare = (last.program - first.program) / (last.at - first.at);
    result.serverCpuShare = (last.server - first.server) / (last.at - first.at);
  }
  result.log = rig::ReadFileBytes(directory + "\\kelvane.txt");
  return result;
}

double Median(std::vector<double> values) {
  if (values.empty()) {
    return -1;
  }
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double Between(const bench::RunTimes& times, const std::string& from, const std::string& to) {
  double start = bench::EventTime(times, from);
  double end = to == "exit" ? times.exited : bench::EventTime(times, to);
  if (start < 0 || end < 0) {
    throw std::runtime_error("the stand-in recorded no \"" + (start < 0 ? from : to) + "\"");
  }
  return end - start;
}

struct Row {
  std::string measure;
  std::string median;
  std::string range;  // lowest to highest run
  std::string goal;
  std::string met;
};

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Range(std::vector<double> values, double scale, int decimals, const std::string& unit) {
  std::sort(values.begin(), values.end());
  return Fixed(values.front() * scale, decimals) + " to " + Fixed(values.back() * scale, decimals) +
         unit;
}

std::vector<double> RowsPerSecond(const std::vector<double>& milliseconds, int rows) {
  std::vector<double> rates;
  rates.reserve(milliseconds.size());
  for (double time : milliseconds) {
    rates.push_back(rows / (time / 1000));
  }
  return rates;
}

std::string Met(bool met) {
  return met ? "yes" : "NO";
}

std::string FirstLine(const std::string& command) {
  std::string line;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    if (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
      line = buffer;
    }
    pclose(pipe);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
    line.pop_back();
  }
  return line;
}

std::string Machine() {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  std::string model;
  int processors = 0;
  while (std::getline(cpuinfo, line)) {
    if (line.rfind("processor", 0) == 0) {
      ++processors;
    } else if (model.empty() && line.rfind("model name", 0) == 0) {
      model = line.substr(line.find(':') + 2);
    }
  }
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  long long kilobytes = 0;
  meminfo >> key >> kilobytes;
  utsname system = {};
  uname(&system);
  std::string distribution = FirstLine(". /etc/os-release 2>/dev/null && echo \"$PRETTY_NAME\"");
  return model + ", " + std::to_string(processors) + " logical processors, " +
         std::to_string(kilobytes / (1024LL * 1024)) + " GiB; " + distribution + ", Linux " +
         system.release + "; " + FirstLine("wine --version 2>/dev/null") + " on Xvfb";
}

std::string Today() {
  std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d", std::gmtime(&now));
  return text;
}

// Other work on the machine skews the figures; the table says how busy it was.
std::string LoadAverage() {
  std::ifstream loadavg("/proc/loadavg");
  std::string oneMinute;
  loadavg >> oneMinute;
  return oneMinute;
}

std::string Table(const std::vector<Row>& rows, const std::string& load, int runs, int waitRuns,
                  bool logsExact) {
  std::ostringstream out;
  out << "# Benchmarks\n\n"
      << "Measured " << Today() << " on: " << Machine() << "; load average " << load
      << " when the benchmark started.\n\n"
      << "Every figure is a median (" << waitRuns << " waits, " << runs
      << " runs of each other kind); the two list sizes ran alternately, side by side. "
      << "Every run's log entry was checked byte for byte: "
      << (logsExact ? "all exact" : "SOME DIFFERED") << ".\n\n"
      << "| Measure | Median | Range | Goal | Met |\n|---|---:|---:|---|---|\n";
  for (const Row& row : rows) {
    out << "| " << row.measure << " | " << row.median << " | " << row.range << " | " << row.goal
        << " | " << row.met << " |\n";
  }
  out << "\nThe waiting share is the program's processor time (all threads, from /proc) over a "
      << "stretch of the 30-second wait; the CS3 overhead is the run's wall time less the two "
         "one-second pauses and less the time until the stand-in showed its window, that is "
         "the time from that window showing to the program's end, less 2 s; a harvest runs "
         "from the list's row count query to the close request; the Output panel time is from "
         "Publish to the program's end, less its 1 s and 2 s pauses.\n";
  return out.str();
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string name = argv[i];
    if (name == "--runs") {
      options.runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (name == "--wait-runs") {
      options.waitRuns = std::max(1, std::atoi(argv[i + 1]));
    } else if (name == "--output") {
      options.output = argv[i + 1];
    } else {
      throw std::runtime_error("usage: kelvane_bench [--runs N] [--wait-runs N] [--output FILE]");
    }
  }
  return options;
}

std::string Fixture(const std::string& caption, const std::string& settings) {
  return caption + settings;
}

int Bench(const Options& options) {
  std::string load = LoadAverage();
  rig::RegisterStandinForFla();
  std::string prefix;
  for (const std::string& entry : rig::WineEnvironment()) {
    if (entry.rfind("WINEPREFIX=", 0) == 0) {
      prefix = entry.substr(11);
    }
  }
  pid_t server = bench::FindWineServer(prefix);
  bool logsExact = true;
  auto check = [&logsExact](const RunResult& run, const Bytes& expected) {
    if (run.log != expected) {
      std::cerr << "log of " << run.document << " differs from what was expected\n";
      logsExact = false;
    }
  };

  std::vector<double> waitShares;
  std::vector<double> serverShares;
  for (int i = 1; i <= options.waitRuns; ++i) {
    std::cerr << "wait " << i << "/" << options.waitRuns << " (30 s): ";
    RunResult run =
        RunFixture("wait-" + std::to_string(i),
                   Fixture(kPlainCaption, "show=never\nlifetime_ms=33000\n"), true, server);
    check(run, rig::ErrorEntry(run.document, "ERROR: Flash failed to load"));
    waitShares.push_back(run.cpuShare);
    serverShares.push_back(run.serverCpuShare);
    std::cerr << "program " << Fixed(run.cpuShare * 100, 2) << " %, wineserver "
              << Fixed(run.serverCpuShare * 100, 2) << " %\n";
  }

  std::vector<double> overheads;
  std::vector<double> small;
  std::vector<double> large;
  std::vector<double> ratios;
  std::vector<double> largeLogging;
  std::vector<double> outputTimes;
  for (int i = 1; i <= options.runs; ++i) {
    std::string n = std::to_string(i);
    std::cerr << "round " << n << "/" << options.runs << ": ";
    RunResult cs3 = RunFixture("cs3-" + n, Fixture(kCs3Caption, "panel=errors\ngenerate_rows=10\n"),
                               false, server);
    check(cs3, FailedEntry(cs3.document, GeneratedRows(10)));
    overheads.push_back(Between(cs3.times, "show main", "exit") - kRoadPausesMilliseconds);

    RunResult smallRun = RunFixture(
        "rows1000-" + n,
        Fixture(kCs3Caption, "panel=errors\ngenerate_rows=" + std::to_string(kSmallList) + "\n"),
        false, server);
    RunResult largeRun = RunFixture(
        "rows8000-" + n,
        Fixture(kCs3Caption, "panel=errors\ngenerate_rows=" + std::to_string(kLargeList) + "\n"),
        false, server);
    check(smallRun, FailedEntry(smallRun.document, GeneratedRows(kSmallList)));
    check(largeRun, FailedEntry(largeRun.document, GeneratedRows(kLargeList)));
    double smallTime = Between(smallRun.times, "list count", "close main");
    double largeTime = Between(largeRun.times, "list count", "close main");
    small.push_back(smallTime);
    large.push_back(largeTime);
    ratios.push_back((largeTime / kLargeList) / (smallTime / kSmallList));
    largeLogging.push_back(Between(largeRun.times, "close main", "exit"));

    RunResult output =
        RunFixture("output-" + n,
                   Fixture(kPlainCaption,
                           "panel=output\ngenerate_output=" + std::to_string(kOutputBytes) + "\n"),
                   false, server);
    check(output, FailedEntry(output.document, GeneratedOutput(kOutputBytes)));
    outputTimes.push_back(Between(output.times, "publish", "exit") - 1000 -
                          kOutputPauseMilliseconds);
    std::cerr << "CS3 overhead " << Fixed(overheads.back(), 0) << " ms, 1,000 rows "
              << Fixed(smallTime, 0) << " ms, 8,000 rows " << Fixed(largeTime, 0)
              << " ms, Output panel " << Fixed(outputTimes.back(), 0) << " ms\n";
  }

  std::vector<double> smallRates = RowsPerSecond(small, kSmallList);
  std::vector<double> largeRates = RowsPerSecond(large, kLargeList);
  double waitShare = Median(waitShares);
  double overhead = Median(overheads);
  double ratio = Median(ratios);
  std::vector<Row> rows = {
      {"Processor time of the program per second of waiting for a main window",
       Fixed(waitShare * 100, 2) + " %", Range(waitShares, 100, 2, " %"), "< 2 %",
       Met(waitShare >= 0 && waitShare < 0.02)},
      {"Processor time of the prefix's wineserver over the same stretch",
       Fixed(Median(serverShares) * 100, 2) + " %", Range(serverShares, 100, 2, " %"), "", ""},
      {"Overhead of a CS3 run with a 10-row list", Fixed(overhead, 0) + " ms",
       Range(overheads, 1, 0, " ms"), "< 300 ms", Met(overhead < 300)},
      {"Compiler Errors harvest, 1,000 rows",
       Fixed(Median(smallRates), 0) + " rows/s (" + Fixed(Median(small), 0) + " ms)",
       Range(smallRates, 1, 0, " rows/s"), "", ""},
      {"Compiler Errors harvest, 8,000 rows",
       Fixed(Median(largeRates), 0) + " rows/s (" + Fixed(Median(large), 0) + " ms)",
       Range(largeRates, 1, 0, " rows/s"), "", ""},
      {"Per-row cost, 8,000 rows over 1,000 rows", Fixed(ratio, 2), Range(ratios, 1, 2, ""),
       "<= 1.5", Met(ratio <= 1.5)},
      {"Logging 8,000 rows after the close request, to the program's end",
       Fixed(Median(largeLogging), 0) + " ms", Range(largeLogging, 1, 0, " ms"), "", ""},
      {"Output panel of 32,767 bytes read and logged with LF turned into CR LF",
       Fixed(Median(outputTimes), 0) + " ms", Range(outputTimes, 1, 0, " ms"), "", ""},
  };
  std::string table = Table(rows, load, options.runs, options.waitRuns, logsExact);
  std::cout << table;
  std::ofstream file(options.output, std::ios::binary | std::ios::trunc);
  file << table;
  if (!file.flush()) {
    throw std::runtime_error("cannot write " + options.output);
  }
  std::cerr << "written to " << options.output << "\n";
  return logsExact ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Bench(ParseOptions(argc, argv));
  } catch (const std::exception& error) {
    std::cerr << "kelvane_bench: " << error.what() << "\n";
    return 2;
  }
}
