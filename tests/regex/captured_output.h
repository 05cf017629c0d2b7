#pragma once
// Captures what a piece of code writes on standard error or standard
// output, through GoogleTest's descriptor-level capture, so byte and wide
// output on the stream are both seen.
//
// The capture file is held to 256 MB while the code runs: a fault that
// repeats a report over a long pattern would otherwise write gigabytes, and
// the test then fails on a cut-short text instead of filling the disk.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <string>
#include <utility>

class CaptureSizeLimit {
 public:
  CaptureSizeLimit() {
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit capped{std::min<rlim_t>(saved.rlim_cur, rlim_t{256} << 20), saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &capped);
    savedHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write past the cap fails instead
  }
  ~CaptureSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
  }
  CaptureSizeLimit(const CaptureSizeLimit&) = delete;
  CaptureSizeLimit& operator=(const CaptureSizeLimit&) = delete;

 private:
  rlimit saved{};
  void (*savedHandler)(int) = SIG_DFL;
};

// Runs code with stream captured by start() and returns what get() collected.
template <class F>
std::string capturedOutput(void (*start)(), std::string (*get)(), std::FILE* stream, F&& run) {
  start();
  {
    const CaptureSizeLimit limit;
    run();
    std::fflush(stream);
  }
  return get();
}

template <class F>
std::string stderrOf(F&& run) {
  return capturedOutput(testing::internal::CaptureStderr, testing::internal::GetCapturedStderr, stderr,
                        std::forward<F>(run));
}

template <class F>
std::string stdoutOf(F&& run) {
  return capturedOutput(testing::internal::CaptureStdout, testing::internal::GetCapturedStdout, stdout,
                        std::forward<F>(run));
}
