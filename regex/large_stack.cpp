#include "large_stack.h"

#include <pthread.h>

#include <cstdint>

namespace {

constexpr std::size_t kSmallestStack = 256 * 1024;

struct Call {
  void (*body)(void*);
  void* context;
};

void* runCall(void* argument) {
  const Call* call = static_cast<const Call*>(argument);
  call->body(call->context);
  return nullptr;
}

// The lowest address of the calling thread's stack; 0 when unknown. For the
// main thread this reads /proc/self/maps, hence once per thread.
std::uintptr_t stackLowest() {
  thread_local const std::uintptr_t lowest = [] {
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0) return std::uintptr_t{0};
    void* address = nullptr;
    std::size_t size = 0;
    const bool known = pthread_attr_getstack(&attributes, &address, &size) == 0;
    pthread_attr_destroy(&attributes);
    return known ? reinterpret_cast<std::uintptr_t>(address) : std::uintptr_t{0};
  }();
  return lowest;
}

bool startAndJoin(std::size_t stackBytes, Call& call) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  pthread_t thread;
  const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                       pthread_create(&thread, &attributes, runCall, &call) == 0;
  pthread_attr_destroy(&attributes);
  if (started) pthread_join(thread, nullptr);
  return started;
}

}  // namespace

const char* stackLimitBelowHere(std::size_t budget, std::size_t reserve) {
  const auto here = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  const std::uintptr_t lowest = stackLowest();
  if (lowest == 0 || here < lowest || here - lowest <= reserve) return reinterpret_cast<const char*>(here);
  const std::uintptr_t spendable = here - lowest - reserve;
  return reinterpret_cast<const char*>(here - (spendable < budget ? spendable : budget));
}

bool runOnLargeStack(std::size_t stackBytes, void (*body)(void*), void* context) {
  Call call{body, context};
  for (std::size_t size = stackBytes; size >= kSmallestStack; size /= 2)
    if (startAndJoin(size, call)) return true;
  return false;
}
