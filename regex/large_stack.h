#pragma once
// Runs a function on a thread of its own with a stack of the given size and
// waits for it: the way a match that recurses deeper than its caller's stack
// allows is finished. The stack is reserved address space; only the part the
// function touches takes memory.

#include <cstddef>

// False when no such thread could be made; body has then not run.
bool runOnLargeStack(std::size_t stackBytes, void (*body)(void*), void* context);
