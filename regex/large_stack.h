#pragma once
// The stack that deep recursion may use. A recursion checks its frame
// against a limit read from the calling thread's real stack bounds, and one
// that would outgrow its caller's stack is run again on a thread of its own
// with a large stack. The stack is reserved address space; only the part the
// function touches takes memory.

#include <cstddef>

// The address below which the calling thread's recursion must not go: at
// most budget bytes below the caller's frame, and never within reserve bytes
// of the stack's real end. The caller's frame itself (nothing to spend) when
// the bounds cannot be read or less than reserve is left. The bounds are read
// once per thread.
const char* stackLimitBelowHere(std::size_t budget, std::size_t reserve);

// Runs body on a thread of its own and waits for it. The stack is stackBytes
// when that much address space can be had, else the largest of its halves
// down to 256 KB that can. False when no such thread could be made; body has
// then not run.
bool runOnLargeStack(std::size_t stackBytes, void (*body)(void*), void* context);
