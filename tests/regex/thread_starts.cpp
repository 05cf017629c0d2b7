#include "thread_starts.h"

#include <dlfcn.h>
#include <semaphore.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<thread_starts::Mode> mode{thread_starts::Mode::Allow};
std::atomic<int> started{0};
sem_t heldStarted;
sem_t heldReleased;

struct HeldStart {
  void* (*start)(void*);
  void* argument;
};

void* runWhenReleased(void* argument) {
  const HeldStart held = *static_cast<HeldStart*>(argument);
  delete static_cast<HeldStart*>(argument);
  sem_post(&heldStarted);
  while (sem_wait(&heldReleased) != 0) {
  }
  return held.start(held.argument);
}

}  // namespace

namespace thread_starts {

void setMode(Mode newMode) {
  if (newMode == Mode::Hold) {
    sem_init(&heldStarted, 0, 0);
    sem_init(&heldReleased, 0, 0);
  }
  mode = newMode;
}

int count() { return started; }

void resetCount() { started = 0; }

void awaitHeld() {
  while (sem_wait(&heldStarted) != 0) {
  }
}

void releaseHeld() { sem_post(&heldReleased); }

}  // namespace thread_starts

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) noexcept {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  if (mode == thread_starts::Mode::Refuse) return EAGAIN;
  // Counted before it starts, so that a count the new thread resets is not raised after.
  ++started;
  int result;
  if (mode == thread_starts::Mode::Hold) {
    HeldStart* held = new HeldStart{start, argument};
    result = real(thread, attributes, runWhenReleased, held);
    if (result != 0) delete held;
  } else {
    result = real(thread, attributes, start, argument);
  }
  if (result != 0) --started;
  return result;
}
