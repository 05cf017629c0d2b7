#pragma once
// How much stack a piece of work takes in this build: it runs on a thread
// whose stack the helper paints first, and the lowest byte it changed tells.
// Frames differ from one optimisation level to the next, so the limit tests
// size their inputs from this rather than from fixed counts.

#include <cstddef>

// The stack run(context) touched, or 0 when no thread could be had.
std::size_t stackUse(void (*run)(void*), void* context);

// How many units of work take about bytes of stack: the stack that
// work(units) takes is measured as units double, until one doubling adds
// 64 KB, and bytes is divided by the cost of that doubling; 0 when no such
// doubling could be measured.
template <class Work>
int unitsTaking(std::size_t bytes, Work work) {
  auto use = [&](int units) {
    struct Call {
      Work* work;
      int units;
    } call{&work, units};
    return stackUse([](void* c) { (*static_cast<Call*>(c)->work)(static_cast<Call*>(c)->units); }, &call);
  };
  constexpr std::size_t kMeasured = 64 * 1024;
  constexpr int kMostUnits = 1 << 20;
  int units = 8;
  std::size_t half = use(units / 2);
  std::size_t whole = use(units);
  while (whole != 0 && whole < kMeasured + half && units < kMostUnits) {
    units *= 2;
    half = whole;
    whole = use(units);
  }
  // 0 where nothing could be measured (no thread, or no growth): the case
  // then fails on its answer instead of running on.
  if (whole < kMeasured + half) return 0;
  return static_cast<int>(bytes / ((whole - half) / static_cast<std::size_t>(units / 2)));
}
