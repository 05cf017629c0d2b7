#include "thread_starts.h"

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

// The linker's --wrap sends the helper's calls of pthread_create here, and
// __real_pthread_create to whichever pthread_create the process has: the
// sanitizer's, where it is linked into the executable, else the C library's.
extern "C" int __real_pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                                     void* argument);

extern "C" int __wrap_pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                                     void* argument) {
  if (mode == thread_starts::Mode::Refuse) return EAGAIN;
  // Counted before it starts, so that a count the new thread resets is not raised after.
  ++started;
  int result;
  if (mode == thread_starts::Mode::Hold) {
    HeldStart* held = new HeldStart{start, argument};
    result = __real_pthread_create(thread, attributes, runWhenReleased, held);
    if (result != 0) delete held;
  } else {
    result = __real_pthread_create(thread, attributes, start, argument);
  }
  if (result != 0) --started;
  return result;
}
