#include "large_stack.h"

#include <pthread.h>

namespace {

struct Call {
  void (*body)(void*);
  void* context;
};

void* runCall(void* argument) {
  const Call* call = static_cast<const Call*>(argument);
  call->body(call->context);
  return nullptr;
}

}  // namespace

bool runOnLargeStack(std::size_t stackBytes, void (*body)(void*), void* context) {
  pthread_attr_t attributes;
  if (pthread_attr_init(&attributes) != 0) return false;
  Call call{body, context};
  pthread_t thread;
  const bool started = pthread_attr_setstacksize(&attributes, stackBytes) == 0 &&
                       pthread_create(&thread, &attributes, runCall, &call) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) return false;
  pthread_join(thread, nullptr);
  return true;
}
