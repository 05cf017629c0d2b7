#include "large_stack.h"

#include <pthread.h>
#include <sys/auxv.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

constexpr std::size_t kSmallestStack = 256 * 1024;
constexpr std::size_t kLargestReserve = 128 * 1024;
// How deep a recursion goes before the main thread's stack limit is read:
// within the part of the stack the kernel maps from the start. Also the
// budget on a stack of unknown extent.
constexpr std::size_t kUncheckedDepth = 16 * 1024;

// A stack's address range. Only its top is known (lowest 0) for the main
// thread without /proc; both are 0 when nothing is known.
struct StackBounds {
  std::uintptr_t lowest = 0;
  std::uintptr_t highest = 0;
};

bool onMainThread() {
  thread_local const bool main = getpid() == gettid();
  return main;
}

// The end of the mapping that holds address, from /proc/self/maps; 0 when
// it cannot be read.
std::uintptr_t mappingEnd(std::uintptr_t address) {
  std::FILE* maps = std::fopen("/proc/self/maps", "r");
  if (!maps) return 0;
  unsigned long from = 0, to = 0, end = 0;
  while (!end && std::fscanf(maps, "%lx-%lx%*[^\n]", &from, &to) == 2)
    if (from <= address && address < to) end = to;
  std::fclose(maps);
  return end;
}

// The top of the main thread's stack mapping, found without /proc: the
// kernel puts the executable's name last, just below that top, above the
// arguments and the environment. 0 when the name is not known.
std::uintptr_t mainStackTop() {
  const char* name = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
  if (!name) return 0;
  const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  return (reinterpret_cast<std::uintptr_t>(name + std::strlen(name)) & ~(page - 1)) + page;
}

// The calling thread's stack as the thread library reports it, except the
// main thread's top: the kernel counts RLIMIT_STACK from the top of the
// stack's mapping, which lies above the reported one by the arguments and
// the environment. For the main thread this reads /proc/self/maps, hence
// once per thread.
StackBounds reportedBounds() {
  StackBounds bounds;
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    void* address = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attributes, &address, &size) == 0) {
      bounds.lowest = reinterpret_cast<std::uintptr_t>(address);
      bounds.highest = bounds.lowest + size;
    }
    pthread_attr_destroy(&attributes);
  }
  if (!onMainThread()) return bounds;
  if (bounds.highest == 0) return StackBounds{0, mainStackTop()};
  if (const std::uintptr_t top = mappingEnd(bounds.highest - 1)) bounds.highest = top;
  return bounds;
}

// RLIMIT_STACK as it stands now; 0 when unlimited or unknown.
std::uintptr_t stackRlimit() {
  rlimit limit;
  if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0;
  return limit.rlim_cur;
}

// The main thread's stack grows down from its top only as far as
// RLIMIT_STACK allows when it grows, so a limit lowered since the bounds were
// read moves its end up, and where only the top is known the limit gives
// the end. Without fresh, the limit is not read.
StackBounds currentBounds(bool fresh) {
  thread_local const StackBounds reported = reportedBounds();
  StackBounds bounds = reported;
  const std::uintptr_t rlimit = fresh ? stackRlimit() : 0;
  if (rlimit != 0 && rlimit < bounds.highest - bounds.lowest) bounds.lowest = bounds.highest - rlimit;
  return bounds;
}

// The address space RLIMIT_AS leaves unmapped, from /proc/self/statm;
// SIZE_MAX without a limit, 0 when it cannot be read.
std::size_t addressSpaceLeft() {
  rlimit limit;
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return SIZE_MAX;
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  unsigned long pages = 0;
  const bool read = std::fscanf(statm, "%lu", &pages) == 1;
  std::fclose(statm);
  const std::uintptr_t mapped = pages * static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  return read && mapped < limit.rlim_cur ? limit.rlim_cur - mapped : 0;
}

// What may be spent below here; only fresh counts RLIMIT_STACK as it is now,
// and the address space left for the main thread's stack to grow into.
// A frame outside the bounds read for this thread is on a stack of unknown
// size, a fiber's, whichever thread runs it.
std::size_t spendableBelow(std::uintptr_t here, bool fresh) {
  const StackBounds bounds = currentBounds(fresh);
  if (bounds.lowest == 0 || here < bounds.lowest || here >= bounds.highest) return kUncheckedDepth;
  const std::size_t reserve = std::min(kLargestReserve, (bounds.highest - bounds.lowest) / 4);
  const std::uintptr_t above = std::min<std::uintptr_t>(here - bounds.lowest, fresh ? addressSpaceLeft() : SIZE_MAX);
  return above > reserve ? above - reserve : 0;
}

struct Call {
  void (*body)(void*);
  void* context;
  std::exception_ptr failure;
};

void* runCall(void* argument) {
  Call* call = static_cast<Call*>(argument);
  try {
    call->body(call->context);
  } catch (...) {
    call->failure = std::current_exception();
  }
  return nullptr;
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

void StackLimit::startHere(std::size_t most) {
  origin = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
  budget = most;
  settled = !onMainThread();
  std::size_t depth = std::min(spendableBelow(origin, false), budget);
  if (!settled) depth = std::min(depth, kUncheckedDepth);
  limit = reinterpret_cast<const char*>(origin - depth);
}

bool StackLimit::moveOn() {
  if (settled) return false;
  settled = true;
  const char* before = limit;
  limit = reinterpret_cast<const char*>(origin - std::min(spendableBelow(origin, true), budget));
  return limit < before;
}

bool runOnNewThread(std::size_t stackBytes, void (*body)(void*), void* context) {
  Call call{body, context, nullptr};
  int callerCancelState = PTHREAD_CANCEL_ENABLE;
  pthread_setcancelstate(PTHREAD_CANCEL_DISABLE, &callerCancelState);
  bool ran = false;
  for (std::size_t size = stackBytes; size >= kSmallestStack && !ran; size /= 2) ran = startAndJoin(size, call);
  pthread_setcancelstate(callerCancelState, nullptr);
  if (call.failure) std::rethrow_exception(call.failure);
  return ran;
}
