#pragma once
// Captures what a piece of code writes on standard error or standard
// output, through GoogleTest's descriptor-level capture, so byte and wide
// output on the stream are both seen.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

template <class F>
std::string stderrOf(F&& run) {
  testing::internal::CaptureStderr();
  run();
  std::fflush(stderr);
  return testing::internal::GetCapturedStderr();
}

template <class F>
std::string stdoutOf(F&& run) {
  testing::internal::CaptureStdout();
  run();
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}
