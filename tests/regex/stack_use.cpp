#include "stack_use.h"

#include <pthread.h>
#include <sys/mman.h>

#include <cstring>

namespace {

// Far more than a measured run takes, and less than a match or parse may
// spend of it before it moves to a thread of its own.
constexpr std::size_t kPaintedStack = 4 << 20;
constexpr unsigned char kPaint = 0xa5;

struct Run {
  void (*run)(void*);
  void* context;
};

void* runPainted(void* argument) {
  Run& run = *static_cast<Run*>(argument);
  run.run(run.context);
  return nullptr;
}

}  // namespace

std::size_t stackUse(void (*run)(void*), void* context) {
  void* mapping = mmap(nullptr, kPaintedStack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) return 0;
  unsigned char* stack = static_cast<unsigned char*>(mapping);
  std::memset(stack, kPaint, kPaintedStack);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstack(&attributes, stack, kPaintedStack);
  Run call{run, context};
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, runPainted, &call) == 0;
  pthread_attr_destroy(&attributes);
  std::size_t used = 0;
  if (started) {
    pthread_join(thread, nullptr);
    std::size_t untouched = 0;
    while (untouched < kPaintedStack && stack[untouched] == kPaint) ++untouched;
    used = kPaintedStack - untouched;
  }
  munmap(mapping, kPaintedStack);
  return used;
}
