#pragma once
// Captures what a piece of code writes on standard error or standard
// output, through GoogleTest's descriptor-level capture, so byte and wide
// output on the stream are both seen.
//
// The capture file is held to a cap while the code runs, 256 MB unless the
// caller sets its own: a fault that repeats a report over a long pattern
// would otherwise write gigabytes, and the test then fails on a cut-short
// text instead of filling the disk.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

constexpr rlim_t kCaptureCap = rlim_t{256} << 20;

class CaptureSizeLimit {
 public:
  explicit CaptureSizeLimit(rlim_t cap) {
    // Without the limit in force there is nothing sound to put back: a zero
    // limit restored would leave the process unable to write any file.
    if (getrlimit(RLIMIT_FSIZE, &saved) != 0) {
      ADD_FAILURE() << "capture not capped: getrlimit: " << std::strerror(errno);
      return;
    }
    limitRead = true;
    const rlimit capped{std::min(saved.rlim_cur, cap), saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &capped);
    savedHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write past the cap fails instead
  }
  ~CaptureSizeLimit() {
    if (!limitRead) return;
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
  }
  CaptureSizeLimit(const CaptureSizeLimit&) = delete;
  CaptureSizeLimit& operator=(const CaptureSizeLimit&) = delete;

 private:
  rlimit saved{};
  bool limitRead = false;
  void (*savedHandler)(int) = SIG_DFL;
};

// Runs code with stream captured by start() and returns what get() collected.
template <class F>
std::string capturedOutput(void (*start)(), std::string (*get)(), std::FILE* stream, rlim_t cap,
                           F&& run) {
  start();
  {
    const CaptureSizeLimit limit(cap);
    run();
    std::fflush(stream);
  }
  return get();
}

template <class F>
std::string stderrOf(F&& run, rlim_t cap = kCaptureCap) {
  return capturedOutput(testing::internal::CaptureStderr, testing::internal::GetCapturedStderr, stderr,
                        cap, std::forward<F>(run));
}

template <class F>
std::string stdoutOf(F&& run, rlim_t cap = kCaptureCap) {
  return capturedOutput(testing::internal::CaptureStdout, testing::internal::GetCapturedStdout, stdout,
                        cap, std::forward<F>(run));
}
