#pragma once
// How much stack a piece of work takes in this build: it runs on a thread
// whose stack the helper paints first, and the lowest byte it changed tells.
// Frames differ from one optimisation level to the next, so the limit tests
// size their inputs from this rather than from fixed counts.

#include <cstddef>

// The stack run(context) touched, or 0 when no thread could be had.
std::size_t stackUse(void (*run)(void*), void* context);

// How many units of work take about bytes of stack: the stack that
// work(units) takes is measured as units double, until it is well past
// what the thread's first frames take, and bytes is divided by the cost of
// the last doubling.
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
  int units = 8;
  std::size_t half = use(units / 2);
  std::size_t whole = use(units);
  while (whole < kMeasured + half) {
    units *= 2;
    half = whole;
    whole = use(units);
  }
  const std::size_t perUnit = (whole - half) / static_cast<std::size_t>(units / 2);
  return perUnit ? static_cast<int>(bytes / perUnit) : 0;
}
