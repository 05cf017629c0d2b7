#pragma once
// The stack that deep recursion may use. A recursion checks each frame
// against a limit read from the stack it runs on, and one that would outgrow
// its caller's stack is run again on a new thread with a large stack. That
// stack is reserved address space; only the part the recursion touches
// takes memory.

#include <cstddef>
#include <cstdint>

// Where a recursion on the calling thread must stop: at most a budget below
// the frame it starts from, and never within a reserve of the stack's end, a
// quarter of the stack but at most 128 KB. The main thread's stack ends where
// RLIMIT_STACK, counted from the top of the stack's mapping as the kernel
// counts it, lets it grow at the time, and it grows no further than the
// address space that RLIMIT_AS leaves unmapped (nothing is left, as far as
// it knows, when /proc cannot tell), so there the limit is first set at most
// 16 KB deep, and a recursion that reaches it asks moveOn() to read both
// limits afresh and is made again: a short one costs no system call. A
// frame outside the bounds read for the calling thread is on a stack of
// unknown size (a fiber's, whichever thread runs it): its budget is 16 KB.
// Without /proc the top of the main thread's stack mapping is found from
// where the kernel put the executable's name, and RLIMIT_STACK alone gives
// its end.
class StackLimit {
 public:
  // For a recursion that starts at the caller's frame.
  void startHere(std::size_t budget);
  // Whether frame lies past the limit; asked at every step, so it makes no call.
  bool passedBy(const void* frame) const { return static_cast<const char*>(frame) < limit; }
  // Reads the stack's end afresh, once: true when the limit now lies deeper,
  // so that a recursion stopped by it may be made again.
  bool moveOn();

 private:
  std::uintptr_t origin = 0;
  std::size_t budget = 0;
  const char* limit = nullptr;
  bool settled = true;
};

// Runs body on a new thread and waits for it. The stack is stackBytes when
// that much address space can be had, else the largest of its halves down to
// 256 KB that can. Meanwhile the caller cannot be cancelled (a cancel waits
// until this returns), as body works on the caller's data. An exception
// that body throws is thrown again here. False when no thread could be
// made; body has then not run.
bool runOnNewThread(std::size_t stackBytes, void (*body)(void*), void* context);
