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

template <class F>
std::string stderrOf(F&& run) {
  testing::internal::CaptureStderr();
  {
    const CaptureSizeLimit limit;
    run();
    std::fflush(stderr);
  }
  return testing::internal::GetCapturedStderr();
}

template <class F>
std::string stdoutOf(F&& run) {
  testing::internal::CaptureStdout();
  {
    const CaptureSizeLimit limit;
    run();
    std::fflush(stdout);
  }
  return testing::internal::GetCapturedStdout();
}
